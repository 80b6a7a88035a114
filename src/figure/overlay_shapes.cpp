#include "figure/overlay_shapes.h"

#include <cmath>

std::vector<PixelPoint> circle_outline_points(int cx, int cy, int radius) {
    std::vector<PixelPoint> points;
    const auto plot_eight = [&](int x, int y) {
        points.insert(points.end(), {{cx + x, cy + y},
                                     {cx + y, cy + x},
                                     {cx - x, cy + y},
                                     {cx + y, cy - x},
                                     {cx + x, cy - y},
                                     {cx - y, cy + x},
                                     {cx - x, cy - y},
                                     {cx - y, cy - x}});
    };
    int x = 0;
    int y = radius;
    int d = 3 - 2 * radius;
    while (x < y) {
        plot_eight(x, y);
        if (d < 0) {
            d += 4 * x + 6;
        } else {
            d += 4 * (x - y) + 10;
            --y;
        }
        ++x;
    }
    if (x == y)
        plot_eight(x, y);
    return points;
}

std::vector<PixelPoint> disc_points(double cx, double cy, double r) {
    std::vector<PixelPoint> points;
    const int y0 = static_cast<int>(std::floor(cy - r));
    const int y1 = static_cast<int>(std::ceil(cy + r));
    const int x0 = static_cast<int>(std::floor(cx - r));
    const int x1 = static_cast<int>(std::ceil(cx + r));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const double dx = x - cx;
            const double dy = y - cy;
            if (dx * dx + dy * dy < r * r)
                points.push_back({x, y});
        }
    }
    return points;
}
