// The row of four buttons at the top of the main window, one per switch of the record:
// crystal kind, drawing mode, accessory and drawing range. Each shows the switch's value
// and moves it on to the next value when clicked.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/frame.h>

#include <array>

#include "ui/record_editor.h"

// The buttons in their order on screen.
enum ModeButton : int {
    kCrystalKindButton = 0,
    kDrawModeButton = 1,
    kTestPlateButton = 2,
    kDrawRangeButton = 3
};

class ModeFrames : public Gtk::Frame {
  public:
    // Each button shows its switch's value as the record holds it.
    explicit ModeFrames(RecordEditor& editor);

    Gtk::Button& button(ModeButton which) { return *buttons_[which]; }

  private:
    void on_clicked(ModeButton which);
    void show_values();
    void show_accessory_tip();

    RecordEditor& editor_;
    Gtk::Box row_{Gtk::ORIENTATION_HORIZONTAL, 0};
    std::array<Gtk::Button*, 4> buttons_{};
};
