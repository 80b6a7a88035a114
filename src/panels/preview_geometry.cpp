#include "panels/preview_geometry.h"

#include <algorithm>
#include <cmath>

#include "optics/rounding.h"

namespace {

double radians(double degrees) {
    return degrees * (M_PI / 180.0);
}

// Projected distance from the centre, in pixels, of a direction at theta (radians) from the
// plate normal.
double projected_radius(double theta, int projection_kind) {
    if (projection_kind == kWulffProjection)
        return kPreviewRadius * std::tan(theta / 2.0);
    return kPreviewRadius * std::sin(theta);
}

}  // namespace

Rgb preview_rgb(PreviewColour colour) {
    switch (colour) {
        case PreviewColour::kBlack:
            return {0.0, 0.0, 0.0};
        case PreviewColour::kWhite:
            return {1.0, 1.0, 1.0};
        case PreviewColour::kGreen:
            return {0.0, 1.0, 0.0};
        case PreviewColour::kYellow:
            return {1.0, 1.0, 0.0};
        case PreviewColour::kOrange:
            return {1.0, 0.5, 0.0};
        case PreviewColour::kRed:
            return {1.0, 0.0, 0.0};
        case PreviewColour::kLightBlue:
            return {0.5, 0.5, 1.0};
    }
    return {0.0, 0.0, 0.0};
}

int preview_fov_radius(float numerical_aperture, float mean_index, int projection_kind) {
    // The panels keep NA ≤ 1 ≤ n̄; the clamp only guards a record not yet filled in, where
    // asin would have no value.
    const double ratio = mean_index > 0.0f
                             ? std::min(1.0, static_cast<double>(numerical_aperture) / mean_index)
                             : 1.0;
    if (projection_kind == kWulffProjection) {
        return round_half_away(projected_radius(std::asin(ratio), projection_kind));
    }
    return round_half_away(kPreviewRadius * ratio);
}

PreviewSquare preview_axis_mark(PreviewColour colour, float theta, float phi, int projection_kind) {
    const double p = projected_radius(radians(theta), projection_kind);
    const int dx = round_half_away(p * std::cos(radians(phi)));
    const int dy = round_half_away(p * std::sin(radians(phi)));
    // The drawing's y runs downwards, the stage's upwards.
    const int corner = (kPreviewHeight - kPreviewMarkSide) / 2;
    return {colour, corner + dx, corner - dy};
}

std::vector<PreviewSquare> preview_axis_marks(const ParameterRecord& r) {
    const int kind = r.projection_kind;
    if (r.axis_type != kBiaxial) {
        return {preview_axis_mark(PreviewColour::kYellow, r.c_axis_theta, r.c_axis_phi, kind)};
    }
    return {
        preview_axis_mark(PreviewColour::kYellow, r.a_axis_theta, r.a_axis_phi, kind),
        preview_axis_mark(PreviewColour::kYellow, r.b_axis_theta, r.b_axis_phi, kind),
        preview_axis_mark(PreviewColour::kOrange, r.x_axis_theta, r.x_axis_phi, kind),
        preview_axis_mark(PreviewColour::kLightBlue, r.z_axis_theta, r.z_axis_phi, kind),
        preview_axis_mark(PreviewColour::kRed, r.y_axis_theta, r.y_axis_phi, kind),
    };
}

std::vector<PreviewLegendEntry> preview_legend(int axis_type) {
    constexpr int kTextX = kPreviewLegendX + kPreviewMarkSide + kPreviewLegendTextGap;
    auto entry = [](PreviewColour colour, int top, const char* text) {
        return PreviewLegendEntry{
            {colour, kPreviewLegendX, top}, kTextX, top + kPreviewMarkSide, text};
    };
    const int last_row = kPreviewHeight - kPreviewMarkSide - 10;
    if (axis_type != kBiaxial)
        return {entry(PreviewColour::kYellow, last_row, "C")};
    constexpr int kRowGap = 15;
    return {
        entry(PreviewColour::kYellow, last_row - 3 * kRowGap, "A B"),
        entry(PreviewColour::kOrange, last_row - 2 * kRowGap, "X"),
        entry(PreviewColour::kRed, last_row - kRowGap, "Y"),
        entry(PreviewColour::kLightBlue, last_row, "Z"),
    };
}
