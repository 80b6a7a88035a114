// The frame "(結晶方位)": the optic axis C of a uniaxial crystal, or the five axes A, B, X, Y,
// Z of a biaxial one moved together about a chosen rotation axis; in the rotation and
// animation modes also the stage-azimuth step.
#pragma once

#include <gtkmm.h>

#include <string>

#include "model/orientation_edit.h"

// Builds the frame at the end of column and fills it for the current kind and mode.
void build_orientation_panel(Gtk::Box& column);

// Replaces the frame's content for the current axis_type and draw_mode, from the record.
void rebuild_orientation_panel();

// Moves the axes that depend on the optic axial angle after two_vz has changed, then shows
// every row afresh and redraws the preview.
void recompute_axes_for_two_v();

// The rotation axis, the sense of Y and the edit in progress. They live for the whole run,
// across rebuilds of the panel; a test that wants the start state assigns a fresh one.
OrientationState& orientation_state();

// The controls while they are shown; nullptr otherwise.
Gtk::SpinButton* c_theta_spin();
Gtk::SpinButton* c_phi_spin();
Gtk::RadioButton* axis_radio(int axis);
Gtk::SpinButton* rotation_theta_spin();  // the rotation axis's θ, φ and R
Gtk::SpinButton* rotation_phi_spin();
Gtk::SpinButton* rotation_angle_spin();
Gtk::SpinButton* sampling_step_spin();

// What the display row of a non-rotation axis shows for θ and φ ("%3.0f" each); empty for
// the rotation axis and while no biaxial rows exist.
std::string axis_row_theta_text(int axis);
std::string axis_row_phi_text(int axis);
