#include "figure/overlay_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "optics/optic_axes.h"
#include "optics/projection.h"
#include "optics/rounding.h"

double field_of_view_radius(const DrawSetup& setup) {
    const auto forward = projection_for(setup.params.projection_kind).forward;
    // An aperture that the crystal cannot refract below the critical angle fills the whole
    // hemisphere; asin would otherwise give NaN.
    const double sine =
        std::min(1.0, double(setup.params.numerical_aperture) / double(setup.mean_index));
    return forward(std::asin(sine)) * setup.side / 2.0;
}

FigureOverlay window_overlay(const DrawSetup& setup, int frame_index) {
    FigureOverlay overlay;
    if (setup.params.draw_range != kFullRange)
        return overlay;

    const int n = setup.side;
    const double half = setup.params.image_size * 0.5f;
    const int radius = round_half_away(field_of_view_radius(setup));
    const bool rotation = setup.params.draw_mode == kRotationImage;
    const double ring = (setup.canvas_side - n) * 0.5;
    const int sub_figures = rotation ? setup.frame_count : 1;

    for (int j = 0; j < sub_figures; ++j) {
        const double angle = 2.0 * std::numbers::pi * j / setup.frame_count_real;
        const double x = ring * std::cos(angle) + ring + n / 2.0 - 0.5;
        const double y = -ring * std::sin(angle) + ring + n / 2.0 - 0.5;
        SubFigureOverlay& sub = overlay.emplace_back();
        sub.circle = {round_half_away(x), round_half_away(y), radius};
        const int frame = rotation ? j : frame_index;
        // The figure's y axis points up, the picture's rows run down.
        for (const ProjectedAxis& axis : projected_optic_axes(setup, frame))
            sub.marks.push_back({x + half * axis.x, y - half * axis.y});
    }
    return overlay;
}
