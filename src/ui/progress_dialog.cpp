#include "ui/progress_dialog.h"

#include <glibmm/main.h>
#include "model/texts.h"
#include "ui/widget_builders.h"

ProgressDialog::~ProgressDialog() {
    retire_at_idle_.disconnect();
    take_down(false);
}

void ProgressDialog::delete_retired() {
    retire_at_idle_.disconnect();
    retired_.reset();
}

void ProgressDialog::take_down(bool inside_its_handler) {
    if (!dialog_)
        return;
    gtk_grab_remove(GTK_WIDGET(dialog_->gobj()));
    dialog_->hide();
    bar_ = nullptr;
    cancel_ = nullptr;
    if (inside_its_handler) {
        retired_ = std::move(dialog_);
        retire_at_idle_ = Glib::signal_idle().connect([this] {
            retired_.reset();
            return false;
        });
    } else {
        dialog_.reset();
    }
}

// Cancel and the window manager's close button alike.
void ProgressDialog::on_cancel() {
    running_ = false;
    take_down(true);
}

void ProgressDialog::open_progress(const char* message_sjis) {
    delete_retired();
    // A task that never reached 1.0 would leave its dialog up with the grab and a Cancel
    // that would stop the next task; one dialog at a time.
    take_down(false);

    dialog_ = std::make_unique<Gtk::Dialog>();
    if (parent_ != nullptr)
        dialog_->set_transient_for(*parent_);
    dialog_->set_border_width(10);
    Gtk::Box& upper = *dialog_->get_content_area();
    make_label(upper, message_sjis, 5);
    bar_ = Gtk::manage(new Gtk::ProgressBar());
    upper.pack_start(*bar_, false, false, 5);
    running_ = true;
    cancel_ = make_button(*dialog_->get_action_area(), texts::cancel);

    dialog_->show_all();
    gtk_grab_add(GTK_WIDGET(dialog_->gobj()));
    dialog_->signal_delete_event().connect([this](GdkEventAny*) {
        on_cancel();
        return true;
    });
    cancel_->signal_clicked().connect(sigc::mem_fun(*this, &ProgressDialog::on_cancel));
}

int ProgressDialog::poll_progress() {
    while (gtk_events_pending()) {
        gtk_main_iteration();
    }
    delete_retired();
    return running_ ? 1 : 0;
}

int ProgressDialog::update_progress(float fraction) {
    if (poll_progress() == 0) {
        return 0;
    }
    if (bar_ != nullptr) {
        bar_->set_fraction(fraction);
    }
    if (fraction == 1.0f) {
        take_down(false);
    }
    return 1;
}
