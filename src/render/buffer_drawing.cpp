#include "render/buffer_drawing.h"

#include <cmath>
#include <cstddef>

void set_pixel(std::span<std::uint8_t> buffer, int width, int height, RgbColour colour, int x,
               int y) {
    if (x < 0 || x >= width || y < 0 || y >= height)
        return;
    const std::size_t at = (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3;
    if (at + 3 > buffer.size())
        return;
    buffer[at] = colour.r;
    buffer[at + 1] = colour.g;
    buffer[at + 2] = colour.b;
}

void plot_eight(std::span<std::uint8_t> buffer, int width, int height, RgbColour colour, int x,
                int y, int cx, int cy) {
    set_pixel(buffer, width, height, colour, cx + x, cy + y);
    set_pixel(buffer, width, height, colour, cx + y, cy + x);
    set_pixel(buffer, width, height, colour, cx - x, cy + y);
    set_pixel(buffer, width, height, colour, cx + y, cy - x);
    set_pixel(buffer, width, height, colour, cx + x, cy - y);
    set_pixel(buffer, width, height, colour, cx - y, cy + x);
    set_pixel(buffer, width, height, colour, cx - x, cy - y);
    set_pixel(buffer, width, height, colour, cx - y, cy - x);
}

void draw_circle_outline(std::span<std::uint8_t> buffer, int width, int height, RgbColour colour,
                         int cx, int cy, int radius) {
    int x = 0;
    int y = radius;
    int d = 3 - 2 * radius;
    while (x < y) {
        plot_eight(buffer, width, height, colour, x, y, cx, cy);
        if (d < 0) {
            d += 4 * x + 6;
        } else {
            d += 4 * (x - y) + 10;
            --y;
        }
        ++x;
    }
    if (x == y)
        plot_eight(buffer, width, height, colour, x, y, cx, cy);
}

std::vector<std::pair<int, int>> disc_points(double cx, double cy, double r) {
    std::vector<std::pair<int, int>> points;
    // Far beyond any buffer the program draws into; keeps the integer bounds representable.
    constexpr double kLimit = 1e7;
    if (!(r > 0 && r < kLimit && std::abs(cx) < kLimit && std::abs(cy) < kLimit))
        return points;
    const int y0 = static_cast<int>(std::floor(cy - r));
    const int y1 = static_cast<int>(std::ceil(cy + r));
    const int x0 = static_cast<int>(std::floor(cx - r));
    const int x1 = static_cast<int>(std::ceil(cx + r));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const double dx = x - cx;
            const double dy = y - cy;
            if (dx * dx + dy * dy < r * r)
                points.emplace_back(x, y);
        }
    }
    return points;
}

void draw_disc(std::span<std::uint8_t> buffer, int width, int height, RgbColour colour, double cx,
               double cy, double r) {
    for (const auto& [x, y] : disc_points(cx, cy, r))
        set_pixel(buffer, width, height, colour, x, y);
}
