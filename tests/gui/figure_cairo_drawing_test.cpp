#include "ui/cairo_drawing.h"

#include <gtest/gtest.h>

#include <cairomm/surface.h>

#include <cstdint>
#include <set>
#include <utility>

namespace {

using Pixels = std::set<std::pair<int, int>>;

struct Canvas {
    Canvas() : surface(Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, 12, 12)) {
        cr = Cairo::Context::create(surface);
        cr->set_source_rgb(1, 1, 1);
        cr->paint();
        set_colour(cr, 0, 0, 1);
    }
    std::uint32_t at(int x, int y) {
        surface->flush();
        return reinterpret_cast<const std::uint32_t*>(surface->get_data() +
                                                      y * surface->get_stride())[x] &
               0xffffff;
    }
    // The pixels that are no longer white.
    Pixels painted() {
        Pixels pixels;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
                if (at(x, y) != 0xffffff)
                    pixels.insert({x, y});
        return pixels;
    }
    Cairo::RefPtr<Cairo::ImageSurface> surface;
    Cairo::RefPtr<Cairo::Context> cr;
};

TEST(CairoDrawing, DiscIsItsPointSetInWholePixels) {
    Canvas canvas;
    draw_disc(canvas.cr, 5.0f, 5.0f, 2.0f);
    // Strictly inside radius 2 of an integer centre: the 3 × 3 block.
    Pixels block;
    for (int y = 4; y <= 6; ++y)
        for (int x = 4; x <= 6; ++x)
            block.insert({x, y});
    EXPECT_EQ(canvas.painted(), block);
    EXPECT_EQ(canvas.at(5, 5), 0x0000ffu) << "pure colour, no blending at the edges";
}

TEST(CairoDrawing, RectanglesCoverTheirCornersInEitherOrder) {
    Canvas filled;
    draw_rectangle(filled.cr, 6, 1, 2, 3, true);  // corner (2, 1), 4 × 2 pixels
    Pixels expected;
    for (int y = 1; y <= 2; ++y)
        for (int x = 2; x <= 5; ++x)
            expected.insert({x, y});
    EXPECT_EQ(filled.painted(), expected);

    Canvas outline;
    draw_rectangle(outline.cr, 1, 1, 4, 3, false);
    // One pixel wide through the corner pixels (1, 1) and (4, 3): the frame of a 4 × 3 block.
    Pixels frame;
    for (int x = 1; x <= 4; ++x)
        frame.insert({{x, 1}, {x, 3}});
    frame.insert({{1, 2}, {4, 2}});
    EXPECT_EQ(outline.painted(), frame);
}

TEST(CairoDrawing, CircleOutlineAndFilledCircle) {
    Canvas outline;
    draw_circle(outline.cr, 5, 5, 3, false);
    const Pixels ring = outline.painted();
    for (const auto& p : {std::pair{5, 2}, std::pair{5, 8}, std::pair{2, 5}, std::pair{8, 5}})
        EXPECT_TRUE(ring.contains(p)) << p.first << "," << p.second;
    EXPECT_FALSE(ring.contains({5, 5}));
    for (const auto& [x, y] : ring) {
        const double d = std::hypot(x - 5, y - 5);
        EXPECT_GT(d, 1.9) << x << "," << y;
        EXPECT_LT(d, 4.0) << x << "," << y;
    }

    Canvas disc;
    draw_circle(disc.cr, 5, 5, 3, true);
    const Pixels inside = disc.painted();
    EXPECT_TRUE(inside.contains({5, 5}));
    EXPECT_TRUE(inside.contains({4, 4}));
    EXPECT_FALSE(inside.contains({8, 8}));
    EXPECT_FALSE(inside.contains({1, 1}));
}

TEST(CairoDrawing, ColourIsCarriedAtSixteenBits) {
    Canvas canvas;
    // 0.5 × 65535 truncates to 32767, which is 127 in eight bits (0.5 itself would be 128).
    set_colour(canvas.cr, 0.5, 1.0, 0.0);
    draw_rectangle(canvas.cr, 0, 0, 2, 2, true);
    EXPECT_EQ(canvas.at(0, 0), 0x7fff00u);
}

}  // namespace
