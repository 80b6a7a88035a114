// The frame "(結晶方位)": the optic axis C of a uniaxial crystal, or the five axes A, B, X, Y,
// Z of a biaxial one moved together about a chosen rotation axis; in the rotation and
// animation modes also the stage-azimuth step. The content is built for the record's crystal
// kind and drawing mode, and built anew when either changes.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/frame.h>
#include <gtkmm/label.h>
#include <gtkmm/radiobutton.h>
#include <gtkmm/spinbutton.h>

#include <array>
#include <optional>
#include <string>

#include "ui/record_editor.h"

class OrientationPanel : public Gtk::Frame {
  public:
    // The content appears at the first change of the record the panel hears of.
    explicit OrientationPanel(RecordEditor& editor);

    // The controls while they are shown; nullptr otherwise.
    Gtk::SpinButton* c_theta_spin() { return c_theta_; }
    Gtk::SpinButton* c_phi_spin() { return c_phi_; }
    Gtk::RadioButton* axis_radio(int axis);
    Gtk::SpinButton* rotation_theta_spin() { return theta_; }  // the rotation axis's θ, φ and R
    Gtk::SpinButton* rotation_phi_spin() { return phi_; }
    Gtk::SpinButton* rotation_angle_spin() { return rotation_; }
    Gtk::SpinButton* sampling_step_spin() { return step_; }

    // What the display row of a non-rotation axis shows for θ and φ ("%3.0f" each); empty for
    // the rotation axis and while no biaxial rows exist.
    std::string axis_row_theta_text(int axis);
    std::string axis_row_phi_text(int axis);

  private:
    // The biaxial rows: per axis the box holding its radio button and its current row.
    struct AxisWidgets {
        Gtk::Box* holder = nullptr;
        Gtk::RadioButton* radio = nullptr;
        Gtk::Box* row = nullptr;
        Gtk::Label* theta_text = nullptr;  // display rows only
        Gtk::Label* phi_text = nullptr;
    };

    void show_record();
    void build_content();
    void forget_content();
    void build_uniaxial_rows();
    void build_biaxial_rows();
    void build_step_row();
    Gtk::Box& new_row(int axis);
    void build_axis_row(int axis);
    void build_display_row(int axis);
    void build_editable_row(int axis);
    void show_display_values();
    void return_rotation_to_zero();
    void on_tilt();
    void on_turn();
    void on_rotate();
    void on_radio_toggled(int axis);
    void on_step_changed();

    RecordEditor& editor_;
    OrientationState& state_;
    std::optional<int> shown_kind_;
    std::optional<int> shown_mode_;
    float shown_two_vz_ = 0.0f;
    Gtk::Box* content_ = nullptr;
    Gtk::SpinButton* c_theta_ = nullptr;
    Gtk::SpinButton* c_phi_ = nullptr;
    Gtk::SpinButton* step_ = nullptr;
    sigc::connection step_changed_;
    std::array<AxisWidgets, kAxisCount> axes_{};
    Gtk::SpinButton* theta_ = nullptr;
    Gtk::SpinButton* phi_ = nullptr;
    Gtk::SpinButton* rotation_ = nullptr;
    sigc::connection rotation_changed_;
};
