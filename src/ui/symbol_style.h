// The style in which labels show Greek letters: the letters themselves, in an 18-pixel font.
#pragma once

#include <gtkmm/label.h>

// Installs the style once for the whole program (later calls do nothing).
void create_symbol_style();

// Shows a label written in the Symbol font's Latin letters ("q  ", "Df  ", "w  ") as the
// Greek letters they stand for ("θ  ", "Δφ  ", "ω  "), trailing blanks kept, in the symbol
// style. Labels already in Greek are left as they read.
void set_symbol_style(Gtk::Label& label);
