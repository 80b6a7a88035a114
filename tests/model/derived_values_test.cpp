#include "model/derived_values.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/parameter_record.h"

TEST(ImageSizeLimit, RotationRingFitsTheCanvas) {
    const struct {
        float step;
        int maximum;
    } cases[] = {{15, 76}, {18, 89}, {20, 97}, {22.5f, 107}, {30, 135}, {36, 155}, {45, 182}};
    for (const auto& c : cases)
        EXPECT_EQ(max_image_size(kRotationImage, c.step), c.maximum) << c.step;
}

TEST(ImageSizeLimit, AnimationSeriesFitsTheBudget) {
    const int expected[] = {84, 119, 146, 168, 188, 206, 223, 238, 252, 266};
    for (int step = 1; step <= 10; ++step)
        EXPECT_EQ(max_image_size(kAnimation, float(step)), expected[step - 1]) << step;
}

TEST(ImageSizeLimit, SingleImageIsAlways400) {
    EXPECT_EQ(max_image_size(kSingleImage, 0.0f), 400);
    EXPECT_EQ(max_image_size(kSingleImage, 30.0f), 400);
}

TEST(DerivedValues, FollowTheModeItsStepAndTheCrystalKind) {
    struct Case {
        int mode, axis_type;
        float rotation_step, animation_step;
        float image_size, sampling_step, size_field;
    };
    const Case cases[] = {
        {kSingleImage, kUniaxial, 30, 5, 200, 0, 200},  // no step until a stepped mode
        {kRotationImage, kUniaxial, 30, 5, 120, 30, 120},
        {kAnimation, kBiaxial, 30, 5, 100, 5, 100},
        {kRotationImage, kUniaxial, 15, 5, 76, 15, 76},  // lowered to the maximum, and kept
        {kAnimation, kUniaxial, 30, 1, 84, 1, 84},
    };
    for (const Case& c : cases) {
        ParameterRecord r{};
        set_default_parameters(r);
        r.draw_mode = c.mode;
        r.axis_type = c.axis_type;
        r.rotation_step = c.rotation_step;
        r.animation_step = c.animation_step;
        update_derived_fields(r);
        EXPECT_EQ(r.image_size, c.image_size) << c.mode;
        EXPECT_EQ(r.sampling_step, c.sampling_step) << c.mode;
        EXPECT_EQ(image_size_of_mode(r, c.mode), c.size_field) << c.mode;
        const double indices = c.axis_type == kBiaxial ? 1.552 * 1.587 : 1.544 * 1.553;
        EXPECT_FLOAT_EQ(r.mean_index, float(std::sqrt(indices))) << c.mode;
    }
}

TEST(DerivedValues, MeanIndexIsTheNearestFloatToTheRoot) {
    // 1.25 × 1.352 = 1.69 exactly: a product rounded to single precision first would land
    // one unit above 1.3.
    ParameterRecord r{};
    set_default_parameters(r);
    r.omega = 1.25f;
    r.epsilon = 1.352f;
    EXPECT_EQ(mean_index(r), 1.3f);
    r.axis_type = kBiaxial;
    r.alpha = 1.352f;
    r.gamma = 1.25f;
    EXPECT_EQ(mean_index(r), 1.3f);
}
