#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "panels_fixture.h"

using panels_test::MainWindowPanels;

namespace {

struct Box {
    int min_x = 1 << 30, min_y = 1 << 30, max_x = -1, max_y = -1;
    int count = 0;
    int centre_x() const { return (min_x + max_x + 1) / 2; }
    int centre_y() const { return (min_y + max_y + 1) / 2; }
};

// 0xRRGGBB of a pixel of the preview's own picture.
std::uint32_t pixel(const Cairo::RefPtr<Cairo::ImageSurface>& s, int x, int y) {
    const unsigned char* row = s->get_data() + y * s->get_stride();
    return reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFF;
}

// The pixels of one colour within the columns x0 .. x1 - 1.
Box find(const Cairo::RefPtr<Cairo::ImageSurface>& s, std::uint32_t rgb, int x0, int x1, int y0 = 0,
         int y1 = 160) {
    s->flush();
    Box b;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (pixel(s, x, y) != rgb)
                continue;
            b.min_x = std::min(b.min_x, x);
            b.max_x = std::max(b.max_x, x);
            b.min_y = std::min(b.min_y, y);
            b.max_y = std::max(b.max_y, y);
            ++b.count;
        }
    }
    return b;
}

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kYellow = 0xFFFF00;
// A half channel is allocated as 0.5 × 65535 truncated = 32767 of 65535, which an 8-bit
// picture holds as 127.
constexpr std::uint32_t kOrange = 0xFF7F00;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kLightBlue = 0x7F7FFF;

// Circle and marks lie left of the legend column at x = 170.
constexpr int kDrawingEnd = 165;

}  // namespace

TEST_F(MainWindowPanels, PreviewOfTheUniaxialDefaults) {
    auto s = main->preview().surface();
    ASSERT_TRUE(s);
    EXPECT_EQ(s->get_width(), 220);
    EXPECT_EQ(s->get_height(), 160);
    const Box white = find(s, kWhite, 0, kDrawingEnd);
    EXPECT_EQ(white.min_x, 5);
    EXPECT_EQ(white.max_x, 155);
    EXPECT_EQ(white.min_y, 5);
    EXPECT_EQ(white.max_y, 155);
    const Box green = find(s, kGreen, 0, kDrawingEnd);
    EXPECT_EQ(green.max_x - green.min_x, 2 * 31);
    EXPECT_EQ(green.max_y - green.min_y, 2 * 31);
    const Box c = find(s, kYellow, 0, kDrawingEnd);
    EXPECT_EQ(c.count, 36);
    EXPECT_EQ(c.centre_x(), 80);
    EXPECT_EQ(c.centre_y(), 80);
    // The legend: one yellow square at (170, 144).
    const Box legend = find(s, kYellow, 165, 220);
    EXPECT_EQ(legend.min_x, 170);
    EXPECT_EQ(legend.min_y, 144);
    EXPECT_EQ(legend.count, 36);
    EXPECT_GT(find(s, kWhite, 181, 220, 130, 152).count, 0) << "legend text C";
}

TEST_F(MainWindowPanels, PreviewMarksOfTheBiaxialDefaults) {
    click(kCrystalKindButton);
    auto s = main->preview().surface();
    const struct {
        std::uint32_t colour;
        int x0, x1, x, y;
        const char* axis;
    } marks[] = {
        {kYellow, 81, kDrawingEnd, 99, 80, "A"},   {kYellow, 0, 80, 61, 80, "B"},
        {kOrange, 0, kDrawingEnd, 155, 80, "X"},   {kRed, 0, kDrawingEnd, 80, 5, "Y"},
        {kLightBlue, 0, kDrawingEnd, 80, 80, "Z"},
    };
    for (const auto& m : marks) {
        const Box b = find(s, m.colour, m.x0, m.x1);
        EXPECT_EQ(b.count, 36) << m.axis;
        EXPECT_EQ(b.centre_x(), m.x) << m.axis;
        EXPECT_EQ(b.centre_y(), m.y) << m.axis;
    }
    // Legend squares 15 pixels apart from y = 99.
    const struct {
        std::uint32_t colour;
        int top;
    } legend[] = {{kYellow, 99}, {kOrange, 114}, {kRed, 129}, {kLightBlue, 144}};
    for (const auto& l : legend) {
        const Box b = find(s, l.colour, 166, 220);
        EXPECT_EQ(b.min_x, 170);
        EXPECT_EQ(b.min_y, l.top);
        EXPECT_EQ(b.count, 36);
    }
}

TEST_F(MainWindowPanels, ProjectionButtonSwitchesProjectionAndGreenRadius) {
    EXPECT_EQ(parameters.projection_kind, kSineProjection);
    EXPECT_EQ(caption(main->preview().projection_button()), "コノスコープ投影(正弦投影)");
    EXPECT_EQ(main->preview().projection_button().get_tooltip_text(), "投影");
    const struct {
        int kind;
        const char* caption;
        int radius;
    } states[] = {{kWulffProjection, "ウルフ投影", 17},
                  {kSineProjection, "コノスコープ投影(正弦投影)", 31}};
    for (const auto& state : states) {
        main->preview().projection_button().clicked();
        gui_test::run_pending_events();
        EXPECT_EQ(parameters.projection_kind, state.kind);
        EXPECT_EQ(caption(main->preview().projection_button()), state.caption);
        const Box green = find(main->preview().surface(), kGreen, 0, kDrawingEnd);
        EXPECT_EQ(green.max_x - green.min_x, 2 * state.radius) << state.kind;
        EXPECT_EQ(green.centre_x(), 80);
        EXPECT_EQ(green.centre_y(), 80);
    }
}

TEST_F(MainWindowPanels, PreviewFollowsApertureAndOrientation) {
    // 75 × 1.0 / √(1.544 × 1.553) = 48.4
    main->other_parameters().aperture_spin().set_value(1.0);
    gui_test::run_pending_events();
    Box green = find(main->preview().surface(), kGreen, 0, kDrawingEnd);
    EXPECT_EQ(green.max_x - green.min_x, 2 * 48);

    // C at (90°, 270°) sits on the white circle at the bottom.
    orientation().c_theta_spin()->set_value(90);
    orientation().c_phi_spin()->set_value(270);
    gui_test::run_pending_events();
    const Box c = find(main->preview().surface(), kYellow, 0, kDrawingEnd);
    EXPECT_EQ(c.centre_x(), 80);
    EXPECT_EQ(c.centre_y(), 155);
}
