#include "ui/progress_dialog.h"

#include <memory>

#include "model/texts.h"
#include "ui/main_window.h"
#include "ui/widget_builders.h"

int progress_running = 0;

namespace {

std::unique_ptr<Gtk::Dialog> dialog;
Gtk::ProgressBar* bar = nullptr;
Gtk::Button* cancel = nullptr;
// A dialog taken down from inside one of its own signal handlers; it is deleted once that
// emission is over (at the next update or open, or when the loop is idle).
std::unique_ptr<Gtk::Dialog> retired;

void delete_retired() {
    retired.reset();
}

void take_down_dialog(bool inside_its_handler) {
    if (!dialog) {
        return;
    }
    gtk_grab_remove(GTK_WIDGET(dialog->gobj()));
    dialog->hide();
    bar = nullptr;
    cancel = nullptr;
    if (inside_its_handler) {
        retired = std::move(dialog);
        Glib::signal_idle().connect_once(&delete_retired);
    } else {
        dialog.reset();
    }
}

void on_cancel_clicked() {
    progress_running = 0;
    take_down_dialog(true);
}

// The window manager's close button acts exactly like Cancel.
bool on_delete_event(GdkEventAny*) {
    progress_running = 0;
    take_down_dialog(true);
    return true;
}

}  // namespace

void open_progress(const char* message_sjis) {
    delete_retired();
    // A task that never reached 1.0 would leave its dialog up with the grab and a Cancel
    // that would stop the next task; one dialog at a time.
    take_down_dialog(false);

    dialog = std::make_unique<Gtk::Dialog>();
    make_transient_for_active_window(*dialog);
    dialog->set_border_width(10);
    Gtk::Box& upper = *dialog->get_content_area();
    make_label(upper, message_sjis, 5);
    bar = Gtk::manage(new Gtk::ProgressBar());
    upper.pack_start(*bar, false, false, 5);
    progress_running = 1;
    cancel = make_button(*dialog->get_action_area(), texts::cancel);

    dialog->show_all();
    gtk_grab_add(GTK_WIDGET(dialog->gobj()));
    dialog->signal_delete_event().connect(&on_delete_event);
    cancel->signal_clicked().connect(&on_cancel_clicked);
}

int poll_progress() {
    while (gtk_events_pending()) {
        gtk_main_iteration();
    }
    delete_retired();
    return progress_running;
}

int update_progress(float fraction) {
    if (poll_progress() == 0) {
        return 0;
    }
    if (bar != nullptr) {
        bar->set_fraction(fraction);
    }
    if (fraction == 1.0f) {
        take_down_dialog(false);
    }
    return 1;
}

Gtk::Dialog* progress_dialog() {
    return dialog.get();
}
Gtk::ProgressBar* progress_bar() {
    return bar;
}
Gtk::Button* progress_cancel_button() {
    return cancel;
}
