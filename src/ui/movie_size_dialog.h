// The question Save asks before a movie: the side of its square pictures.
#pragma once

#include <gtkmm/dialog.h>
#include <gtkmm/spinbutton.h>
#include <gtkmm/window.h>

#include <optional>

class MovieSizeDialog {
  public:
    // Offers the figure side rounded up to a multiple of 16, in steps of 16 up to 480,
    // starting at 240 or at the lower bound when that is larger (model/controls.h).
    // The dialog stays above parent.
    MovieSizeDialog(Gtk::Window& parent, int figure_side);

    // Shows the dialog modally until it is answered. Empty when cancelled, also by the window
    // frame's close.
    std::optional<int> run();

    Gtk::Dialog& dialog() { return dialog_; }
    Gtk::SpinButton& spin() { return *spin_; }

  private:
    Gtk::Dialog dialog_;
    Gtk::SpinButton* spin_ = nullptr;
};
