// Directions in the stage frame, worked out here without the program's rotation code, for
// the tests that check that code: (θ, φ) in degrees is the unit vector
// (sin θ cos φ, sin θ sin φ, cos θ).
#pragma once

#include <array>
#include <cmath>
#include <numbers>

#include "model/orientation_edit.h"
#include "model/parameter_record.h"

namespace directions {

using Vec = std::array<double, 3>;

inline double rad(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

inline Vec unit(double theta, double phi) {
    return {std::sin(rad(theta)) * std::cos(rad(phi)), std::sin(rad(theta)) * std::sin(rad(phi)),
            std::cos(rad(theta))};
}

inline double dot(const Vec& a, const Vec& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

inline Vec cross(const Vec& a, const Vec& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// Two directions name the same line when they are parallel or opposite.
inline bool same_line(const Vec& a, const Vec& b, double tolerance = 1e-6) {
    return std::fabs(std::fabs(dot(a, b)) - 1.0) < tolerance;
}

// The direction the record holds for axis A, B, X, Y or Z (kAxisA …).
inline Vec axis_vector(const ParameterRecord& record, int axis) {
    const OrientationState layout;
    const AxisRecord& a = layout.axes[axis];
    return unit(record.*a.theta, record.*a.phi);
}

}  // namespace directions
