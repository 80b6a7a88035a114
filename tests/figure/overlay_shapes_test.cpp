#include "figure/overlay_shapes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

namespace {

std::set<std::pair<int, int>> unique_pixels(const std::vector<PixelPoint>& points) {
    std::set<std::pair<int, int>> pixels;
    for (const PixelPoint& p : points)
        pixels.insert({p.x, p.y});
    return pixels;
}

TEST(OverlayShapes, CircleOfRadiusZeroIsItsCentre) {
    const auto points = circle_outline_points(7, -3, 0);
    EXPECT_EQ(points.size(), 8u);  // the last plot of the loop, all on one pixel
    EXPECT_EQ(unique_pixels(points), (std::set<std::pair<int, int>>{{7, -3}}));
}

TEST(OverlayShapes, CircleOfRadiusTwoByHand) {
    // Worked through the midpoint steps: (0, 2) with d = -1, then (1, 2) with d = 5; the
    // loop ends at x = 2, y = 1.
    const std::set<std::pair<int, int>> expected = {{10, 22}, {12, 20}, {10, 18}, {8, 20},
                                                    {11, 22}, {12, 21}, {9, 22},  {12, 19},
                                                    {11, 18}, {8, 21},  {9, 18},  {8, 19}};
    EXPECT_EQ(unique_pixels(circle_outline_points(10, 20, 2)), expected);
}

TEST(OverlayShapes, CircleOutlineHugsItsRadius) {
    for (int radius : {1, 5, 42, 100}) {
        const auto pixels = unique_pixels(circle_outline_points(0, 0, radius));
        for (const auto& [x, y] : pixels) {
            const double distance = std::hypot(x, y);
            EXPECT_LT(std::abs(distance - radius), 0.75) << radius << ": " << x << "," << y;
            // Eightfold symmetry of a circle about its centre.
            EXPECT_TRUE(pixels.contains({y, x}));
            EXPECT_TRUE(pixels.contains({-x, y}));
            EXPECT_TRUE(pixels.contains({x, -y}));
        }
        // The outline has no gap: every column strictly inside the circle is crossed above
        // the centre (and by symmetry below it).
        for (int x = -radius + 1; x < radius; ++x) {
            const bool top = std::any_of(pixels.begin(), pixels.end(), [&](const auto& p) {
                return p.first == x && p.second > 0;
            });
            EXPECT_TRUE(top) << radius << " column " << x;
        }
    }
}

TEST(OverlayShapes, DiscOfRadiusTwoHasNineToFourteenPoints) {
    struct Case {
        double cx, cy;
        std::size_t count;
    };
    // Counted by hand: at an integer centre the 3 × 3 block (the four points at distance 2
    // are excluded: the test is strict); at half-integer centres a 4 × 4 block minus its
    // corners, or 4 × 3; a centre a little off the grid reaches 14.
    for (const Case c : {Case{5, 5, 9}, Case{5.5, 5.5, 12}, Case{5.5, 5, 12}, Case{5, 5.5, 12},
                         Case{5.25, 5.25, 13}, Case{5.2, 5.4, 14}}) {
        const auto points = disc_points(c.cx, c.cy, 2.0);
        EXPECT_EQ(points.size(), c.count) << c.cx << "," << c.cy;
        EXPECT_EQ(unique_pixels(points).size(), points.size());
        for (const PixelPoint& p : points)
            EXPECT_LT(std::hypot(p.x - c.cx, p.y - c.cy), 2.0);
    }
}

}  // namespace
