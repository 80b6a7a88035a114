// The single image with the stage turned to an azimuth is the animation's frame at that
// azimuth: the same light at every pixel, normalised to its own brightest pixel instead of
// the brightest frame of the turn.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "model/progress_sink.h"
#include "optics/figure_computation.h"
#include "support/default_record.h"

namespace {

Figure draw(const ParameterRecord& record) {
    SilentProgress progress;
    std::optional<Figure> figure = compute_figure(prepare_draw(record), progress, 2);
    EXPECT_TRUE(figure.has_value());
    return figure ? std::move(*figure) : Figure{};
}

TEST(StageAzimuth, SingleImageIsTheAnimationFrameAtThatAzimuthNormalisedToItself) {
    struct Case {
        int axis_type, plate;
        float step;
        int frame;  // at azimuth frame × step
    };
    for (const Case c :
         {Case{kUniaxial, kFirstOrderPlate, 5, 9}, Case{kBiaxial, kNoPlate, 10, 4}}) {
        ParameterRecord animation = record_for(kAnimation, 48, c.step);
        animation.axis_type = c.axis_type;
        animation.no_test_plate = c.plate;
        animation.c_axis_theta = 40;  // an inclined axis: the frames differ in brightness
        ParameterRecord single = animation;
        single.draw_mode = kSingleImage;
        single.stage_azimuth = c.step * float(c.frame);
        const Figure one = draw(single);
        const Figure all = draw(animation);
        // Levels are 254 (v / m)^(1/G) against the image's own brightest value m, and against
        // the turn's brightest Vmax in the animation: the same v gives the animation's level
        // as the single image's times (m / Vmax)^(1/G), up to the two roundings.
        const double m = 1.0 / one.reference_light;
        const double vmax = 1.0 / all.reference_light;
        const double factor = std::pow(m / vmax, 1.0 / double(kEncodingGamma));
        const std::span<const std::uint8_t> levels = all.frame(c.frame);
        int top = 0;
        for (std::size_t i = 0; i < levels.size(); ++i) {
            const int own = one.pixels[i];
            top = own == kEmptyLevel ? top : std::max(top, own);
            ASSERT_NEAR(levels[i], own == kEmptyLevel ? own : own * factor, 1.0) << i;
        }
        EXPECT_EQ(top, 254);  // its own brightest pixel takes the top level
        single.stage_azimuth = 0;
        EXPECT_NE(one.pixels, draw(single).pixels);  // the turn is seen
    }
}

}  // namespace
