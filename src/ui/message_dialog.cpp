#include "ui/message_dialog.h"

#include <gtkmm/button.h>
#include <gtkmm/dialog.h>

#include "model/texts.h"
#include "ui/label_text.h"
#include "ui/widget_builders.h"

void show_message_utf8(Gtk::Window* parent, const std::string& utf8) {
    Gtk::Dialog dialog;
    dialog.set_title("Lumitra - Message");
    if (parent != nullptr)
        dialog.set_transient_for(*parent);
    Gtk::Button* ok = make_button(*dialog.get_action_area(), texts::ok);
    make_label_utf8(*dialog.get_content_area(), utf8, 10);
    dialog.get_content_area()->set_border_width(10);

    bool done = false;
    auto finish = [&] {
        if (done) {
            return;
        }
        done = true;
        gtk_grab_remove(GTK_WIDGET(dialog.gobj()));
        dialog.hide();
        gtk_main_quit();
    };
    ok->signal_clicked().connect(finish);
    // A close from the window frame ends the wait exactly like OK.
    dialog.signal_delete_event().connect([&](GdkEventAny*) {
        finish();
        return true;
    });

    dialog.show_all();
    gtk_grab_add(GTK_WIDGET(dialog.gobj()));
    gtk_main();
}

void show_message(Gtk::Window* parent, const char* sjis) {
    show_message_utf8(parent, shown_text(sjis));
}
