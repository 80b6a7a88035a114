#include "model/orientation_edit.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <string>

#include "support/directions.h"

namespace {

using namespace directions;

ParameterRecord defaults() {
    ParameterRecord r{};
    set_default_parameters(r);
    return r;
}

void expect_direction(const ParameterRecord& r, const OrientationState& s, int axis, float theta,
                      float phi, const std::string& where) {
    const char name = s.axes[axis].name;
    EXPECT_NEAR(r.*s.axes[axis].theta, theta, 0.01) << where << ": " << name << " theta";
    // 0 and 360 are the same azimuth; either may come out on the boundary.
    double d = std::fmod(std::fabs(r.*s.axes[axis].phi - phi), 360.0);
    if (d > 180.0)
        d = 360.0 - d;
    EXPECT_NEAR(d, 0.0, 0.01) << where << ": " << name << " phi " << r.*s.axes[axis].phi;
}

// The geometry the panel must keep after every edit: X, Y, Z mutually perpendicular, A and B
// the lines of Z turned by +V and -V about the true Y (the stored Y, reversed when y_parity
// is 0), V = two_vz / 2.
void expect_consistent_axis_set(const ParameterRecord& r, const OrientationState& s,
                                const std::string& where) {
    const Vec x = axis_vector(r, kAxisX);
    const Vec y = axis_vector(r, kAxisY);
    const Vec z = axis_vector(r, kAxisZ);
    EXPECT_NEAR(dot(x, y), 0.0, 1e-4) << where;
    EXPECT_NEAR(dot(y, z), 0.0, 1e-4) << where;
    EXPECT_NEAR(dot(z, x), 0.0, 1e-4) << where;
    Vec true_y = y;
    if (s.y_parity == 0)
        for (double& c : true_y)
            c = -c;
    const double v = rad(r.two_vz / 2.0);
    const Vec yz = cross(true_y, z);
    Vec a_expected{}, b_expected{};
    for (int i = 0; i < 3; ++i) {
        a_expected[i] = z[i] * std::cos(v) + yz[i] * std::sin(v);
        b_expected[i] = z[i] * std::cos(v) - yz[i] * std::sin(v);
    }
    EXPECT_TRUE(same_line(axis_vector(r, kAxisA), a_expected, 1e-6)) << where << ": A";
    EXPECT_TRUE(same_line(axis_vector(r, kAxisB), b_expected, 1e-6)) << where << ": B";
}

}  // namespace

TEST(OrientationEdit, DefaultsAreAConsistentAxisSet) {
    const ParameterRecord r = defaults();
    const OrientationState s;
    EXPECT_EQ(s.rotation_axis, kAxisA);
    EXPECT_EQ(s.y_parity, 1);
    EXPECT_EQ(s.edit_kind, kNoEdit);
    expect_consistent_axis_set(r, s, "defaults");
}

TEST(OrientationEdit, TiltingZToThirtyMovesTheWholeSet) {
    // One jump, and thirty clicks of the spin button: both start from the same snapshot.
    for (int clicks : {1, 30}) {
        ParameterRecord r = defaults();
        OrientationState s;
        select_rotation_axis(s, kAxisZ);
        for (int k = 1; k <= clicks; ++k)
            tilt_rotation_axis(r, s, 30.0f * k / clicks);
        const std::string where = std::to_string(clicks) + " clicks";
        expect_direction(r, s, kAxisZ, 30, 0, where);
        expect_direction(r, s, kAxisX, 60, 180, where);
        expect_direction(r, s, kAxisY, 90, 90, where);
        expect_direction(r, s, kAxisA, 45, 0, where);
        expect_direction(r, s, kAxisB, 15, 0, where);
        // X went below the stage and was flipped; only a flip of Y changes its sense.
        EXPECT_EQ(s.y_parity, 1);
        EXPECT_EQ(s.edit_kind, kTiltEdit);
        expect_consistent_axis_set(r, s, where);
    }
}

TEST(OrientationEdit, HalfTurnAboutA) {
    ParameterRecord r = defaults();
    OrientationState s;
    rotate_about_rotation_axis(r, s, 180.0f);
    expect_direction(r, s, kAxisA, 15, 0, "R 180");
    expect_direction(r, s, kAxisB, 45, 0, "R 180");
    expect_direction(r, s, kAxisX, 60, 180, "R 180");
    expect_direction(r, s, kAxisY, 90, 270, "R 180");
    expect_direction(r, s, kAxisZ, 30, 0, "R 180");
    EXPECT_EQ(s.edit_kind, kRotateEdit);
    expect_consistent_axis_set(r, s, "R 180");
}

