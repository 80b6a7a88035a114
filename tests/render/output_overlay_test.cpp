#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "model/derived_values.h"
#include "model/parameter_record.h"
#include "optics/figure_computation.h"
#include "optics/optic_axes.h"
#include "render/frame_rendering.h"
#include "support/movie_test_support.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A figure whose frames are all mid grey inside, so the overlay colours stand out.
Figure grey_figure(const ParameterRecord& record) {
    Figure figure;
    figure.setup = prepare_draw(record);
    figure.side = figure.setup.canvas_side;
    figure.frames = record.draw_mode == kRotationImage ? 1 : figure.setup.frame_count;
    figure.pixels.assign(figure.frame_bytes() * figure.frames, 128);
    return figure;
}

ParameterRecord record_for(int draw_mode, int axis_type, float image_size) {
    ParameterRecord record{};
    set_default_parameters(record);
    record.draw_mode = draw_mode;
    record.axis_type = axis_type;
    record.draw_range = kFullRange;
    image_size_field(record, draw_mode) = image_size;
    update_derived_fields(record);
    return record;
}

bool has_colour(const Bytes& b, int side, int x, int y, std::uint8_t r, std::uint8_t g,
                std::uint8_t bl) {
    const std::uint8_t* p = &b[(std::size_t(y) * side + x) * 3];
    return p[0] == r && p[1] == g && p[2] == bl;
}
bool green(const Bytes& b, int side, int x, int y) {
    return has_colour(b, side, x, y, 0, 255, 0);
}
bool yellow(const Bytes& b, int side, int x, int y) {
    return has_colour(b, side, x, y, 255, 255, 0);
}

// 8-connected components of the pixels for which the predicate holds, with their centroids.
template <typename Pred>
std::vector<std::pair<double, double>> components(const Bytes& b, int side, Pred pred) {
    std::vector<int> label(std::size_t(side) * side, -1);
    std::vector<std::pair<double, double>> centroids;
    for (int y0 = 0; y0 < side; ++y0) {
        for (int x0 = 0; x0 < side; ++x0) {
            if (!pred(b, side, x0, y0) || label[std::size_t(y0) * side + x0] >= 0)
                continue;
            const int id = int(centroids.size());
            double sx = 0, sy = 0;
            int n = 0;
            std::vector<std::pair<int, int>> stack{{x0, y0}};
            label[std::size_t(y0) * side + x0] = id;
            while (!stack.empty()) {
                auto [x, y] = stack.back();
                stack.pop_back();
                sx += x;
                sy += y;
                ++n;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = x + dx, ny = y + dy;
                        if (nx < 0 || ny < 0 || nx >= side || ny >= side)
                            continue;
                        int& l = label[std::size_t(ny) * side + nx];
                        if (l >= 0 || !pred(b, side, nx, ny))
                            continue;
                        l = id;
                        stack.emplace_back(nx, ny);
                    }
            }
            centroids.emplace_back(sx / n, sy / n);
        }
    }
    return centroids;
}

TEST(OutputOverlay, MicroscopeFieldGetsNoOverlay) {
    ParameterRecord record = record_for(kSingleImage, kUniaxial, 200);
    record.draw_range = kMicroscopeField;
    const Figure figure = grey_figure(record);
    EXPECT_EQ(render_still(figure, 0, identity_tones()),
              display_frame(figure, 0, identity_tones()));
}

