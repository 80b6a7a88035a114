#include "render/figure_overlay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "model/parameter_record.h"

namespace {

// The values a Draw fixes for the record's current mode, worked out by hand here rather
// than by the driver, so that the overlay is checked on its own.
DrawSetup setup_for(const ParameterRecord& record, int side, int frames, int canvas) {
    DrawSetup setup;
    setup.params = record;
    setup.frame_count = frames;
    setup.frame_count_real = float(frames);
    setup.side = side;
    setup.canvas_side = canvas;
    setup.radius = side / 2.0f;
    setup.mean_index = record.axis_type == kBiaxial ? std::sqrt(record.alpha * record.gamma)
                                                    : std::sqrt(record.omega * record.epsilon);
    return setup;
}

ParameterRecord defaults() {
    ParameterRecord record{};
    set_default_parameters(record);
    record.image_size = 200;
    return record;
}

TEST(OverlayGeometry, NothingInTheMicroscopeField) {
    const ParameterRecord record = defaults();
    EXPECT_TRUE(figure_overlay(setup_for(record, 200, 1, 200), 0, 200).empty());
}

TEST(OverlayGeometry, FieldOfViewRadiusByProjection) {
    // R = g(asin(NA / sqrt(ω ε))) × N / 2 with NA 0.65, ω 1.544, ε 1.553, N 200.
    ParameterRecord record = defaults();
    record.draw_range = kFullRange;
    const auto radius = [](const ParameterRecord& r) {
        const DrawSetup setup = setup_for(r, 200, 1, 200);
        return field_of_view_radius(r.numerical_aperture, setup.mean_index, r.projection_kind,
                                    100.0);
    };
    EXPECT_NEAR(radius(record), 41.98, 0.005);
    EXPECT_EQ(figure_overlay(setup_for(record, 200, 1, 200), 0, 200).at(0).circle.radius, 42);
    record.projection_kind = kWulffProjection;
    EXPECT_NEAR(radius(record), 22.00, 0.005);
    // An aperture beyond the crystal's critical angle fills the figure instead of failing.
    record.projection_kind = kSineProjection;
    record.numerical_aperture = 1.0f;
    record.omega = record.epsilon = 0.9f;
    EXPECT_DOUBLE_EQ(radius(record), 100.0);
}

TEST(OverlayGeometry, SingleUniaxialFigureWithVerticalAxis) {
    ParameterRecord record = defaults();
    record.draw_range = kFullRange;
    const FigureOverlay overlay = figure_overlay(setup_for(record, 200, 1, 200), 0, 200);
    ASSERT_EQ(overlay.size(), 1u);
    // The centre (N − 1) / 2 = 99.5 rounds away from zero.
    EXPECT_EQ(overlay[0].circle.x, 100);
    EXPECT_EQ(overlay[0].circle.y, 100);
    ASSERT_EQ(overlay[0].marks.size(), 1u);
    EXPECT_NEAR(overlay[0].marks[0].x, 99.5, 1e-9);
    EXPECT_NEAR(overlay[0].marks[0].y, 99.5, 1e-9);
}

TEST(OverlayGeometry, BiaxialDefaultsMarkBothAxes) {
    // A at (15°, 0°), B at (15°, 180°): 100 × sin 15° = 25.88 pixels either side.
    ParameterRecord record = defaults();
    record.axis_type = kBiaxial;
    record.draw_range = kFullRange;
    const FigureOverlay overlay = figure_overlay(setup_for(record, 200, 1, 200), 0, 200);
    ASSERT_EQ(overlay.size(), 1u);
    const std::vector<OverlayMark>& marks = overlay[0].marks;
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_NEAR(marks[0].x, 99.5 + 25.882, 1e-3);
    EXPECT_NEAR(marks[0].y, 99.5, 1e-9);
    EXPECT_NEAR(marks[1].x, 99.5 - 25.882, 1e-3);
    EXPECT_NEAR(marks[1].y, 99.5, 1e-9);
}

TEST(OverlayGeometry, RotationImageHasOneCircleAndItsMarksPerSubFigure) {
    // Step 30°, N = 120: twelve sub-figures on a ring in a 584-pixel canvas; sub-figure 0
    // occupies columns 464 … 583 and rows 232 … 351, so its centre is (523.5, 291.5).
    ParameterRecord record = defaults();
    record.axis_type = kBiaxial;
    record.draw_mode = kRotationImage;
    record.draw_range = kFullRange;
    record.image_size = 120;
    record.sampling_step = 30;
    const FigureOverlay overlay = figure_overlay(setup_for(record, 120, 12, 584), 0, 584);
    ASSERT_EQ(overlay.size(), 12u);
    std::size_t marks = 0;
    for (const SubFigureOverlay& sub : overlay)
        marks += sub.marks.size();
    EXPECT_EQ(marks, 24u);
    const int radius = 25;  // 60 × 0.65 / sqrt(1.552 × 1.587) = 24.85
    struct Centre {
        int j, x, y;
    };
    // j = 3 sits at the top (columns 232 … 351, rows 0 … 119), j = 6 at the left.
    for (const Centre c :
         {Centre{0, 524, 292}, Centre{3, 292, 60}, Centre{6, 60, 292}, Centre{9, 292, 524}}) {
        EXPECT_EQ(overlay[c.j].circle.x, c.x) << c.j;
        EXPECT_EQ(overlay[c.j].circle.y, c.y) << c.j;
        EXPECT_EQ(overlay[c.j].circle.radius, radius);
    }
    // Each sub-figure's two marks straddle its own centre, turned with its stage azimuth.
    for (int j = 0; j < 12; ++j) {
        const double cx = 232 * std::cos(j * std::numbers::pi / 6) + 232 + 59.5;
        const double cy = -232 * std::sin(j * std::numbers::pi / 6) + 232 + 59.5;
        ASSERT_EQ(overlay[j].marks.size(), 2u);
        const OverlayMark& a = overlay[j].marks[0];
        const OverlayMark& b = overlay[j].marks[1];
        EXPECT_NEAR((a.x + b.x) / 2, cx, 1e-3) << j;
        EXPECT_NEAR((a.y + b.y) / 2, cy, 1e-3) << j;
        EXPECT_NEAR(a.x - cx,
                    60 * std::sin(15 * std::numbers::pi / 180) * std::cos(j * std::numbers::pi / 6),
                    1e-3)
            << j;
    }
}

TEST(OverlayGeometry, AnimationMarksFollowTheShownFrame) {
    // C tilted 30° at azimuth 0; frame k turns the stage counter-clockwise by 5k degrees.
    ParameterRecord record = defaults();
    record.draw_mode = kAnimation;
    record.draw_range = kFullRange;
    record.image_size = 100;
    record.sampling_step = 5;
    record.c_axis_theta = 30;
    const DrawSetup setup = setup_for(record, 100, 72, 100);
    for (int k : {0, 18, 45, 71}) {
        const FigureOverlay overlay = figure_overlay(setup, k, 100);
        ASSERT_EQ(overlay.size(), 1u);
        ASSERT_EQ(overlay[0].marks.size(), 1u);
        const OverlayMark& mark = overlay[0].marks[0];
        const double angle = 5.0 * k * std::numbers::pi / 180;
        EXPECT_NEAR(mark.x, 49.5 + 50 * 0.5 * std::cos(angle), 1e-3) << k;
        EXPECT_NEAR(mark.y, 49.5 - 50 * 0.5 * std::sin(angle), 1e-3) << k;
    }
}

}  // namespace
