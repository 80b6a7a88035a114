#pragma once

#include <vector>

#include "optics/figure_buffer.h"

// Where an optic axis emerges in the figure plane, in projected units (1 at the rim of the
// full range): (g(θ) cos φ, g(θ) sin φ), y upwards.
struct ProjectedAxis {
    double x;
    double y;
};

// The optic axes of frame k as the overlay marks them: C for a uniaxial crystal, A then B
// for a biaxial one, with the frame's stage rotation (none in the single-image mode) and B
// taken before its end is chosen by the sign rule.
std::vector<ProjectedAxis> projected_optic_axes(const DrawSetup& setup, int frame);
