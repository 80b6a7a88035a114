// The vibration directions over a figure: on a regular grid over each figure circle, a short
// segment along the slow vibration direction and a thinner, shorter one along the fast
// direction across it. The isogyres lie where the segments run parallel to the polarizers.
// The window, the stills and the movies all draw them here.
#pragma once

#include <cstdint>
#include <span>

#include "optics/figure_buffer.h"

// Grid cells across one figure circle.
inline constexpr int kVibrationGridCells = 15;

// Draws the directions of frame k of the figure (its index in the animation; 0 otherwise)
// into an RGB buffer of side × side pixels that shows the figure scaled to that side.
void draw_vibration_directions(const Figure& figure, int frame, std::span<std::uint8_t> rgb,
                               int side);
