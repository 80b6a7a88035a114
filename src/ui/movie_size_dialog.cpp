#include "ui/movie_size_dialog.h"

#include <gtkmm/button.h>
#include <gtkmm/buttonbox.h>

#include "model/controls.h"
#include "model/texts.h"
#include "ui/widget_builders.h"

MovieSizeDialog::MovieSizeDialog(Gtk::Window& parent, int figure_side) {
    dialog_.set_title("MPEG file size");
    dialog_.set_transient_for(parent);
    // The same margin round the content as the message dialog has.
    dialog_.get_content_area()->set_border_width(10);
    spin_ =
        make_labeled_spin(*dialog_.get_content_area(), texts::movie_image_size, {185, 60},
                          float(default_movie_size(figure_side)), movie_size_range(figure_side));
    set_tooltip(*spin_, texts::movie_size_tip);
    Gtk::ButtonBox* actions = dialog_.get_action_area();
    Gtk::Button* ok = make_button(*actions, texts::ok);
    Gtk::Button* cancel = make_button(*actions, texts::cancel);
    ok->signal_clicked().connect([this] { dialog_.response(Gtk::RESPONSE_OK); });
    cancel->signal_clicked().connect([this] { dialog_.response(Gtk::RESPONSE_CANCEL); });
    dialog_.show_all();
}

std::optional<int> MovieSizeDialog::run() {
    // run() holds the grab and answers a window-frame close with a delete-event response,
    // which counts as Cancel.
    const int response = dialog_.run();
    dialog_.hide();
    if (response != Gtk::RESPONSE_OK)
        return std::nullopt;
    spin_->update();
    return spin_->get_value_as_int();
}
