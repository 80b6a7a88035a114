// The row of four buttons at the top of the main window, one per switch of the record:
// crystal kind, drawing mode, test plate and drawing range. Each shows the switch's value
// and moves it on to the next value when clicked.
#pragma once

#include <gtkmm.h>

// Builds the row at the end of box and stores the switches' start values.
void build_mode_frames(Gtk::Box& box);

// The buttons in their order on screen, while the row exists; nullptr otherwise.
enum ModeButton : int {
    kCrystalKindButton = 0,
    kDrawModeButton = 1,
    kTestPlateButton = 2,
    kDrawRangeButton = 3
};
Gtk::Button* mode_button(ModeButton which);