TEST(OrientationEdit, TurnAddsTheChangeToEveryAzimuthAndWraps) {
    struct Case {
        float a_phi_before;  // azimuth of the rotation axis A before the turn
        float a_phi_after;
        float b_phi, x_phi, y_phi, z_phi;  // expected
    };
    // From the defaults: B 180, X 0, Y 90, Z 0 (A at 0).
    const Case cases[] = {
        {0, 180, 360, 180, 270, 180},  // 180 + 180 is exactly 360 and stays 360
        {0, 200, 20, 200, 290, 200},   // sums above 360 lose 360
        {0, 360, 180, 360, 90, 360},   // the spin button wrapped from 0 to 360
        {0, 10, 190, 10, 100, 10},
    };
    for (const Case& c : cases) {
        ParameterRecord r = defaults();
        OrientationState s;
        turn_rotation_axis(r, s, c.a_phi_after);
        const std::string where = "A to " + std::to_string(c.a_phi_after);
        EXPECT_FLOAT_EQ(r.b_axis_phi, c.b_phi) << where;
        EXPECT_FLOAT_EQ(r.x_axis_phi, c.x_phi) << where;
        EXPECT_FLOAT_EQ(r.y_axis_phi, c.y_phi) << where;
        EXPECT_FLOAT_EQ(r.z_axis_phi, c.z_phi) << where;
        EXPECT_FLOAT_EQ(r.b_axis_theta, 15.0f) << where;
        EXPECT_FLOAT_EQ(r.x_axis_theta, 90.0f) << where;
    }

    // Sums below 0 gain 360: Y as rotation axis turned from 90 to 30.
    ParameterRecord r = defaults();
    OrientationState s;
    select_rotation_axis(s, kAxisY);
    turn_rotation_axis(r, s, 30.0f);
    EXPECT_FLOAT_EQ(r.a_axis_phi, 300.0f);
    EXPECT_FLOAT_EQ(r.b_axis_phi, 120.0f);
    EXPECT_FLOAT_EQ(r.x_axis_phi, 300.0f);
    EXPECT_FLOAT_EQ(r.y_axis_phi, 30.0f);
}

TEST(OrientationEdit, OnlyAFlipOfYChangesItsSense) {
    ParameterRecord r = defaults();
    OrientationState s;
    select_rotation_axis(s, kAxisX);
    // About X by 120°: Z dips below the stage and is flipped, Y stays above.
    rotate_about_rotation_axis(r, s, 120.0f);
    expect_direction(r, s, kAxisZ, 60, 90, "R 120");
    expect_direction(r, s, kAxisY, 30, 270, "R 120");
    EXPECT_EQ(s.y_parity, 1);
    // About X by -120° (same edit, from the same snapshot): now Y is flipped.
    rotate_about_rotation_axis(r, s, -120.0f);
    expect_direction(r, s, kAxisY, 30, 90, "R -120");
    EXPECT_EQ(s.y_parity, 0);
    expect_consistent_axis_set(r, s, "R -120");
}

TEST(OrientationEdit, SenseOfYFollowsTheSnapshotOverManyClicks) {
    // Clicking R down one degree at a time past -90° keeps Y below the stage on every click;
    // its sense must flip once, not on every click.
    for (int last : {-95, -96}) {
        ParameterRecord r = defaults();
        OrientationState s;
        select_rotation_axis(s, kAxisX);
        for (int angle = -1; angle >= last; --angle)
            rotate_about_rotation_axis(r, s, angle);
        EXPECT_EQ(s.y_parity, 0) << last;
        expect_consistent_axis_set(r, s, "R " + std::to_string(last));
        // Back to 0 within the same edit restores everything, the sense included.
        rotate_about_rotation_axis(r, s, 0.0f);
        EXPECT_EQ(s.y_parity, 1) << last;
        expect_direction(r, s, kAxisY, 90, 90, "back to 0");
    }
}

TEST(OrientationEdit, TiltAfterRotationStartsFromTheRotatedPosition) {
    ParameterRecord r = defaults();
    OrientationState s;
    rotate_about_rotation_axis(r, s, 40.0f);
    const ParameterRecord rotated = r;

    // The same tilt done on a fresh panel that never saw a rotation.
    ParameterRecord fresh = rotated;
    OrientationState fresh_state;
    fresh_state.y_parity = s.y_parity;
    tilt_rotation_axis(fresh, fresh_state, 20.0f);

    tilt_rotation_axis(r, s, 20.0f);
    EXPECT_EQ(s.edit_kind, kTiltEdit);
    for (int axis = 0; axis < kAxisCount; ++axis) {
        EXPECT_TRUE(same_line(axis_vector(r, axis), axis_vector(fresh, axis), 1e-8))
            << s.axes[axis].name;
    }
    // The snapshot of the tilt is the rotated set, not the set before R.
    EXPECT_FLOAT_EQ(s.axes[kAxisB].theta_start, rotated.b_axis_theta);
    EXPECT_FLOAT_EQ(s.axes[kAxisB].phi_start, rotated.b_axis_phi);
    expect_consistent_axis_set(r, s, "tilt after R");
}

TEST(OrientationEdit, ChoosingAnotherAxisMovesNothingAndEndsTheEdit) {
    ParameterRecord r = defaults();
    OrientationState s;
    rotate_about_rotation_axis(r, s, 70.0f);
    const ParameterRecord before = r;
    select_rotation_axis(s, kAxisY);
    EXPECT_EQ(s.rotation_axis, kAxisY);
    EXPECT_EQ(s.edit_kind, kNoEdit);
    EXPECT_EQ(0, std::memcmp(&before, &r, sizeof r));
    // A rotation about the new axis starts from where R 70 left the set.
    rotate_about_rotation_axis(r, s, 0.0f);
    EXPECT_NEAR(r.a_axis_theta, before.a_axis_theta, 1e-3);
    EXPECT_NEAR(r.b_axis_theta, before.b_axis_theta, 1e-3);
}

