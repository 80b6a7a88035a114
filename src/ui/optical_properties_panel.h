// The frame "(光学的性質)": ω and ε with the optic sign for a uniaxial crystal; α, γ and the
// optic axial angle as 2Vz and 2Vx for a biaxial one. Keeps the record's mean index.
#pragma once

#include <gtkmm.h>

// Builds the frame at the end of column with the content for the current crystal kind.
void build_optical_properties_panel(Gtk::Box& column);

// Replaces the content for the current axis_type, from the record's values.
void rebuild_optical_properties_panel();

// The content's controls while they are shown; nullptr otherwise.
Gtk::SpinButton* omega_spin();
Gtk::SpinButton* epsilon_spin();
Gtk::Label* optic_sign_label();
Gtk::SpinButton* alpha_spin();
Gtk::SpinButton* gamma_spin();
Gtk::SpinButton* two_vz_spin();
Gtk::SpinButton* two_vx_spin();
