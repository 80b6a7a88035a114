#include "render/vibration_directions.h"

#include <algorithm>
#include <cmath>

#include "model/angles.h"
#include "optics/figure_computation.h"
#include "render/buffer_drawing.h"
#include "render/pixel_readout.h"

namespace {

// A white slow direction on a dark edge stands out on the dark isogyres and on the bright
// colours alike; the fast direction is a plain dark line.
constexpr RgbColour kSlowColour{255, 255, 255};
constexpr RgbColour kEdgeColour{0, 0, 0};
// Half the length of a slow segment and of a fast one, as a fraction of a grid cell.
constexpr double kSlowHalfLength = 0.38;
constexpr double kFastHalfLength = 0.2;

// Every pixel along the segment from the centre ± the half vector, with a square of
// 2 · thickness + 1 pixels at each.
void draw_segment(std::span<std::uint8_t> rgb, int side, RgbColour colour, double cx, double cy,
                  double hx, double hy, int thickness) {
    const int steps =
        std::max(1, static_cast<int>(std::ceil(2.0 * std::max(std::abs(hx), std::abs(hy)))));
    for (int s = 0; s <= steps; ++s) {
        const double t = 2.0 * s / steps - 1.0;
        const int x = static_cast<int>(std::floor(cx + t * hx));
        const int y = static_cast<int>(std::floor(cy + t * hy));
        for (int dy = -thickness; dy <= thickness; ++dy)
            for (int dx = -thickness; dx <= thickness; ++dx)
                set_pixel(rgb, side, side, colour, x + dx, y + dy);
    }
}

}  // namespace

void draw_vibration_directions(const Figure& figure, int frame, std::span<std::uint8_t> rgb,
                               int side) {
    const DrawSetup& setup = figure.setup;
    const int n = setup.side;
    if (n <= 0 || figure.side <= 0)
        return;
    const bool composed = setup.params.draw_mode == kRotationImage;
    const int sub_figures = composed ? setup.frame_count : 1;
    const double scale = double(side) / figure.side;
    const double cell = double(n) / kVibrationGridCells;
    for (int k = 0; k < sub_figures; ++k) {
        const CanvasOrigin origin =
            composed ? rotation_image_origin(figure.side, n, setup.frame_count, k)
                     : CanvasOrigin{0, 0};
        for (int j = 0; j < kVibrationGridCells; ++j) {
            for (int i = 0; i < kVibrationGridCells; ++i) {
                const int x = origin.x + static_cast<int>((i + 0.5) * cell);
                const int y = origin.y + static_cast<int>((j + 0.5) * cell);
                const PixelReadout read = read_pixel(figure, frame, x, y);
                if (!read.inside)
                    continue;
                const double azimuth = read.slow_azimuth_deg * kRadiansPerDegree;
                // Azimuths count towards the top of the figure; rows count downwards.
                const double ux = std::cos(azimuth), uy = -std::sin(azimuth);
                const double cx = (x + 0.5) * scale, cy = (y + 0.5) * scale;
                const double slow = kSlowHalfLength * cell * scale;
                const double fast = kFastHalfLength * cell * scale;
                draw_segment(rgb, side, kEdgeColour, cx, cy, -uy * fast, ux * fast, 0);
                draw_segment(rgb, side, kEdgeColour, cx, cy, ux * slow, uy * slow, 1);
                draw_segment(rgb, side, kSlowColour, cx, cy, ux * slow, uy * slow, 0);
            }
        }
    }
}
