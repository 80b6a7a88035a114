#include "app/main_window.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/texts.h"
#include "app/widget_builders.h"
#include "output/exit_cleanup.h"
#include "panels/mode_frames.h"
#include "panels/optical_properties_panel.h"
#include "panels/orientation_panel.h"
#include "panels/other_parameters_panel.h"
#include "panels/projection_preview.h"

namespace {

// LUMITRA_VERSION is the project version the build system defines.
constexpr char kTitle[] = "Lumitra (Version " LUMITRA_VERSION ")";

std::unique_ptr<Gtk::Window> window;
Gtk::Button* draw = nullptr;
Gtk::Button* quit = nullptr;
std::function<void()> draw_handler;
gulong exit_on_destroy = 0;
bool event_filter_installed = false;

void on_destroy(GtkWidget*, gpointer) {
    end_program_at_once();
}

void on_draw_clicked() {
    if (draw_handler) {
        draw_handler();
    }
}

void on_quit_clicked() {
    // Quit is not clickable while a nested loop runs (its window holds the grab), but a
    // programmatic click then must not merely end that inner loop and resume its task.
    if (gtk_main_level() > 1) {
        end_program_at_once();
    }
    gtk_main_quit();
}

// GTK 3 drops a window-frame close of a window outside the current modal grab, and the
// figure window holds the grab for as long as it is shown. The close request is therefore
// caught before GTK dispatches it.
void filter_events(GdkEvent* event, gpointer) {
    if (event->type == GDK_DELETE && window && window->get_window() &&
        event->any.window == window->get_window()->gobj()) {
        end_program_at_once();
    }
    gtk_main_do_event(event);
}

}  // namespace

void end_program_at_once() {
    // A movie being saved is cancelled as its Cancel would: the encoder stopped, the
    // temporary files removed, the file at the chosen path left as it was.
    undo_work_in_progress();
    std::fflush(nullptr);
    std::_Exit(0);
}

Gtk::Window* build_main_window() {
    release_main_window();
    window = std::make_unique<Gtk::Window>();
    window->set_type_hint(Gdk::WINDOW_TYPE_HINT_DIALOG);
    window->set_title(kTitle);
    int x = 0;
    int y = 0;
    window->get_position(x, y);
    window->move(6, y);

    // A dialog's layout: the panels above, the buttons in an action area below.
    auto* outer = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_VERTICAL, 0));
    window->add(*outer);
    auto* upper = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_VERTICAL, 0));
    outer->pack_start(*upper, true, true, 0);
    auto* actions = Gtk::manage(new Gtk::ButtonBox(Gtk::ORIENTATION_HORIZONTAL));
    actions->set_layout(Gtk::BUTTONBOX_EXPAND);
    actions->set_border_width(5);
    outer->pack_end(*actions, false, true, 0);

    build_mode_frames(*upper);
    auto* columns = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 0));
    upper->pack_start(*columns, true, true, 0);
    auto* left = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_VERTICAL, 0));
    auto* right = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_VERTICAL, 0));
    columns->pack_start(*left, true, true, 0);
    columns->pack_start(*right, true, true, 0);
    build_optical_properties_panel(*left);
    build_orientation_panel(*left);
    build_other_parameters_panel(*right);
    build_projection_preview(*right);

    draw = make_button(*actions, texts::draw);
    quit = make_button(*actions, texts::quit);

    exit_on_destroy = g_signal_connect(window->gobj(), "destroy", G_CALLBACK(&on_destroy), nullptr);
    draw->signal_clicked().connect(&on_draw_clicked);
    quit->signal_clicked().connect(&on_quit_clicked);
    if (!event_filter_installed) {
        gdk_event_handler_set(&filter_events, nullptr, nullptr);
        event_filter_installed = true;
    }

    window->show_all();
    return window.get();
}

Gtk::Window* main_window() {
    return window.get();
}
Gtk::Button* draw_button() {
    return draw;
}
Gtk::Button* quit_button() {
    return quit;
}

void set_draw_handler(std::function<void()> handler) {
    draw_handler = std::move(handler);
}

void release_main_window() {
    if (exit_on_destroy != 0 && window) {
        g_signal_handler_disconnect(window->gobj(), exit_on_destroy);
    }
    exit_on_destroy = 0;
    draw = nullptr;
    quit = nullptr;
    window.reset();
}

void make_transient_for_active_window(Gtk::Window& dialog) {
    GtkWindow* parent = nullptr;
    if (GtkWidget* grab = gtk_grab_get_current()) {
        GtkWidget* top = gtk_widget_get_toplevel(grab);
        if (GTK_IS_WINDOW(top) && top != GTK_WIDGET(dialog.gobj())) {
            parent = GTK_WINDOW(top);
        }
    }
    if (parent == nullptr && window) {
        parent = window->gobj();
    }
    if (parent != nullptr) {
        gtk_window_set_transient_for(dialog.gobj(), parent);
    }
}
