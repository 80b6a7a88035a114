// What the figure shows at one pixel, in numbers: the direction of the wave normal, the two
// indices, the retardation and its order, the slow vibration direction, the accessory's
// effect and the stored levels. The values are those the pixel loop computed there: the same
// ray geometry, the same crystal model oriented for the same frame, the same vector code.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "optics/figure_buffer.h"

// How the accessory's retardation combines with the section's at a pixel: added where the
// section's slow direction lies NE–SW with the accessory's (A > 0), subtracted where it lies
// NW–SE (A < 0); none without an accessory or where the section's vibrations lie along the
// polarizers (A = 0).
enum class AccessoryEffect { kNone, kAddition, kSubtraction };

// The retardation that counts as one order of interference colours (nm).
inline constexpr double kOrderRetardation = 550.0;

struct PixelReadout {
    bool inside = false;       // within a figure circle; every other field is unset outside
    int frame = 0;             // the frame, or in the rotation image the sub-image, at the pixel
    double theta_deg = 0;      // the wave normal's angle from the microscope axis
    double phi_deg = 0;        // its azimuth, from the stage x axis (E) towards y (N), 0 … 360
    double incidence_deg = 0;  // the angle of the ray in air; NaN where no ray from air reaches
    double n_slow = 0;         // the indices of the two waves along the wave normal
    double n_fast = 0;
    double retardation_nm = 0;    // Γ ≥ 0
    double order = 0;             // Γ / kOrderRetardation
    double slow_azimuth_deg = 0;  // the slow vibration direction on the figure, 0 … 180 from E
    double a = 0;                 // A = sin 2χ of the slow vibration direction
    AccessoryEffect effect = AccessoryEffect::kNone;
    std::array<std::uint8_t, 3> levels{};  // the figure's stored R, G, B at the pixel
};

// The read-out at pixel (x, y) of frame k of the computed figure (x to the right, y down,
// S × S). In the rotation image (one composed frame) k is ignored and the sub-image under
// the pixel is read. Not inside anywhere outside the picture or the circles.
PixelReadout read_pixel(const Figure& figure, int frame, int x, int y);

// The order as a chart of interference colours names it: I for Γ below 550 nm, II, III …
std::string order_numeral(double retardation_nm);
