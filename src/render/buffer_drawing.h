// Drawing into RGB byte buffers (3 bytes a pixel, R, G, B, rows from the top, stride 3·W).
// Every write is bounds-checked pixel by pixel, so shapes may hang over the edge of the
// buffer: the part outside is simply skipped.
#pragma once

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

struct RgbColour {
    std::uint8_t r;
    std::uint8_t g;
    std::uint8_t b;
};

// Sets the pixel (x, y) when it lies inside the W × H buffer.
void set_pixel(std::span<std::uint8_t> buffer, int width, int height, RgbColour colour, int x,
               int y);

// The eight symmetric points of offset (x, y) about the centre (cx, cy), in the order
// (x, y), (y, x), (−x, y), (y, −x), (x, −y), (−y, x), (−x, −y), (−y, −x).
void plot_eight(std::span<std::uint8_t> buffer, int width, int height, RgbColour colour, int x,
                int y, int cx, int cy);

// One-pixel circle outline by the midpoint method with an integer decision value.
void draw_circle_outline(std::span<std::uint8_t> buffer, int width, int height, RgbColour colour,
                         int cx, int cy, int radius);

// The integer points (x, y) with (x − cx)² + (y − cy)² < r², strictly, row by row from the
// top, each row from the left. The drawable disc of the preview plots the same points.
std::vector<std::pair<int, int>> disc_points(double cx, double cy, double r);

// Fills the points of disc_points with the colour.
void draw_disc(std::span<std::uint8_t> buffer, int width, int height, RgbColour colour, double cx,
               double cy, double r);
