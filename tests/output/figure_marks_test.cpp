// The marks and the caption for slides: what the caption says of a worked record, and where
// on the picture the marks fall, at the smallest and the largest sides a figure is shown at.
#include "output/figure_marks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <utility>
#include <vector>

#include "optics/figure_computation.h"
#include "support/default_record.h"

namespace {

TEST(FigureCaption, TellsTheSettingsOfTheFrame) {
    struct Case {
        void (*edit)(ParameterRecord&);
        int mode;
        float step;
        int frame;
        const char* expected;
    };
    // clang-format off
    const Case cases[] = {
        {[](ParameterRecord& r) { r.no_test_plate = kFirstOrderPlate; r.stage_azimuth = 45; },
         kSingleImage, 0, 0, "ω 1.544  ε 1.553 · 30 µm · C 0°/0° · 530 nm plate · stage 45°"},
        {[](ParameterRecord& r) { r.axis_type = kBiaxial; },
         kSingleImage, 0, 0, "α 1.552  γ 1.587  2Vz 30° · 30 µm · Z 0°/0° · no plate · stage 0°"},
        {[](ParameterRecord& r) {
             r.no_test_plate = kQuartzWedge; r.wedge_retardation = 300; r.thickness = 60;
             r.c_axis_theta = 30; r.c_axis_phi = 20; },
         kSingleImage, 0, 0, "ω 1.544  ε 1.553 · 60 µm · C 30°/20° · quartz wedge 300 nm · stage 0°"},
        // Frame 9 of a 5° animation stands at 45°; the stage azimuth is the single image's.
        {[](ParameterRecord& r) { r.no_test_plate = kQuarterWavePlate; r.stage_azimuth = 10; },
         kAnimation, 5, 9, "ω 1.544  ε 1.553 · 30 µm · C 0°/0° · 147 nm plate · stage 45°"},
        // Every sub-image of the rotation image has its own azimuth, marked on it.
        {[](ParameterRecord&) {}, kRotationImage, 22.5, 0,
         "ω 1.544  ε 1.553 · 30 µm · C 0°/0° · no plate"},
    };
    // clang-format on
    for (const Case& c : cases) {
        ParameterRecord record = record_for(c.mode, 40, c.step);
        c.edit(record);
        EXPECT_EQ(figure_caption(prepare_draw(record), c.frame), c.expected);
    }
}

// A mid-grey picture of the given side, so that any mark shows as a change.
struct Picture {
    int side;
    std::vector<std::uint8_t> rgb;
    explicit Picture(int s) : side(s), rgb(std::size_t(3) * s * s, 128) {}
    // Whether any pixel within the square of half-width h around (x, y) changed.
    bool changed_near(double x, double y, double h) const {
        for (int row = std::max(0, int(y - h)); row <= std::min(side - 1, int(y + h)); ++row)
            for (int column = std::max(0, int(x - h)); column <= std::min(side - 1, int(x + h));
                 ++column)
                for (int q = 0; q < 3; ++q)
                    if (rgb[3 * (std::size_t(row) * side + column) + q] != 128)
                        return true;
        return false;
    }
    // The first row from the top in which any pixel changed (side when none did).
    int first_changed_row() const {
        for (int row = 0; row < side; ++row)
            for (std::size_t i = std::size_t(3) * row * side; i < std::size_t(3) * (row + 1) * side;
                 ++i)
                if (rgb[i] != 128)
                    return row;
        return side;
    }
};

TEST(FigureMarks, FallAtTheRimAndTheCornerAndLeaveTheFigureFree) {
    for (const int side : {200, 481, 1080}) {
        for (const int plate : {kNoPlate, kFirstOrderPlate}) {
            ParameterRecord record = record_for(kSingleImage, float(side));
            record.no_test_plate = plate;
            const DrawSetup setup = prepare_draw(record);
            Picture picture(side);
            draw_figure_marks(picture.rgb, side, setup, 0, {true, false});
            const double c = side / 2.0;
            const double d = side / 2.0 / std::sqrt(2.0);
            // P at the east and west ends of the horizontal diameter, A at north and south.
            for (const auto& [x, y] :
                 {std::pair{2.0, c}, {side - 3.0, c}, {c, 2.0}, {c, side - 3.0}})
                EXPECT_TRUE(picture.changed_near(x, y, 1)) << side << " at " << x << "," << y;
            // The middle of the figure, where the isogyres cross, and the SE and SW quadrants
            // stay free.
            EXPECT_FALSE(picture.changed_near(c, c, side * 0.2)) << side;
            EXPECT_FALSE(picture.changed_near(c + d * 0.8, c + d * 0.8, side * 0.05)) << side;
            EXPECT_FALSE(picture.changed_near(c - d * 0.8, c + d * 0.8, side * 0.05)) << side;
            // The accessory's slow direction crosses the rim towards the NE corner, when one
            // is in.
            EXPECT_EQ(picture.changed_near(c + d * 1.15, c - d * 1.15, 1), plate != kNoPlate)
                << side;
            EXPECT_FALSE(picture.changed_near(c - d * 1.15, c - d * 1.15, side * 0.03)) << side;
        }
    }
}

TEST(FigureMarks, CaptionTakesABandAtTheBottomOnly) {
    for (const int side : {200, 400, 1080}) {
        ParameterRecord record = record_for(kSingleImage, float(side));
        record.no_test_plate = kFirstOrderPlate;
        Picture picture(side);
        draw_figure_marks(picture.rgb, side, prepare_draw(record), 0, {false, true});
        const int band = side - picture.first_changed_row();
        // At least a legible line, at most an eighth of the picture.
        EXPECT_GE(band, 11) << side;
        EXPECT_LE(band, side / 8) << side;
        EXPECT_TRUE(picture.changed_near(side / 2.0, side - 1, 0)) << side;
    }
}

TEST(FigureMarks, RotationImageShowsEachAzimuthOnTheInnerSideOfItsSubImage) {
    ParameterRecord record = record_for(kRotationImage, 60, 45);
    const DrawSetup setup = prepare_draw(record);
    const int side = setup.canvas_side;
    Picture picture(side);
    draw_figure_marks(picture.rgb, side, setup, 0, {true, false});
    const double c = side / 2.0;
    const double ring = (side - setup.side) / 2.0;  // from the centre to a sub-image's centre
    for (int k = 0; k < 8; ++k) {
        const double a = k * std::numbers::pi / 4;
        const auto at = [&](double r) {
            return std::pair{c + r * std::cos(a), c - r * std::sin(a)};
        };
        // Something between the centre and the sub-image's inner edge, nothing on the
        // sub-image's own middle.
        bool labelled = false;
        for (double r = 0.3 * ring; r < ring - setup.side / 2.0; r += 1.0)
            labelled = labelled || picture.changed_near(at(r).first, at(r).second, 0);
        EXPECT_TRUE(labelled) << k;
        EXPECT_FALSE(picture.changed_near(at(ring).first, at(ring).second, setup.side * 0.2)) << k;
    }
}

}  // namespace
