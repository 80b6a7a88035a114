// Rigid rotations of crystal directions in the stage frame. A direction is (θ, φ) in
// degrees with the unit vector (sin θ cos φ, sin θ sin φ, cos θ); axes are lines, so a
// rotated direction is always brought back to the upper hemisphere.
#pragma once

#include <array>

// Stored in single precision, like every angle of the record it rotates.
using RotationMatrix = std::array<std::array<float, 3>, 3>;

// The right-handed rotation by angle (degrees) about the direction (theta, phi), applied as
// w = M·v.
RotationMatrix rotation_matrix(float theta, float phi, float angle);

// A rotated direction this little below the stage plane is kept as it is rather than flipped,
// so that an axis lying in the stage does not jump between its two ends.
inline constexpr float kLargestRotatedTheta = 90.01f;

struct RotatedDirection {
    float theta;  // degrees, 0 to 90 (up to kLargestRotatedTheta before a flip is forced)
    float phi;    // degrees, 0 to 360
    bool kept;    // false when the rotated vector pointed downwards and was replaced by its
                  // opposite
};

// The direction (theta, phi) carried by m. Within about half a degree of either pole the
// azimuth of the unrotated direction is kept, so that a vertical axis does not jitter.
RotatedDirection rotate_direction(float theta, float phi, const RotationMatrix& m);
