#include "render/preview_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "optics/rounding.h"
#include "render/figure_overlay.h"

namespace {

struct Centre {
    int x, y;
};

// The square covers left .. left + 5; its middle lies 3 pixels in from its corner.
Centre centre_of(const PreviewSquare& s) {
    return {s.left + kPreviewMarkSide / 2, s.top + kPreviewMarkSide / 2};
}

}  // namespace

TEST(PreviewGeometry, FieldOfViewRadius) {
    struct Case {
        float na, mean_index;
        int projection;
        int expected;
    };
    const float n_quartz = std::sqrt(1.544f * 1.553f);
    const Case cases[] = {
        // 75 × 0.65 / 1.5485 = 31.48
        {0.65f, n_quartz, kSineProjection, 31},
        // 75 × tan(asin(0.65 / 1.5485) / 2) = 16.50
        {0.65f, n_quartz, kWulffProjection, 17},
        // The whole hemisphere: both projections reach the white circle.
        {1.0f, 1.0f, kSineProjection, 75},
        {1.0f, 1.0f, kWulffProjection, 75},
        // 75 × 0.1 / 2.5 = 3; Wulff 75 × tan(asin(0.04) / 2) = 1.50
        {0.1f, 2.5f, kSineProjection, 3},
        {0.1f, 2.5f, kWulffProjection, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(
            round_half_away(field_of_view_radius(c.na, c.mean_index, c.projection, kPreviewRadius)),
            c.expected)
            << c.na << "/" << c.mean_index << " projection " << c.projection;
    }
}

TEST(PreviewGeometry, BiaxialDefaultsMarksInPaintingOrder) {
    ParameterRecord r{};
    set_default_parameters(r);
    r.axis_type = kBiaxial;
    const std::vector<PreviewSquare> marks = preview_axis_marks(r);
    ASSERT_EQ(marks.size(), 5u);
    struct Expected {
        PreviewColour colour;
        int x, y;
    };
    // A (15°, 0°): 75 sin 15° = 19.4 to the right; B the same to the left; X on the rim to
    // the right; Z at the centre; Y on the rim at the top. Y is painted last, over the rest.
    const Expected expected[] = {{PreviewColour::kYellow, 99, 80},
                                 {PreviewColour::kYellow, 61, 80},
                                 {PreviewColour::kOrange, 155, 80},
                                 {PreviewColour::kLightBlue, 80, 80},
                                 {PreviewColour::kRed, 80, 5}};
    for (size_t i = 0; i < marks.size(); ++i) {
        EXPECT_EQ(marks[i].colour, expected[i].colour) << i;
        EXPECT_EQ(centre_of(marks[i]).x, expected[i].x) << i;
        EXPECT_EQ(centre_of(marks[i]).y, expected[i].y) << i;
    }
}

TEST(PreviewGeometry, MarkPositionsInBothProjections) {
    struct Case {
        float theta, phi;
        int projection;
        int x, y;
    };
    const Case cases[] = {
        {0, 0, kSineProjection, 80, 80},     {0, 0, kWulffProjection, 80, 80},
        {90, 270, kSineProjection, 80, 155},  // on the white circle, at the bottom
        {90, 180, kWulffProjection, 5, 80},   // tan 45° = 1: also on the circle
        {60, 0, kWulffProjection, 123, 80},   // 75 tan 30° = 43.3
        {60, 0, kSineProjection, 145, 80},    // 75 sin 60° = 64.95
        {30, 45, kSineProjection, 107, 53},   // 37.5 × 0.7071 = 26.5 -> 27 both ways
        {30, 225, kSineProjection, 53, 107},  // halves round away from zero
    };
    for (const Case& c : cases) {
        const Centre got =
            centre_of(preview_axis_mark(PreviewColour::kYellow, c.theta, c.phi, c.projection));
        EXPECT_EQ(got.x, c.x) << c.theta << "," << c.phi << " projection " << c.projection;
        EXPECT_EQ(got.y, c.y) << c.theta << "," << c.phi << " projection " << c.projection;
    }
}

TEST(PreviewGeometry, UniaxialShowsOnlyC) {
    ParameterRecord r{};
    set_default_parameters(r);
    r.c_axis_theta = 90;
    r.c_axis_phi = 90;
    const std::vector<PreviewSquare> marks = preview_axis_marks(r);
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0].colour, PreviewColour::kYellow);
    EXPECT_EQ(centre_of(marks[0]).x, 80);
    EXPECT_EQ(centre_of(marks[0]).y, 5);
}

TEST(PreviewGeometry, LegendRows) {
    const std::vector<PreviewLegendEntry> uni = preview_legend(kUniaxial);
    ASSERT_EQ(uni.size(), 1u);
    EXPECT_EQ(uni[0].text, "C");
    EXPECT_EQ(uni[0].square.left, 170);
    EXPECT_EQ(uni[0].square.top, 144);
    EXPECT_EQ(uni[0].text_x, 181);
    EXPECT_EQ(uni[0].text_baseline, 150);

    const std::vector<PreviewLegendEntry> bi = preview_legend(kBiaxial);
    ASSERT_EQ(bi.size(), 4u);
    const struct {
        PreviewColour colour;
        int top;
        const char* text;
    } expected[] = {{PreviewColour::kYellow, 99, "A B"},
                    {PreviewColour::kOrange, 114, "X"},
                    {PreviewColour::kRed, 129, "Y"},
                    {PreviewColour::kLightBlue, 144, "Z"}};
    for (size_t i = 0; i < bi.size(); ++i) {
        EXPECT_EQ(bi[i].square.colour, expected[i].colour) << i;
        EXPECT_EQ(bi[i].square.left, 170) << i;
        EXPECT_EQ(bi[i].square.top, expected[i].top) << i;
        EXPECT_EQ(bi[i].text, expected[i].text) << i;
        EXPECT_EQ(bi[i].text_x, 181) << i;
        EXPECT_EQ(bi[i].text_baseline, expected[i].top + 6) << i;
    }
}
