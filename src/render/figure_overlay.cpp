#include "render/figure_overlay.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "optics/optic_axes.h"
#include "optics/projection.h"
#include "optics/rounding.h"

double field_of_view_radius(float numerical_aperture, float mean_index, int projection_kind,
                            double half_side) {
    const auto forward = projection_for(projection_kind).forward;
    // asin has no value beyond 1; a record not yet filled in (no mean index) fills the circle.
    const double sine =
        mean_index > 0.0f ? std::min(1.0, double(numerical_aperture) / double(mean_index)) : 1.0;
    return half_side * forward(std::asin(sine));
}

FigureOverlay figure_overlay(const DrawSetup& setup, int frame, int side) {
    FigureOverlay overlay;
    const ParameterRecord& params = setup.params;
    if (params.draw_range != kFullRange)
        return overlay;

    const bool rotation = params.draw_mode == kRotationImage;
    // Half a sub-figure's side: the scale from projected values to pixels. For an odd side it
    // keeps its half pixel, so that every picture of one figure has the same marks.
    const double half = rotation ? double(params.image_size * 0.5f) : side * 0.5;
    const int radius = round_half_away(field_of_view_radius(
        params.numerical_aperture, setup.mean_index, params.projection_kind, half));
    const double ring = rotation ? (setup.canvas_side - setup.side) * 0.5 : 0.0;
    const int sub_side = rotation ? setup.side : side;
    const int sub_figures = rotation ? setup.frame_count : 1;

    for (int j = 0; j < sub_figures; ++j) {
        const double angle = 2.0 * std::numbers::pi * j / setup.frame_count_real;
        const double x = ring * std::cos(angle) + ring + sub_side / 2.0 - 0.5;
        const double y = -ring * std::sin(angle) + ring + sub_side / 2.0 - 0.5;
        SubFigureOverlay& sub = overlay.emplace_back();
        sub.circle = {round_half_away(x), round_half_away(y), radius};
        // The figure's y axis points up, the picture's rows run down.
        for (const ProjectedAxis& axis : projected_optic_axes(setup, rotation ? j : frame))
            sub.marks.push_back({x + half * axis.x, y - half * axis.y});
    }
    return overlay;
}

void draw_overlay(std::span<std::uint8_t> rgb, int side, const FigureOverlay& overlay) {
    for (const SubFigureOverlay& sub : overlay) {
        draw_circle_outline(rgb, side, side, kFieldOfViewColour, sub.circle.x, sub.circle.y,
                            sub.circle.radius);
        for (const OverlayMark& mark : sub.marks)
            draw_disc(rgb, side, side, kOpticAxisColour, mark.x, mark.y, kOverlayMarkRadius);
    }
}
