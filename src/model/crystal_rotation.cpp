#include "model/crystal_rotation.h"

#include <cmath>
#include <numbers>

#include "model/angles.h"

namespace {

// Angles go to radians in double precision and are then held in single precision; the
// rotation results shown in the panel depend on this rounding.
float to_radians(float angle) {
    return static_cast<float>(radians(angle));
}

}  // namespace

RotationMatrix rotation_matrix(float theta, float phi, float angle) {
    const float t = to_radians(theta);
    const float p = to_radians(phi);
    const float a = to_radians(angle);
    const double u[3] = {std::sin(t) * std::cos(p), std::sin(t) * std::sin(p), std::cos(t)};
    const double c = std::cos(a);
    const double s = std::sin(a);
    // Cross-product matrix K of u, so that K·v = u × v.
    // clang-format off
    const double k[3][3] = {{  0.0, -u[2],  u[1]},
                            { u[2],   0.0, -u[0]},
                            {-u[1],  u[0],   0.0}};
    // clang-format on
    RotationMatrix m{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            // The outer-product term is held in single precision before the rest is added.
            const float outer = static_cast<float>(u[i] * u[j] * (1.0 - c));
            const double identity = i == j ? c : 0.0;
            m[i][j] = static_cast<float>(outer + identity + s * k[i][j]);
        }
    }
    return m;
}

RotatedDirection rotate_direction(float theta, float phi, const RotationMatrix& m) {
    const float t = to_radians(theta);
    const float p = to_radians(phi);
    const double v[3] = {std::sin(t) * std::cos(p), std::sin(t) * std::sin(p), std::cos(t)};
    double w[3];
    for (int i = 0; i < 3; ++i) {
        w[i] = m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2];
    }

    float new_theta;
    float new_phi;
    if (w[2] > 1.0) {
        new_theta = 0.0f;
        new_phi = p;
    } else if (w[2] < -1.0) {
        new_theta = static_cast<float>(std::numbers::pi);
        new_phi = p;
    } else {
        new_theta = static_cast<float>(std::acos(w[2]));
        const double horizontal = std::sqrt(w[0] * w[0] + w[1] * w[1]);
        if (new_theta < 0.01f || std::fabs(std::numbers::pi - new_theta) < 0.01 ||
            horizontal == 0.0) {
            new_phi = p;
        } else {
            // Rounding can push the cosine a hair beyond ±1, where acos has no value.
            const double cosine = std::fmax(-1.0, std::fmin(1.0, w[0] / horizontal));
            new_phi = static_cast<float>(std::acos(cosine));
            if (w[1] < 0.0)
                new_phi = static_cast<float>(2.0 * std::numbers::pi - new_phi);
        }
    }

    RotatedDirection result{static_cast<float>(degrees(new_theta)),
                            static_cast<float>(degrees(new_phi)), true};
    if (result.theta > kLargestRotatedTheta) {
        result.theta = 180.0f - result.theta;
        result.phi += 180.0f;
        if (result.phi >= 360.0f)
            result.phi -= 360.0f;
        result.kept = false;
    }
    return result;
}
