// The frame "(その他のパラメータ)": numerical aperture, section thickness and the image size
// of the current drawing mode, whose maximum depends on the mode and its step.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/frame.h>
#include <gtkmm/spinbutton.h>

#include <optional>

#include "model/controls.h"
#include "ui/record_editor.h"

class OtherParametersPanel : public Gtk::Frame {
  public:
    // The size row appears at the first change of the record the panel hears of, and is
    // built anew whenever the mode or its maximum changes.
    explicit OtherParametersPanel(RecordEditor& editor);

    Gtk::SpinButton& aperture_spin() { return *aperture_; }
    Gtk::SpinButton& thickness_spin() { return *thickness_; }
    // nullptr until the size row is shown.
    Gtk::SpinButton* image_size_spin() { return size_; }

  private:
    void show_record();
    void build_size_row();

    RecordEditor& editor_;
    Gtk::Box content_{Gtk::ORIENTATION_VERTICAL, 0};
    Gtk::SpinButton* aperture_ = nullptr;
    Gtk::SpinButton* thickness_ = nullptr;
    Gtk::SpinButton* size_ = nullptr;
    std::optional<int> shown_mode_;
    float shown_maximum_ = 0.0f;
};
