// The frame "(光学的性質)": ω and ε with the optic sign for a uniaxial crystal; α, γ and the
// optic axial angle as 2Vz and 2Vx for a biaxial one. The content is built for the record's
// crystal kind, and built anew when the kind changes.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/frame.h>
#include <gtkmm/label.h>
#include <gtkmm/spinbutton.h>

#include <optional>

#include "ui/record_editor.h"

class OpticalPropertiesPanel : public Gtk::Frame {
  public:
    // The content appears at the first change of the record the panel hears of.
    explicit OpticalPropertiesPanel(RecordEditor& editor);

    // The content's controls while they are shown; nullptr otherwise.
    Gtk::SpinButton* omega_spin() { return omega_; }
    Gtk::SpinButton* epsilon_spin() { return epsilon_; }
    Gtk::Label* optic_sign_label() { return sign_; }
    Gtk::SpinButton* alpha_spin() { return alpha_; }
    Gtk::SpinButton* gamma_spin() { return gamma_; }
    Gtk::SpinButton* two_vz_spin() { return two_vz_; }
    Gtk::SpinButton* two_vx_spin() { return two_vx_; }

  private:
    void show_record();
    void build_content();
    void build_uniaxial_content();
    void build_biaxial_content();
    Gtk::Box& add_row(int padding);
    void on_index_changed(Gtk::SpinButton* spin, float ParameterRecord::*field);
    void on_angle_changed(float two_vz);
    void show_sign_bounds_and_angles();

    RecordEditor& editor_;
    std::optional<int> shown_kind_;
    Gtk::Box* content_ = nullptr;
    Gtk::SpinButton* omega_ = nullptr;
    Gtk::SpinButton* epsilon_ = nullptr;
    Gtk::Label* sign_ = nullptr;
    Gtk::SpinButton* alpha_ = nullptr;
    Gtk::SpinButton* gamma_ = nullptr;
    Gtk::SpinButton* two_vz_ = nullptr;
    Gtk::SpinButton* two_vx_ = nullptr;
    sigc::connection two_vz_changed_;
    sigc::connection two_vx_changed_;
};
