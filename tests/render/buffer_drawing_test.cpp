#include "render/buffer_drawing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>
#include <vector>

namespace {

constexpr RgbColour kMark{10, 20, 30};

struct Canvas {
    int width, height;
    std::vector<std::uint8_t> bytes;
    Canvas(int w, int h) : width(w), height(h), bytes(std::size_t(3) * w * h, 0) {}
    bool marked(int x, int y) const {
        const std::size_t at = (std::size_t(y) * width + x) * 3;
        return bytes[at] == kMark.r && bytes[at + 1] == kMark.g && bytes[at + 2] == kMark.b;
    }
    std::set<std::pair<int, int>> marked_points() const {
        std::set<std::pair<int, int>> points;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (marked(x, y))
                    points.emplace(x, y);
        return points;
    }
};

TEST(BufferDrawing, PlotEightSetsTheEightSymmetricPoints) {
    Canvas canvas(20, 20);
    plot_eight(canvas.bytes, 20, 20, kMark, 2, 5, 10, 9);
    const std::set<std::pair<int, int>> expected = {{12, 14}, {15, 11}, {8, 14}, {15, 7},
                                                    {12, 4},  {5, 11},  {8, 4},  {5, 7}};
    EXPECT_EQ(canvas.marked_points(), expected);
}

TEST(BufferDrawing, CircleOfRadiusZeroIsTheCentrePixel) {
    Canvas canvas(9, 9);
    draw_circle_outline(canvas.bytes, 9, 9, kMark, 4, 3, 0);
    EXPECT_EQ(canvas.marked_points(), (std::set<std::pair<int, int>>{{4, 3}}));
}

TEST(BufferDrawing, CircleOutlineLiesOnTheRadiusAndIsClosed) {
    for (int radius : {1, 2, 5, 17, 42}) {
        const int side = 2 * radius + 11;
        const int c = side / 2;
        Canvas canvas(side, side);
        draw_circle_outline(canvas.bytes, side, side, kMark, c, c, radius);
        const auto points = canvas.marked_points();
        for (const auto& [x, y] : points) {
            const double distance = std::hypot(x - c, y - c);
            EXPECT_NEAR(distance, radius, 0.75) << "radius " << radius << " at " << x << "," << y;
            // Symmetric under the eight reflections of the square.
            EXPECT_TRUE(points.count({2 * c - x, y}) && points.count({x, 2 * c - y}) &&
                        points.count({c + (y - c), c + (x - c)}));
        }
        // Every column and every row the circle spans holds a pixel of it: no gaps.
        for (int x = c - radius; x <= c + radius; ++x) {
            bool column = false, row = false;
            for (const auto& [px, py] : points) {
                column |= px == x;
                row |= py == x;
            }
            EXPECT_TRUE(column && row) << "radius " << radius << " line " << x;
        }
        EXPECT_TRUE(points.count({c + radius, c}) && points.count({c, c - radius}));
    }
}

TEST(BufferDrawing, DiscOfRadiusTwoHasNineToFourteenPoints) {
    struct Case {
        double cx, cy;
        std::size_t points;
    };
    // Counted by hand from (x − cx)² + (y − cy)² < 4.
    const Case worked[] = {{5.0, 5.0, 9}, {5.5, 5.5, 12}, {5.5, 5.0, 12}, {5.0, 5.5, 12}};
    for (const Case& c : worked)
        EXPECT_EQ(disc_points(c.cx, c.cy, 2.0).size(), c.points) << c.cx << "," << c.cy;

    std::size_t smallest = 100, largest = 0;
    for (int i = 0; i < 20; ++i) {
        for (int j = 0; j < 20; ++j) {
            const double cx = 7 + i / 20.0, cy = 3 + j / 20.0;
            const auto points = disc_points(cx, cy, 2.0);
            smallest = std::min(smallest, points.size());
            largest = std::max(largest, points.size());
            for (const auto& [x, y] : points)
                EXPECT_LT(std::hypot(x - cx, y - cy), 2.0);
        }
    }
    EXPECT_EQ(smallest, 9u);
    EXPECT_GE(largest, 13u);
    EXPECT_LE(largest, 14u);
}

TEST(BufferDrawing, ShapesOverTheEdgeKeepOnlyTheirInsidePixels) {
    // The buffer has exactly W × H pixels, so a write outside would touch other memory or
    // wrap into the next row; neither may happen.
    Canvas canvas(6, 4);
    draw_disc(canvas.bytes, 6, 4, kMark, 0.2, 0.4, 2.0);
    const std::set<std::pair<int, int>> corner = {{0, 0}, {1, 0}, {0, 1}, {1, 1},
                                                  {2, 0}, {2, 1}, {0, 2}, {1, 2}};
    EXPECT_EQ(canvas.marked_points(), corner);

    Canvas right(6, 4);
    draw_disc(right.bytes, 6, 4, kMark, 5.0, 3.0, 2.0);
    const std::set<std::pair<int, int>> inside = {{4, 2}, {5, 2}, {4, 3}, {5, 3}};
    EXPECT_EQ(right.marked_points(), inside);

    Canvas ring(5, 5);
    draw_circle_outline(ring.bytes, 5, 5, kMark, 0, 0, 3);
    for (const auto& [x, y] : ring.marked_points())
        EXPECT_NEAR(std::hypot(x, y), 3.0, 0.75);
    EXPECT_TRUE(ring.marked(3, 0) && ring.marked(0, 3));

    Canvas untouched(4, 4);
    draw_disc(untouched.bytes, 4, 4, kMark, -10.0, 2.0, 2.0);
    draw_circle_outline(untouched.bytes, 4, 4, kMark, 50, 50, 3);
    EXPECT_TRUE(untouched.marked_points().empty());
}

}  // namespace
