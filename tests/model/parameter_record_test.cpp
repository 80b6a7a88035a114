#include "model/parameter_record.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>

#include "support/directions.h"

namespace {

struct FloatDefault {
    const char* name;
    float ParameterRecord::*field;
    float expected;
};

// clang-format off
constexpr FloatDefault kFloatDefaults[] = {
    {"image_size_single", &ParameterRecord::image_size_single, 200},
    {"image_size_rotation", &ParameterRecord::image_size_rotation, 120},
    {"image_size_animation", &ParameterRecord::image_size_animation, 100},
    {"rotation_step", &ParameterRecord::rotation_step, 30},
    {"animation_step", &ParameterRecord::animation_step, 5},
    {"thickness", &ParameterRecord::thickness, 30},
    {"omega", &ParameterRecord::omega, 1.544f},
    {"epsilon", &ParameterRecord::epsilon, 1.553f},
    {"alpha", &ParameterRecord::alpha, 1.552f},
    {"gamma", &ParameterRecord::gamma, 1.587f},
    {"two_vz", &ParameterRecord::two_vz, 30},
    {"numerical_aperture", &ParameterRecord::numerical_aperture, 0.65f},
    {"c_axis_theta", &ParameterRecord::c_axis_theta, 0},
    {"c_axis_phi", &ParameterRecord::c_axis_phi, 0},
    {"x_axis_theta", &ParameterRecord::x_axis_theta, 90},
    {"x_axis_phi", &ParameterRecord::x_axis_phi, 0},
    {"y_axis_theta", &ParameterRecord::y_axis_theta, 90},
    {"y_axis_phi", &ParameterRecord::y_axis_phi, 90},
    {"z_axis_theta", &ParameterRecord::z_axis_theta, 0},
    {"z_axis_phi", &ParameterRecord::z_axis_phi, 0},
    {"a_axis_theta", &ParameterRecord::a_axis_theta, 15},
    {"a_axis_phi", &ParameterRecord::a_axis_phi, 0},
    {"b_axis_theta", &ParameterRecord::b_axis_theta, 15},
    {"b_axis_phi", &ParameterRecord::b_axis_phi, 180},
};
// clang-format on

// A record with every byte set, so that a field the defaults forget shows up.
ParameterRecord scribbled_record() {
    ParameterRecord record;
    std::memset(&record, 0x7f, sizeof record);
    return record;
}

}  // namespace

TEST(ParameterRecord, DefaultsOfTheTable) {
    ParameterRecord record = scribbled_record();
    set_default_parameters(record);
    for (const auto& d : kFloatDefaults) {
        EXPECT_EQ(record.*d.field, d.expected) << d.name;
    }
    EXPECT_EQ(record.axis_type, 0);        // uniaxial
    EXPECT_EQ(record.draw_mode, 0);        // single image
    EXPECT_EQ(record.no_test_plate, 1);    // no test plate
    EXPECT_EQ(record.draw_range, 0);       // microscope field
    EXPECT_EQ(record.projection_kind, 0);  // sine projection
}

TEST(ParameterRecord, DerivedFieldsAreLeftToThePanels) {
    ParameterRecord record{};
    set_default_parameters(record);
    EXPECT_EQ(record.image_size, 0.0f);
    EXPECT_EQ(record.sampling_step, 0.0f);
    EXPECT_EQ(record.mean_index, 0.0f);
}

TEST(ParameterRecord, DefaultAxesAreConsistent) {
    // X, Y, Z mutually perpendicular; A and B at two_vz / 2 on either side of Z in the XZ
    // plane.
    ParameterRecord r{};
    set_default_parameters(r);
    using namespace directions;
    const auto x = unit(r.x_axis_theta, r.x_axis_phi);
    const auto y = unit(r.y_axis_theta, r.y_axis_phi);
    const auto z = unit(r.z_axis_theta, r.z_axis_phi);
    const auto a = unit(r.a_axis_theta, r.a_axis_phi);
    const auto b = unit(r.b_axis_theta, r.b_axis_phi);
    EXPECT_NEAR(dot(x, y), 0.0, 1e-12);
    EXPECT_NEAR(dot(y, z), 0.0, 1e-12);
    EXPECT_NEAR(dot(z, x), 0.0, 1e-12);
    EXPECT_NEAR(dot(a, y), 0.0, 1e-12);
    EXPECT_NEAR(dot(b, y), 0.0, 1e-12);
    const double half_angle = std::cos(rad(r.two_vz / 2));
    EXPECT_NEAR(dot(a, z), half_angle, 1e-7);
    EXPECT_NEAR(dot(b, z), half_angle, 1e-7);
}
