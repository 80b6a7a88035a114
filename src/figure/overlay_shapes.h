// The pixels that the overlay's two shapes cover, shared by the window and the writers so
// that a saved picture carries exactly the marks the window shows.
#pragma once

#include <vector>

struct PixelPoint {
    int x;
    int y;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// The pixels of a circle outline by the midpoint rule with an integer decision value, in
// plotting order (eight per step; a pixel may repeat). Radius 0 is the centre alone.
std::vector<PixelPoint> circle_outline_points(int cx, int cy, int radius);
// The pixels strictly closer than r to (cx, cy), row by row.
std::vector<PixelPoint> disc_points(double cx, double cy, double r);
