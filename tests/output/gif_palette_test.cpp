#include "output/gif_palette.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes frame_of(const std::vector<PaletteColour>& pixels) {
    Bytes rgb;
    for (const PaletteColour& p : pixels)
        rgb.insert(rgb.end(), p.begin(), p.end());
    return rgb;
}

TEST(GifPalette, ColoursOfEveryFrameAreKeptWhenTheyFit) {
    // Two frames with different colours; the cube's corners (white, the overlay's green and
    // yellow) among them.
    const std::vector<PaletteColour> first = {
        {255, 255, 255}, {0, 255, 0}, {200, 30, 90}, {200, 30, 90}};
    const std::vector<PaletteColour> second = {{255, 255, 0}, {12, 140, 201}, {120, 31, 90}};
    PaletteBuilder builder;
    builder.add(frame_of(first));
    builder.add(frame_of(second));
    std::vector<PaletteColour> palette = builder.build();
    std::vector<PaletteColour> expected = {{255, 255, 255}, {0, 255, 0},    {200, 30, 90},
                                           {255, 255, 0},   {12, 140, 201}, {120, 31, 90}};
    std::sort(palette.begin(), palette.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(palette, expected);

    // Every pixel of a colour in the palette keeps it exactly.
    PaletteDither dither(palette);
    const Bytes rgb = frame_of(second);
    Bytes indices(second.size());
    dither.map(rgb, int(second.size()), 1, indices);
    for (std::size_t i = 0; i < second.size(); ++i)
        EXPECT_EQ(palette[indices[i]], second[i]) << i;

    // A palette smaller than the colours keeps the corners first.
    builder.add(frame_of({{0, 0, 0}}));
    EXPECT_EQ(builder.build(3),
              (std::vector<PaletteColour>{{0, 0, 0}, {0, 255, 0}, {255, 255, 0}}));
}

TEST(GifPalette, GradientsKeepTheirColourOnAverageInsteadOfBanding) {
    // A ramp across 256 pixels from dark blue to orange, 16 rows, shown with 4 colours
    // evenly spaced along it: nearest colours alone would give 4 bands, off by up to a sixth
    // of the ramp (about 36 levels in red) at their edges.
    constexpr int kWidth = 256;
    constexpr int kHeight = 16;
    const auto ramp = [](double f) {
        return PaletteColour{std::uint8_t(std::lround(20 + 220 * f)),
                             std::uint8_t(std::lround(30 + 110 * f)),
                             std::uint8_t(std::lround(180 - 160 * f))};
    };
    Bytes rgb;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const PaletteColour p = ramp(x / double(kWidth - 1));
            rgb.insert(rgb.end(), p.begin(), p.end());
        }
    PaletteDither dither({ramp(0), ramp(1.0 / 3), ramp(2.0 / 3), ramp(1)});
    Bytes indices(std::size_t(kWidth) * kHeight);
    dither.map(rgb, kWidth, kHeight, indices);

    // Averaged over 8 × 8 tiles, as the eye sees a fine pattern, the colour is the ramp's.
    double worst = 0;
    for (int ty = 0; ty < kHeight; ty += 8)
        for (int tx = 0; tx < kWidth; tx += 8)
            for (int c = 0; c < 3; ++c) {
                double source = 0, shown = 0;
                for (int y = ty; y < ty + 8; ++y)
                    for (int x = tx; x < tx + 8; ++x) {
                        const std::size_t at = std::size_t(y) * kWidth + std::size_t(x);
                        source += rgb[3 * at + std::size_t(c)];
                        shown += dither.palette()[indices[at]][std::size_t(c)];
                    }
                worst = std::max(worst, std::abs(source - shown) / 64.0);
            }
    EXPECT_LE(worst, 4.0);

    // The pattern depends on the position only, so that a still region is the same in
    // every frame of a movie.
    Bytes again(indices.size());
    dither.map(rgb, kWidth, kHeight, again);
    EXPECT_EQ(again, indices);
}

}  // namespace
