#include "model/controls.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/derived_values.h"

TEST(SnapRotationStep, OnlyDivisorsOfTheHalfTurnAreReached) {
    struct Case {
        float entered, previous, expected;
    };
    const Case cases[] = {
        {44, 30, 45},    {16, 30, 15},    {30.5f, 30, 36}, {29.5f, 30, 22.5f}, {36.5f, 36, 45},
        {35.5f, 36, 30}, {22, 22.5f, 20}, {23, 22.5f, 30}, {18.5f, 18, 20},    {17.5f, 18, 15},
        {15, 30, 15},    {18, 30, 18},    {20, 30, 20},    {22.5f, 30, 22.5f}, {45, 30, 45},
    };
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(snap_rotation_step(c.entered, c.previous), c.expected)
            << c.entered << " from " << c.previous;
    }
    const std::vector<float> expected = {15, 18, 20, 22.5f, 30, 36, 45};
    EXPECT_EQ(rotation_steps(), expected);
}

TEST(Controls, EveryStartValueIsOneItsControlCanHold) {
    ParameterRecord record{};
    set_default_parameters(record);
    for (const FieldControl& control : field_controls()) {
        const ControlRange range = control_range(record, control.field);
        const float value = record.*control.field;
        EXPECT_GE(value, range.lower) << control.name;
        EXPECT_LE(value, range.upper) << control.name;
        const double steps = (value - range.lower) / range.step;
        EXPECT_NEAR(steps, std::round(steps), 1e-3) << control.name << " is between steps";
    }
    // A switch starts at the first of its values, the one its button shows first.
    for (const SwitchControl& control : switch_controls())
        EXPECT_EQ(record.*control.field, control.values.front().value) << control.name;
}
