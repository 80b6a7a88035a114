#include "render/preview_geometry.h"

#include <cmath>

#include "model/angles.h"
#include "optics/projection.h"
#include "optics/rounding.h"

namespace {

// Projected distance from the centre, in pixels, of a direction at theta (radians) from the
// plate normal.
double projected_radius(double theta, int projection_kind) {
    return kPreviewRadius * projection_for(projection_kind).forward(theta);
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

PreviewSquare preview_axis_mark(PreviewColour colour, float theta, float phi, int projection_kind) {
    const double p = projected_radius(radians(theta), projection_kind);
    const int dx = round_half_away(p * std::cos(radians(phi)));
    const int dy = round_half_away(p * std::sin(radians(phi)));
    // The drawing's y runs downwards, the stage's upwards.
    const int corner = (kPreviewHeight - kPreviewMarkSide) / 2;
    return {colour, corner + dx, corner - dy};
}

std::vector<PreviewSquare> preview_axis_marks(const ParameterRecord& record) {
    const int kind = record.projection_kind;
    if (record.axis_type != kBiaxial) {
        return {preview_axis_mark(PreviewColour::kYellow, record.c_axis_theta, record.c_axis_phi,
                                  kind)};
    }
    return {
        preview_axis_mark(PreviewColour::kYellow, record.a_axis_theta, record.a_axis_phi, kind),
        preview_axis_mark(PreviewColour::kYellow, record.b_axis_theta, record.b_axis_phi, kind),
        preview_axis_mark(PreviewColour::kOrange, record.x_axis_theta, record.x_axis_phi, kind),
        preview_axis_mark(PreviewColour::kLightBlue, record.z_axis_theta, record.z_axis_phi, kind),
        preview_axis_mark(PreviewColour::kRed, record.y_axis_theta, record.y_axis_phi, kind),
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
