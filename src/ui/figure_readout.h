// Reading the figure in the figure window: the line under the figure that gives the values
// of the pixel under the pointer, and the switch that draws the vibration directions over
// every frame. The line follows the pointer and the frame shown; it is empty while the
// pointer is outside the figure circles.
#pragma once

#include <cairomm/surface.h>
#include <gtkmm/box.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/label.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "ui/figure_view.h"

class FigureReadout {
  public:
    // The line goes under the figure in figure_column, the switch into controls.
    FigureReadout(FigureView& view, Gtk::Box& figure_column, Gtk::Box& controls);
    FigureReadout(const FigureReadout&) = delete;
    FigureReadout& operator=(const FigureReadout&) = delete;

    // The pointer at (x, y) of the view's drawing area, or gone from it.
    void pointer_at(double x, double y);
    void pointer_left();
    // The frame shown has changed under a pointer that stayed where it was.
    void refresh();

    Gtk::Label& line() { return line_; }
    Gtk::CheckButton& vibration_switch() { return switch_; }

  private:
    FigureView& view_;
    Gtk::Label line_;
    Gtk::CheckButton switch_;
    std::optional<std::array<int, 2>> pointer_;  // the figure's pixel under the pointer
};

// The colour a surface shows at (x, y), which must lie on it.
std::array<std::uint8_t, 3> surface_rgb(const Cairo::RefPtr<Cairo::ImageSurface>& surface, int x,
                                        int y);
