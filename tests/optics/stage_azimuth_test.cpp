// The single image with the stage turned to an azimuth is the animation's frame at that
// azimuth: the same light at every pixel, only normalised to its own brightest pixel instead
// of the brightest frame of the turn.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "model/progress_sink.h"
#include "optics/crystal_model.h"
#include "optics/figure_computation.h"
#include "optics/ray_geometry.h"
#include "support/default_record.h"

namespace {

constexpr int kSide = 48;

struct Turned {
    const char* name;
    void (*crystal)(ParameterRecord&);
    float step;  // the animation's
    int frame;   // at azimuth frame × step
};

// clang-format off
const Turned kCases[] = {
    {"uniaxial, axis tilted 40", [](ParameterRecord& r) { r.c_axis_theta = 40; }, 10, 9},
    {"uniaxial, 530 plate", [](ParameterRecord& r) {
         r.c_axis_theta = 25; r.c_axis_phi = 30; r.no_test_plate = kFirstOrderPlate; }, 5, 9},
    {"biaxial, quarter-wave plate", [](ParameterRecord& r) {
         r.axis_type = kBiaxial; r.no_test_plate = kQuarterWavePlate; }, 10, 4},
};
// clang-format on

Figure draw(const ParameterRecord& record) {
    SilentProgress progress;
    std::optional<Figure> figure = compute_figure(prepare_draw(record), progress, 2);
    EXPECT_TRUE(figure.has_value());
    return figure ? std::move(*figure) : Figure{};
}

std::vector<float> linear_values(const ParameterRecord& record, int frame) {
    const DrawSetup setup = prepare_draw(record);
    const auto model = make_crystal_model(setup);
    model->orient_for_frame(frame);
    std::vector<float> values(std::size_t(3) * kSide * kSide);
    compute_frame(setup, *model, values);
    return values;
}

TEST(StageAzimuth, SingleImageIsTheAnimationFrameAtThatAzimuth) {
    for (const Turned& c : kCases) {
        ParameterRecord animation = record_for(kAnimation, kSide, c.step);
        c.crystal(animation);
        ParameterRecord single = animation;
        single.draw_mode = kSingleImage;
        single.stage_azimuth = c.step * float(c.frame);

        const std::vector<float> turned = linear_values(single, 0);
        const std::vector<float> frame = linear_values(animation, c.frame);
        ASSERT_EQ(turned.size(), frame.size());
        for (std::size_t i = 0; i < turned.size(); ++i)
            ASSERT_NEAR(turned[i], frame[i], 1e-6f * std::max(1.0f, std::abs(frame[i])))
                << c.name << " value " << i;
        // Not the unturned figure: the turn is seen.
        EXPECT_NE(turned, linear_values(animation, 0)) << c.name;

        // Stored levels: the single image is encoded against its own brightest value m, the
        // animation's frame against the brightest of all frames Vmax; scaling the first by
        // (m / Vmax)^(1/G) gives the second, up to the rounding of the two encodings.
        const Figure one = draw(single);
        const Figure all = draw(animation);
        const double m = 1.0 / one.reference_light;
        const double vmax = 1.0 / all.reference_light;
        EXPECT_LT(m, vmax * (1 + 1e-6)) << c.name;
        const double factor = std::pow(m / vmax, 1.0 / double(kEncodingGamma));
        const std::span<const std::uint8_t> levels = all.frame(c.frame);
        int top = 0;
        for (std::size_t i = 0; i < levels.size(); ++i) {
            const int own = one.pixels[i];
            if (own == kEmptyLevel) {
                ASSERT_EQ(levels[i], kEmptyLevel) << c.name;
                continue;
            }
            top = std::max(top, own);
            ASSERT_NEAR(levels[i], own * factor, 1.0) << c.name << " byte " << i;
        }
        EXPECT_EQ(top, 254) << c.name;  // its own brightest pixel takes the top level
    }
}

}  // namespace
