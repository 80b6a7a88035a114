// The caption for slides: what it says of worked records.
#include "output/figure_marks.h"

#include <gtest/gtest.h>

#include "optics/figure_computation.h"
#include "support/default_record.h"

namespace {

TEST(FigureCaption, TellsTheSettingsOfTheFrame) {
    struct Case {
        int mode, axis_type, plate;
        float step, azimuth;
        int frame;
        const char* expected;
    };
    // clang-format off
    const Case cases[] = {
        {kSingleImage, kUniaxial, kFirstOrderPlate, 0, 45, 0,
         "ω 1.544  ε 1.553 · 30 µm · C 0°/0° · 530 nm plate · stage 45°"},
        {kSingleImage, kBiaxial, kNoPlate, 0, 0, 0,
         "α 1.552  γ 1.587  2Vz 30° · 30 µm · Z 0°/0° · no plate · stage 0°"},
        // Frame 9 of a 5° animation stands at 45°, whatever the single image's azimuth.
        {kAnimation, kUniaxial, kQuarterWavePlate, 5, 10, 9,
         "ω 1.544  ε 1.553 · 30 µm · C 0°/0° · 147 nm plate · stage 45°"},
        // Each sub-image of the rotation image has its own azimuth, marked on it instead.
        {kRotationImage, kUniaxial, kNoPlate, 22.5, 0, 0, "ω 1.544  ε 1.553 · 30 µm · C 0°/0° · no plate"},
    };
    // clang-format on
    for (const Case& c : cases) {
        ParameterRecord record = record_for(c.mode, 40, c.step);
        record.axis_type = c.axis_type;
        record.no_test_plate = c.plate;
        record.stage_azimuth = c.azimuth;
        EXPECT_EQ(figure_caption(prepare_draw(record), c.frame), c.expected);
    }
}

}  // namespace
