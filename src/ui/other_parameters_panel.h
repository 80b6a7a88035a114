// The frame "(その他のパラメータ)": numerical aperture, section thickness and the image size
// of the current drawing mode, whose maximum depends on the mode and its step.
#pragma once

#include <gtkmm.h>

#include <functional>

// Builds the frame at the end of column and the size row for the current drawing mode.
// Sets parameters.image_size from the mode's size field (lowered to the mode's maximum).
void build_other_parameters_panel(Gtk::Box& column);

// Replaces the size row for the current draw_mode and its step; call it whenever either
// changes. A size above the new maximum is lowered in the record and stays lowered.
void rebuild_image_size_control();

// What a change of the aperture redraws (the orientation preview); nothing until set.
void set_aperture_redraw_hook(std::function<void()> redraw);

// The rows' spin buttons while the panel exists; nullptr otherwise.
Gtk::SpinButton* aperture_spin();
Gtk::SpinButton* thickness_spin();
Gtk::SpinButton* image_size_spin();
