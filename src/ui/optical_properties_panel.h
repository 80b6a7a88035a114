// The frame "(光学的性質)": the mineral and section choosers above ω and ε with the optic sign for
// a uniaxial crystal; α, γ, the derived β, the optic axial angle as 2Vz and 2Vx and the optic
// sign for a biaxial one. The content
// is built for the record's crystal kind, and built anew when the kind changes.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/comboboxtext.h>
#include <gtkmm/frame.h>
#include <gtkmm/label.h>
#include <gtkmm/spinbutton.h>

#include <optional>
#include <vector>

#include "model/mineral_list.h"
#include "ui/record_editor.h"

class OpticalPropertiesPanel : public Gtk::Frame {
  public:
    // The content appears at the first change of the record the panel hears of.
    explicit OpticalPropertiesPanel(RecordEditor& editor);

    // The minerals the 鉱物 chooser offers after its custom entry; set once at start-up,
    // before the main window is built.
    static void use_minerals(std::vector<Mineral> minerals);

    // Row 0 is the custom entry, row i + 1 the list's mineral i.
    Gtk::ComboBoxText& mineral_chooser() { return mineral_; }
    // The sections of the record's crystal kind, in the order sections_for gives.
    Gtk::ComboBoxText& section_chooser() { return section_; }

    // The content's controls while they are shown; nullptr otherwise.
    Gtk::SpinButton* omega_spin() { return omega_; }
    Gtk::SpinButton* epsilon_spin() { return epsilon_; }
    Gtk::Label* optic_sign_label() { return sign_; }
    Gtk::SpinButton* alpha_spin() { return alpha_; }
    Gtk::SpinButton* gamma_spin() { return gamma_; }
    Gtk::SpinButton* two_vz_spin() { return two_vz_; }
    Gtk::SpinButton* two_vx_spin() { return two_vx_; }
    // The biaxial content's derived β and the note on a limited α or γ (hidden until then).
    Gtk::Label* beta_label() { return beta_; }
    Gtk::Label* limit_note() { return limit_note_; }

  private:
    void build_choosers();
    void on_mineral_chosen();
    void on_section_chosen();
    void show_mineral_and_sections();
    void show_record();
    void build_content();
    void build_uniaxial_content();
    void build_biaxial_content();
    Gtk::Box& add_row(int padding);
    void on_index_changed(Gtk::SpinButton* spin, float ParameterRecord::*field);
    void on_angle_changed(float two_vz);
    void show_sign_bounds_and_angles();
    void show_limit(std::optional<double> typed, Gtk::SpinButton* spin, const char* note);

    RecordEditor& editor_;
    Gtk::Box outer_{Gtk::ORIENTATION_VERTICAL, 0};
    Gtk::ComboBoxText mineral_;
    Gtk::ComboBoxText section_;
    sigc::connection mineral_chosen_;
    sigc::connection section_chosen_;
    std::optional<int> sections_kind_;
    std::optional<int> shown_kind_;
    Gtk::Box* content_ = nullptr;
    Gtk::SpinButton* omega_ = nullptr;
    Gtk::SpinButton* epsilon_ = nullptr;
    Gtk::Label* sign_ = nullptr;
    Gtk::Label* beta_ = nullptr;
    Gtk::Label* limit_note_ = nullptr;
    Gtk::SpinButton* alpha_ = nullptr;
    Gtk::SpinButton* gamma_ = nullptr;
    Gtk::SpinButton* two_vz_ = nullptr;
    Gtk::SpinButton* two_vx_ = nullptr;
    sigc::connection two_vz_changed_;
    sigc::connection two_vx_changed_;
};
