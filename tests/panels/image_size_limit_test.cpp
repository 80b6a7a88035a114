#include "panels/image_size_limit.h"

#include <gtest/gtest.h>

#include "app/parameter_record.h"

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
