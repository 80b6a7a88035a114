#include "model/crystal_rotation.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "support/directions.h"

namespace {

using namespace directions;
using Mat = std::array<Vec, 3>;

Mat multiply(const Mat& a, const Mat& b) {
    Mat c{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k)
                c[i][j] += a[i][k] * b[k][j];
    return c;
}

Mat about_z(double deg) {
    const double c = std::cos(rad(deg)), s = std::sin(rad(deg));
    return {{{c, -s, 0}, {s, c, 0}, {0, 0, 1}}};
}

Mat about_y(double deg) {
    const double c = std::cos(rad(deg)), s = std::sin(rad(deg));
    return {{{c, 0, s}, {0, 1, 0}, {-s, 0, c}}};
}

// The same rotation built another way: bring the axis onto z, turn about z, bring it back.
Mat composed_rotation(double theta, double phi, double angle) {
    return multiply(about_z(phi),
                    multiply(about_y(theta),
                             multiply(about_z(angle), multiply(about_y(-theta), about_z(-phi)))));
}

}  // namespace

TEST(RotationMatrix, AgreesWithRotationsComposedAboutCoordinateAxes) {
    struct Case {
        float theta, phi, angle;
    };
    const Case cases[] = {{0, 0, 90},    {90, 0, 30},     {90, 90, -45}, {15, 0, 180},
                          {37, 211, 73}, {62, 300, -160}, {90, 275, 12}, {5, 44, 359}};
    for (const Case& c : cases) {
        const RotationMatrix m = rotation_matrix(c.theta, c.phi, c.angle);
        const Mat expected = composed_rotation(c.theta, c.phi, c.angle);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                EXPECT_NEAR(m[i][j], expected[i][j], 2e-6)
                    << "theta " << c.theta << " phi " << c.phi << " angle " << c.angle << " at "
                    << i << "," << j;
    }
}

TEST(RotationMatrix, RightHandedAboutTheVertical) {
    // A quarter turn about +z takes +x to +y.
    const RotationMatrix m = rotation_matrix(0, 0, 90);
    EXPECT_NEAR(m[1][0], 1.0, 1e-6);
    EXPECT_NEAR(m[0][0], 0.0, 1e-6);
    EXPECT_NEAR(m[0][1], -1.0, 1e-6);
}

TEST(RotateDirection, CarriesDirectionsLikeTheGeometry) {
    struct Case {
        float theta, phi;        // direction
        float ax_theta, ax_phi;  // rotation axis
        float angle;
        float want_theta, want_phi;
        bool kept;
    };
    const Case cases[] = {
        // Tilting the vertical by 30° about +y leans it towards +x.
        {0, 0, 90, 90, 30, 30, 0, true},
        // +x about +y by 30° dips below the stage: its opposite (60°, 180°) is stored.
        {90, 0, 90, 90, 30, 60, 180, false},
        // The vertical about +x by 150° points to (0, -0.5, -0.87): stored as (30°, 90°).
        {0, 0, 90, 0, 150, 30, 90, false},
        // A horizontal direction turned about the vertical keeps θ and gains the angle.
        {90, 10, 0, 0, 100, 90, 110, true},
        // Azimuths past the -y half come out between 180° and 360°.
        {40, 0, 0, 0, -90, 40, 270, true},
        // The rotation axis itself stays put.
        {37, 211, 37, 211, 73, 37, 211, true},
    };
    for (const Case& c : cases) {
        const RotatedDirection d =
            rotate_direction(c.theta, c.phi, rotation_matrix(c.ax_theta, c.ax_phi, c.angle));
        EXPECT_NEAR(d.theta, c.want_theta, 1e-3) << c.theta << "," << c.phi << " by " << c.angle;
        EXPECT_NEAR(d.phi, c.want_phi, 1e-3) << c.theta << "," << c.phi << " by " << c.angle;
        EXPECT_EQ(d.kept, c.kept) << c.theta << "," << c.phi << " by " << c.angle;
    }
}

TEST(RotateDirection, NearEitherPoleKeepsTheUnrotatedAzimuth) {
    // The vertical turned about itself has no azimuth of its own: the old one stays.
    RotatedDirection d = rotate_direction(0, 123, rotation_matrix(0, 0, 40));
    EXPECT_NEAR(d.theta, 0.0, 1e-3);
    EXPECT_FLOAT_EQ(d.phi, 123.0f);
    EXPECT_TRUE(d.kept);

    // Within 0.57° of the pole the azimuth is also kept, beyond it the rotated one counts.
    d = rotate_direction(0.3f, 200, rotation_matrix(0, 0, 90));
    EXPECT_NEAR(d.theta, 0.3, 1e-3);
    EXPECT_FLOAT_EQ(d.phi, 200.0f);
    d = rotate_direction(0.6f, 200, rotation_matrix(0, 0, 90));
    EXPECT_NEAR(d.theta, 0.6, 1e-3);
    EXPECT_NEAR(d.phi, 290.0, 1e-2);

    // ... and straight down it is kept through the flip, which adds a half turn.
    d = rotate_direction(0, 20, rotation_matrix(90, 0, 180));
    EXPECT_NEAR(d.theta, 0.0, 1e-3);
    EXPECT_NEAR(d.phi, 200.0, 1e-3);
    EXPECT_FALSE(d.kept);
}

TEST(RotateDirection, ResultIsAlwaysAUnitLineOfTheUpperHemisphere) {
    // Whatever the rotation, the stored direction is ±(M·v).
    for (float angle = -180; angle <= 180; angle += 17) {
        for (float theta = 0; theta <= 90; theta += 15) {
            const float phi = 3.0f * theta + 7.0f;
            const RotationMatrix m = rotation_matrix(52, 140, angle);
            const RotatedDirection d = rotate_direction(theta, phi, m);
            ASSERT_LE(d.theta, 90.01f);
            ASSERT_GE(d.phi, 0.0f);
            ASSERT_LE(d.phi, 360.0f);
            const Mat exact = composed_rotation(52, 140, angle);
            const Vec v = unit(theta, phi);
            Vec w{};
            for (int i = 0; i < 3; ++i)
                for (int k = 0; k < 3; ++k)
                    w[i] += exact[i][k] * v[k];
            const Vec got = unit(d.theta, d.phi);
            const double sense = d.kept ? 1.0 : -1.0;
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(got[i], sense * w[i], 2e-4);
        }
    }
}
