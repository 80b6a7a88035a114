// The small builders every window is assembled from, so that all panels look alike: each
// makes one widget from a Shift-JIS text, gives it its size and packs it in one call.
// Widths are width requests in pixels; the height is always left natural.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/buttonbox.h>
#include <gtkmm/label.h>
#include <gtkmm/scale.h>
#include <gtkmm/spinbutton.h>

#include <optional>
#include <string>

#include "model/controls.h"

// The width requests of a labelled row's label and control, in pixels.
struct RowWidths {
    int label;
    int control;
};

// A row "label  [spin]" packed into box (no expand, padding 2). The label is right-aligned;
// the spin is numeric only, snaps to the range's steps, shows its digits and is at least
// wide enough for the widest value of its range. Its adjustment has the range's page as page
// increment and page size 0, so the spin reaches upper itself (a page size would stop it at
// upper - page). The label is kept on the spin under the object-data key "label" (see
// spin_label). A typed value is taken at once, before Enter, when the text reads as a value
// within the spin's bounds and on its grid; the text stays as typed until Enter.
Gtk::SpinButton* make_labeled_spin(Gtk::Box& box, const char* sjis, RowWidths widths, float value,
                                   const ControlRange& range);

// A row "label  [scale]" packed into box (no expand, padding 5, spacing 10). Unlike the
// spin, the scale's adjustment keeps page size = page, so its value ends at upper - page
// (scale_reach). The value is reported continuously while the slider is dragged.
Gtk::Scale* make_labeled_scale(Gtk::Box& box, const char* sjis, RowWidths widths, float value,
                               const ControlRange& range);

// A button with border width 5 that expands and fills in box (in a dialog's action area
// too: the buttons there share its width).
Gtk::Button* make_button(Gtk::Box& box, const char* sjis);

// A centred label packed without expanding, with the given padding.
Gtk::Label* make_label(Gtk::Box& box, const char* sjis, int padding);
// The same for a text that is already UTF-8 (a message that embeds a file name).
Gtk::Label* make_label_utf8(Gtk::Box& box, const std::string& utf8, int padding);

void set_tooltip(Gtk::Widget& widget, const char* sjis);

// Puts the text into the label that is the button's child.
void set_button_label(Gtk::Button& button, const char* sjis);

// Shows the UTF-8 text in the label; a label that already shows it is left alone, so that a
// panel may show the record afresh on every change without relaying itself out.
void show_text(Gtk::Label& label, const std::string& utf8);

// The label made with a labelled spin (object data "label"); nullptr for any other spin.
Gtk::Label* spin_label(Gtk::SpinButton& spin);

// The number the spin's text reads as, typed or entered (blanks around it allowed); nothing
// for a text that is no number.
std::optional<double> typed_number(const Gtk::SpinButton& spin);

// For a spin whose handler moves a value elsewhere (a step snapped to the next divisor): its
// value is taken only at Enter or when the focus leaves, so that no keystroke is overwritten.
void take_values_when_entered(Gtk::SpinButton& spin);
