#include "ui/main_window.h"

#include <glibmm/main.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <utility>

#include "model/texts.h"
#include "optics/figure_computation.h"
#include "ui/message_dialog.h"
#include "ui/progress_dialog.h"
#include "ui/widget_builders.h"

namespace {

// LUMITRA_VERSION is the project version the build system defines.
constexpr char kTitle[] = "Lumitra (Version " LUMITRA_VERSION ")";

// GTK 3 drops a window-frame close of a window outside the current modal grab, and the
// figure window holds the grab for as long as it is shown. The close request is therefore
// caught before GTK dispatches it.
void filter_events(GdkEvent* event, gpointer data) {
    auto* main = static_cast<MainWindow*>(data);
    if (event->type == GDK_DELETE && main->get_window() &&
        event->any.window == main->get_window()->gobj()) {
        main->end_program();
        return;
    }
    gtk_main_do_event(event);
}

// GTK's own dispatch, for when no main window filters the events.
void dispatch_event(GdkEvent* event, gpointer) {
    gtk_main_do_event(event);
}

// Whatever is on the stack (nested loops, dialogs, the figure) is left as it is: once
// nothing outside the process is left to clean up, there is nothing to unwind for.
[[noreturn]] void end_process() {
    std::fflush(nullptr);
    std::_Exit(0);
}

}  // namespace

MainWindow::MainWindow(ParameterRecord& record) : editor_(record) {
    set_type_hint(Gdk::WINDOW_TYPE_HINT_DIALOG);
    set_title(kTitle);
    // LUMITRA_APP_ID is the name the icon is installed under.
    Gtk::Window::set_default_icon_name(LUMITRA_APP_ID);
    int x = 0;
    int y = 0;
    get_position(x, y);
    move(6, y);

    // A dialog's layout: the panels above, the buttons in an action area below.
    add(outer_);
    outer_.pack_start(upper_, true, true, 0);
    actions_.set_layout(Gtk::BUTTONBOX_EXPAND);
    actions_.set_border_width(5);
    outer_.pack_end(actions_, false, true, 0);
    // The tools a course adds (the colour chart, settings that travel) in a row of their own
    // above Draw and Quit, so that the window stays as narrow in English as in Japanese.
    tools_.set_layout(Gtk::BUTTONBOX_CENTER);
    tools_.set_spacing(5);
    outer_.pack_end(tools_, false, true, 0);

    upper_.pack_start(mode_frames_, false, false, 0);
    upper_.pack_start(columns_, true, true, 0);
    columns_.pack_start(left_, true, true, 0);
    columns_.pack_start(right_, true, true, 0);
    left_.pack_start(optical_properties_, false, false, 0);
    left_.pack_start(orientation_, false, false, 0);
    right_.pack_start(other_parameters_, false, false, 0);
    right_.pack_start(wedge_, false, false, 0);
    right_.pack_start(stage_azimuth_, false, false, 0);
    right_.pack_start(preview_row_, false, false, 7);
    preview_row_.pack_start(preview_, false, false, 0);
    preview_row_.pack_start(live_, false, false, 0);

    draw_ = make_button(actions_, texts::draw);
    chart_button_ = make_button(tools_, texts::colour_chart);
    set_tooltip(*chart_button_, texts::colour_chart_tip);
    settings_.add_buttons(tools_);
    quit_ = make_button(actions_, texts::quit);
    set_tooltip(*draw_, texts::draw_tip);
    set_tooltip(*quit_, texts::quit_tip);

    // The window is never hidden while the program runs: a destroy request from outside
    // hides a window that C++ owns, and then the program ends as if it had been destroyed.
    exit_on_hide_ = signal_hide().connect(sigc::mem_fun(*this, &MainWindow::end_program));
    draw_->signal_clicked().connect(sigc::mem_fun(*this, &MainWindow::draw));
    chart_button_->signal_clicked().connect(sigc::mem_fun(*this, &MainWindow::show_chart));
    quit_->signal_clicked().connect(sigc::mem_fun(*this, &MainWindow::on_quit));
    gdk_event_handler_set(&filter_events, this, nullptr);

    // A panel rebuilt for another crystal kind or mode may need less room than before; the
    // window then returns to the size its content asks for.
    editor_.signal_changed().connect([this] {
        if (!fit_at_idle_.connected())
            fit_at_idle_ =
                Glib::signal_idle().connect(sigc::mem_fun(*this, &MainWindow::fit_to_content));
    });

    // The first values of the derived fields, and every panel's content.
    editor_.changed();
    show_all();
}

bool MainWindow::fit_to_content() {
    int minimum_width = 0;
    int width = 0;
    get_preferred_width(minimum_width, width);
    int minimum_height = 0;
    int height = 0;
    get_preferred_height_for_width(width, minimum_height, height);
    // Only a change of the content moves the window: a size the user gave it stays.
    if (width != natural_width_ || height != natural_height_) {
        natural_width_ = width;
        natural_height_ = height;
        resize(width, height);
    }
    return false;
}

MainWindow::~MainWindow() {
    exit_on_hide_.disconnect();
    fit_at_idle_.disconnect();
    chart_.reset();
    figure_.reset();
    gdk_event_handler_set(&dispatch_event, nullptr, nullptr);
}

void MainWindow::end_program() {
    if (ending_)
        return;
    ending_ = true;
    if (figure_ && figure_->cancel_export(&end_process)) {
        // The export stops at its next look at the progress; a message it is showing
        // (the file open elsewhere) must not hold the end up.
        if (gtk_main_level() > 1)
            gtk_main_quit();
        return;
    }
    end_process();
}

void MainWindow::show_chart() {
    // A closed chart is only hidden, and shown again as it was left.
    if (!chart_)
        chart_ = std::make_unique<ChartWindow>(*this, editor_, OpticalPropertiesPanel::minerals());
    chart_->show();
    chart_->present();
}

void MainWindow::on_quit() {
    // Quit is not clickable while a nested loop runs (its window holds the grab), but a
    // programmatic click then must not merely end that inner loop and resume its task.
    if (gtk_main_level() > 1) {
        end_program();
        return;
    }
    gtk_main_quit();
}

void MainWindow::draw() {
    // The figure window holds the grab, so Draw cannot be pressed while one is open; a
    // programmatic press must not stack a second figure over it either.
    if (figure_window() != nullptr)
        return;
    // An exception cannot pass through GTK's signal emission: it would end the program. A
    // Draw that fails (no memory for the figure, a worker thread that cannot start) is told
    // to the user instead, and the window stays as it was.
    try {
        const DrawSetup setup = prepare_draw(editor_.record());
        ProgressDialog progress(this);
        std::optional<Figure> figure = compute_figure(setup, progress);
        if (!figure)
            return;
        figure_.reset();
        figure_ = std::make_unique<FigureWindow>(*this, std::move(*figure));
    } catch (...) {
        // The progress dialog and its grab are gone by now: the message is the only dialog.
        std::fprintf(stderr, "lumitra: Draw failed: %s\n",
                     describe_exception(std::current_exception()).c_str());
        show_message(this, texts::draw_failed);
    }
}

FigureWindow* MainWindow::figure_window() {
    return figure_ && figure_->is_open() ? figure_.get() : nullptr;
}
