// The marks and the caption for slides: what the caption says of a worked record, and where
// the marks fall at the smallest and the largest sides a figure is shown at.
#include "output/figure_marks.h"

#include <gtest/gtest.h>

#include <cmath>

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

TEST(FigureMarks, FallAtTheRimAndTheCornerAndLeaveTheFigureFree) {
    for (const int side : {200, 1080}) {
        for (const int plate : {kNoPlate, kFirstOrderPlate}) {
            ParameterRecord record = record_for(kSingleImage, float(side));
            record.no_test_plate = plate;
            std::vector<std::uint8_t> rgb(std::size_t(3) * side * side, 128);  // mid-grey
            draw_figure_marks(rgb, side, prepare_draw(record), 0, {true, false});
            // Whether any pixel within h of (x, y) changed.
            const auto changed = [&](double x, double y, double h) {
                for (int row = int(y - h); row <= int(y + h); ++row)
                    for (int column = int(x - h); column <= int(x + h); ++column)
                        if (rgb[3 * (std::size_t(row) * side + column)] != 128)
                            return true;
                return false;
            };
            const double c = side / 2.0;
            const double d = side / 2.0 / std::sqrt(2.0);
            // P at the east and west ends of the horizontal diameter, A at north and south.
            for (const auto& [x, y] :
                 {std::pair{2.0, c}, {side - 3.0, c}, {c, 2.0}, {c, side - 3.0}})
                EXPECT_TRUE(changed(x, y, 1)) << side << " at " << x << "," << y;
            // The middle, where the isogyres cross, and the southern quadrants stay free.
            EXPECT_FALSE(changed(c, c, side * 0.2)) << side;
            EXPECT_FALSE(changed(c + d * 0.8, c + d * 0.8, side * 0.05)) << side;
            EXPECT_FALSE(changed(c - d * 0.8, c + d * 0.8, side * 0.05)) << side;
            // The accessory's slow direction crosses the rim into the NE corner, if one is in.
            EXPECT_EQ(changed(c + d * 1.15, c - d * 1.15, 1), plate != kNoPlate) << side;
        }
    }
}

}  // namespace