TEST(OrientationEdit, MixedEditsKeepTheAxisSetRigid) {
    ParameterRecord r = defaults();
    OrientationState s;
    struct Step {
        int axis;
        char edit;  // 't' tilt, 'p' turn, 'r' rotate
        float value;
    };
    const Step steps[] = {{kAxisA, 'r', 65},   {kAxisA, 't', 48},  {kAxisZ, 'p', 300},
                          {kAxisZ, 'r', -130}, {kAxisY, 't', 20},  {kAxisX, 'r', 170},
                          {kAxisB, 't', 80},   {kAxisB, 'r', -75}, {kAxisY, 'p', 10}};
    for (const Step& step : steps) {
        if (step.axis != s.rotation_axis)
            select_rotation_axis(s, step.axis);
        if (step.edit == 't')
            tilt_rotation_axis(r, s, step.value);
        if (step.edit == 'p')
            turn_rotation_axis(r, s, step.value);
        if (step.edit == 'r')
            rotate_about_rotation_axis(r, s, step.value);
        expect_consistent_axis_set(
            r, s, std::string(1, s.axes[step.axis].name) + step.edit + std::to_string(step.value));
    }
}

TEST(RecomputeAxesForTwoV, PrincipalAxisFixedOpticAxesFollow) {
    for (int axis : {kAxisX, kAxisY, kAxisZ}) {
        for (float two_v : {30.0f, 70.0f, 90.0f, 140.0f}) {
            ParameterRecord r = defaults();
            OrientationState s;
            // Somewhere off the defaults, with Y's sense reversed along the way.
            select_rotation_axis(s, kAxisX);
            rotate_about_rotation_axis(r, s, -125.0f);
            select_rotation_axis(s, kAxisZ);
            tilt_rotation_axis(r, s, 35.0f);
            turn_rotation_axis(r, s, 200.0f);
            select_rotation_axis(s, axis);
            const ParameterRecord before = r;
            const int parity = s.y_parity;

            r.two_vz = two_v;
            recompute_axes_for_two_v(r, s);
            const std::string where =
                std::string(1, s.axes[axis].name) + " 2Vz " + std::to_string(two_v);
            EXPECT_EQ(s.y_parity, parity) << where;
            EXPECT_EQ(s.edit_kind, kNoEdit) << where;
            for (int fixed : {kAxisX, kAxisY, kAxisZ}) {
                EXPECT_FLOAT_EQ(r.*s.axes[fixed].theta, before.*s.axes[fixed].theta) << where;
                EXPECT_FLOAT_EQ(r.*s.axes[fixed].phi, before.*s.axes[fixed].phi) << where;
            }
            expect_consistent_axis_set(r, s, where);
        }
    }
}

TEST(RecomputeAxesForTwoV, OpticAxisFixedOthersFollow) {
    for (int axis : {kAxisA, kAxisB}) {
        for (float two_v : {30.0f, 70.0f, 90.0f, 140.0f}) {
            ParameterRecord r = defaults();
            OrientationState s;
            select_rotation_axis(s, kAxisX);
            rotate_about_rotation_axis(r, s, -125.0f);
            select_rotation_axis(s, kAxisA);
            tilt_rotation_axis(r, s, 50.0f);
            select_rotation_axis(s, axis);
            const ParameterRecord before = r;

            r.two_vz = two_v;
            recompute_axes_for_two_v(r, s);
            const std::string where =
                std::string(1, s.axes[axis].name) + " 2Vz " + std::to_string(two_v);
            for (int fixed : {axis, static_cast<int>(kAxisY)}) {
                EXPECT_FLOAT_EQ(r.*s.axes[fixed].theta, before.*s.axes[fixed].theta) << where;
                EXPECT_FLOAT_EQ(r.*s.axes[fixed].phi, before.*s.axes[fixed].phi) << where;
            }
            expect_consistent_axis_set(r, s, where);
        }
    }
}

TEST(RecomputeAxesForTwoV, UnchangedAngleLeavesTheSetInPlace) {
    for (int axis = 0; axis < kAxisCount; ++axis) {
        ParameterRecord r = defaults();
        OrientationState s;
        select_rotation_axis(s, kAxisZ);
        tilt_rotation_axis(r, s, 40.0f);
        rotate_about_rotation_axis(r, s, 100.0f);
        select_rotation_axis(s, axis);
        const ParameterRecord before = r;
        recompute_axes_for_two_v(r, s);
        for (int q = 0; q < kAxisCount; ++q) {
            EXPECT_TRUE(same_line(axis_vector(r, q), axis_vector(before, q), 1e-6))
                << "rotation axis " << s.axes[axis].name << ", axis " << s.axes[q].name;
        }
    }
}
