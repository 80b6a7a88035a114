// The accessories above the section: the colours they give, and the figures by which a
// student tells the optic sign.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "model/parameter_record.h"
#include "optics/figure_computation.h"
#include "support/default_record.h"
#include "support/scripted_progress.h"

namespace {

Figure draw(const DrawSetup& setup) {
    ScriptedProgress progress;
    return compute_figure(setup, progress).value_or(Figure{});
}

// FNV-1a over the bytes of every frame.
std::uint64_t digest(const Figure& figure) {
    std::uint64_t h = 14695981039346656037ull;
    for (const std::uint8_t b : figure.pixels)
        h = (h ^ b) * 1099511628211ull;
    return h;
}

// Taken from the program before the plate colours were mended: not a byte may change.
TEST(Accessories, FiguresWithoutAPlateKeepEveryByte) {
    const struct {
        int axis_type, range;
        float thickness;
        bool antialias;
        std::uint64_t expected;
    } cases[] = {
        {kUniaxial, kMicroscopeField, 30, false, 0x2ecb4bb00a7d8a4dull},
        {kBiaxial, kMicroscopeField, 30, false, 0x40199bc826d2315dull},
        {kBiaxial, kFullRange, 3000, false, 0x398ecef251fb8b5dull},
        {kUniaxial, kFullRange, 3000, true, 0x9d61b44d9068b911ull},
    };
    for (const auto& c : cases) {
        ParameterRecord record = record_for(kSingleImage, 160);
        record.axis_type = c.axis_type;
        record.draw_range = c.range;
        record.thickness = c.thickness;
        DrawSetup setup = prepare_draw(record);
        setup.antialias = c.antialias;
        EXPECT_EQ(digest(draw(setup)), c.expected) << c.axis_type << c.range << c.antialias;
    }
}

// Pixel sums R + G + B along a diagonal from the centre out (even side).
std::vector<int> along(const Figure& f, bool north_east) {
    const int half = f.side / 2;
    std::vector<int> out;
    for (int j = 0; std::sqrt(2.0) * (j + 0.5) <= half - 1; ++j) {
        const int column = north_east ? half + j : half - 1 - j;
        const std::uint8_t* p = &f.pixels[3 * (std::size_t(half - 1 - j) * f.side + column)];
        out.push_back(p[0] + p[1] + p[2]);
    }
    return out;
}
int darkest(const std::vector<int>& v) {
    return *std::min_element(v.begin(), v.end());
}

// Δn ±0.05: the rings pass 147 nm well inside the field.
Figure uniaxial(bool positive, int accessory, float thickness = 30, float wedge = 0) {
    ParameterRecord r = record_for(kSingleImage, 160);
    (positive ? r.epsilon : r.omega) = 1.594f;
    r.thickness = thickness;
    r.no_test_plate = accessory;
    r.wedge_retardation = wedge;
    return draw(prepare_draw(r));
}

// Where the section's slow vibration crosses the plate's (NW–SE for a positive crystal,
// whose slow vibration is radial; NE–SW for a negative one) the retardations subtract.
TEST(Accessories, PlatesShowTheSignOnTheirDiagonals) {
    for (const bool positive : {true, false}) {
        const Figure quarter = uniaxial(positive, kQuarterWavePlate);
        EXPECT_LT(darkest(along(quarter, !positive)), 40) << "black dots, " << positive;
        EXPECT_GT(darkest(along(quarter, positive)), 150) << "none, " << positive;
        // The isogyres carry the plate's first-order grey instead of black.
        const std::uint8_t* isogyre = &quarter.pixels[3 * (10 * 160 + 80)];
        const auto [low, high] = std::minmax({isogyre[0], isogyre[1], isogyre[2]});
        EXPECT_GT(low, 100) << positive;
        EXPECT_LT(high - low, 40) << positive;
        // The first-order plate: blue of 530 + 100 nm where they add, yellow where not.
        const Figure first = uniaxial(positive, kFirstOrderPlate);
        const std::uint8_t* ne = &first.pixels[3 * (54 * 160 + 105)];
        const std::uint8_t* nw = &first.pixels[3 * (54 * 160 + 54)];
        EXPECT_GT((positive ? ne : nw)[2], (positive ? ne : nw)[0] + 30) << positive;
        EXPECT_GT((positive ? nw : ne)[0], (positive ? nw : ne)[2] + 30) << positive;
    }
}

TEST(Accessories, WedgeAtZeroIsNoPlateAndItsBlackMovesOutAsItIsPushedIn) {
    EXPECT_EQ(digest(uniaxial(true, kQuartzWedge, 100)), digest(uniaxial(true, kNoPlate, 100)));
    long previous = 0;
    for (const float setting : {100.0f, 200.0f, 300.0f, 400.0f}) {
        const Figure f = uniaxial(true, kQuartzWedge, 100, setting);
        const std::vector<int> subtract = along(f, false);
        const auto black = std::min_element(subtract.begin(), subtract.end());
        EXPECT_LT(*black, 40) << setting;
        EXPECT_GT(black - subtract.begin(), previous) << setting;
        EXPECT_GT(darkest(along(f, true)), 150) << setting;
        previous = black - subtract.begin();
    }
}

}  // namespace
