// The small drawing of the crystal's axes seen from above, with the button that switches
// between the sine and the Wulff projection (the projection of the computed figure too).
#pragma once

#include <gtkmm.h>

// Builds the frame with the projection button and the 220 × 160 drawing at the end of box,
// stores projection_kind = sine and draws the preview once. Also makes the aperture control
// of the other-parameters panel redraw the preview.
Gtk::Frame* build_projection_preview(Gtk::Box& box);

// Paints the preview afresh from the record and asks for it to be shown. Does nothing
// before the preview is built.
void redraw_projection_preview();

// The projection button and the off-screen picture the drawing area shows (its pixels are
// what the user sees); nullptr or empty while no preview exists.
Gtk::Button* projection_button();
Cairo::RefPtr<Cairo::ImageSurface> projection_preview_surface();
