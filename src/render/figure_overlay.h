// The microscope's field of view and the emerging optic axes, marked over a figure drawn in
// the full range: one green circle and a yellow disc per optic axis for each sub-figure. The
// window, the stills, the movies and (for the circle) the orientation preview all place them
// here, at whatever side they draw.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "optics/figure_buffer.h"
#include "render/buffer_drawing.h"

// Radius in pixels, unrounded, of the field of view in a projection circle of radius
// half_side: the objective's aperture angle refracted into the crystal, projected. An
// aperture that the crystal cannot refract below the critical angle fills the circle.
double field_of_view_radius(float numerical_aperture, float mean_index, int projection_kind,
                            double half_side);

struct OverlayCircle {
    int x;
    int y;
    int radius;
};
struct OverlayMark {
    double x;
    double y;
};
inline constexpr double kOverlayMarkRadius = 2.0;
inline constexpr RgbColour kFieldOfViewColour{0, 255, 0};
inline constexpr RgbColour kOpticAxisColour{255, 255, 0};

// The circle of one sub-figure and a mark for each of its optic axes, drawn in this order,
// sub-figure after sub-figure.
struct SubFigureOverlay {
    OverlayCircle circle;
    std::vector<OverlayMark> marks;
};
using FigureOverlay = std::vector<SubFigureOverlay>;

// The overlay of frame k (its index in the animation; 0 otherwise) of the figure drawn at
// side × side pixels: one figure filling the picture (the window, a still, an enlarged movie
// frame), or in the rotation image every sub-figure on its ring. Empty unless the figure was
// drawn in the full range.
FigureOverlay figure_overlay(const DrawSetup& setup, int frame, int side);

// Draws the overlay into an RGB buffer of side × side pixels.
void draw_overlay(std::span<std::uint8_t> rgb, int side, const FigureOverlay& overlay);