TEST(OutputOverlay, SingleUniaxialFigureHasTheFieldCircleAndOneCentredMark) {
    // N = 200, NA 0.65, ω 1.544, ε 1.553: R = 0.65 / √(1.544 · 1.553) · 100 ≈ 41.98 → 42 in
    // the sine projection; in the Wulff projection R = 100 · tan(asin(0.4198) / 2) ≈ 21.9 → 22.
    struct Case {
        int projection;
        int radius;
    };
    for (const Case& c : {Case{kSineProjection, 42}, Case{kWulffProjection, 22}}) {
        ParameterRecord record = record_for(kSingleImage, kUniaxial, 200);
        record.projection_kind = c.projection;
        const Figure figure = grey_figure(record);
        const Bytes still = render_still(figure, 0, identity_tones());
        // The circle's centre is (N − 1)/2 = 99.5 rounded half away: 100.
        for (auto [x, y] : {std::pair{100 + c.radius, 100}, std::pair{100 - c.radius, 100},
                            std::pair{100, 100 + c.radius}, std::pair{100, 100 - c.radius}})
            EXPECT_TRUE(green(still, 200, x, y)) << c.radius << " at " << x << "," << y;
        EXPECT_FALSE(green(still, 200, 100 + c.radius - 2, 100));
        EXPECT_FALSE(green(still, 200, 100 + c.radius + 2, 100));

        // C vertical: one disc of radius 2 about (99.5, 99.5), which holds 12 pixels.
        int count = 0;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x)
                count += yellow(still, 200, x, y);
        EXPECT_EQ(count, 12);
        const auto marks = components(still, 200, yellow);
        ASSERT_EQ(marks.size(), 1u);
        EXPECT_DOUBLE_EQ(marks[0].first, 99.5);
        EXPECT_DOUBLE_EQ(marks[0].second, 99.5);
    }
}

TEST(OutputOverlay, RotationImageMarksEverySubFigure) {
    const ParameterRecord record = record_for(kRotationImage, kBiaxial, 50);  // 30° steps
    const Figure figure = grey_figure(record);
    ASSERT_EQ(figure.setup.frame_count, 12);
    const Bytes still = render_still(figure, 0, identity_tones());
    EXPECT_EQ(components(still, figure.side, green).size(), 12u);
    const auto marks = components(still, figure.side, yellow);
    EXPECT_EQ(marks.size(), 24u);
    // Sub-figure 0 sits to the right of the canvas centre; its marks are those of frame 0.
    const double rho = (figure.setup.canvas_side - 50) * 0.5;
    const double cx = 2 * rho + 24.5, cy = rho + 24.5;
    for (const ProjectedAxis& axis : projected_optic_axes(figure.setup, 0)) {
        const double x = cx + 25 * axis.x, y = cy - 25 * axis.y;
        bool found = false;
        for (const auto& [mx, my] : marks)
            found |= std::hypot(mx - x, my - y) < 0.5;
        EXPECT_TRUE(found) << x << "," << y;
    }
}

TEST(OutputOverlay, AnimationFrameGetsItsOwnMarksAtEverySide) {
    ParameterRecord record = record_for(kAnimation, kUniaxial, 100);
    record.c_axis_theta = 30.0f;
    record.c_axis_phi = 0.0f;
    const Figure figure = grey_figure(record);
    ASSERT_EQ(figure.setup.frame_count, 72);
    // Frame 0 has no stage rotation: C at θ = 30°, φ = 0 projects to (sin 30°, 0) = (0.5, 0).
    for (int side : {100, 240}) {
        const Bytes frame = render_movie_frame(figure, 0, identity_tones(), side);
        const auto marks = components(frame, side, yellow);
        ASSERT_EQ(marks.size(), 1u) << side;
        const double centre = (side - 1) * 0.5;
        EXPECT_NEAR(marks[0].first, centre + (side / 2) * 0.5, 0.5) << side;
        EXPECT_NEAR(marks[0].second, centre, 0.5) << side;
    }
    for (int k : {9, 18, 40}) {
        const Bytes frame = render_movie_frame(figure, k, identity_tones(), 240);
        const auto marks = components(frame, 240, yellow);
        ASSERT_EQ(marks.size(), 1u);
        const ProjectedAxis axis = projected_optic_axes(figure.setup, k).at(0);
        EXPECT_NEAR(marks[0].first, 119.5 + 120 * axis.x, 0.5) << k;
        EXPECT_NEAR(marks[0].second, 119.5 - 120 * axis.y, 0.5) << k;
        // Stage rotation keeps the axis at 30° from the microscope axis.
        EXPECT_NEAR(std::hypot(axis.x, axis.y), 0.5, 1e-6) << k;
    }
}

}  // namespace
