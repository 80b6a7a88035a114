// Where the figure window marks the microscope's field of view and the emerging optic axes
// in the full range, one circle and its marks per sub-figure.
#pragma once

#include <vector>

#include "optics/figure_buffer.h"

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

// The green field-of-view circle of one sub-figure and a yellow mark for each of its optic
// axes, drawn in this order, sub-figure after sub-figure.
struct SubFigureOverlay {
    OverlayCircle circle;
    std::vector<OverlayMark> marks;
};
using FigureOverlay = std::vector<SubFigureOverlay>;

// Radius in pixels of the field of view of a figure of side N in the full range: the
// objective's aperture angle refracted into the crystal, projected.
double field_of_view_radius(const DrawSetup& setup);

// The overlay of the frame the window shows (its index in the animation; 0 otherwise).
// Empty unless the figure was drawn in the full range.
FigureOverlay window_overlay(const DrawSetup& setup, int frame_index);
