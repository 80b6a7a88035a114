// The colours of an animated GIF, which holds at most 256. One palette serves every frame,
// made from the colours of all of them, and each pixel is dithered between the two palette
// colours whose mix comes closest to it, so that the smooth runs of interference colour keep
// their gradients instead of breaking into bands.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

using PaletteColour = std::array<std::uint8_t, 3>;

class PaletteBuilder {
  public:
    PaletteBuilder();

    // Counts the colours of an RGB buffer (3 bytes a pixel).
    void add(std::span<const std::uint8_t> rgb);

    // At most max_colours colours. The corners of the colour cube that occur (the white
    // outside the figure, black, the overlay's green and yellow) are kept exactly: no mix of
    // other colours can reach them. The other colours are split into boxes, always the box
    // of largest squared error at its best cut, and each box gives its mean colour.
    std::vector<PaletteColour> build(int max_colours = 256) const;

  private:
    struct Bin {
        std::uint64_t count = 0;
        std::uint64_t sum[3] = {0, 0, 0};
    };
    std::vector<Bin> bins_;  // 32 levels a channel
    std::array<std::uint64_t, 8> corners_{};
};

// Maps RGB pixels to palette indices by ordered dithering: a pixel between palette colours
// a and b, at fraction t of the way from a to b, takes b where the 8 × 8 threshold matrix is
// below t, so that the average over a few pixels is the pixel's own colour. The matrix is the
// same in every frame: regions that do not change keep their pattern, which keeps the movie
// calm and small.
class PaletteDither {
  public:
    explicit PaletteDither(std::vector<PaletteColour> palette);

    const std::vector<PaletteColour>& palette() const { return palette_; }

    // indices[y · width + x] for the pixel at (x, y) of the width × height RGB buffer.
    void map(std::span<const std::uint8_t> rgb, int width, int height,
             std::span<std::uint8_t> indices);

  private:
    struct Pair {
        std::uint8_t a;
        std::uint8_t b;
    };
    Pair pair_for(int r, int g, int b);

    std::vector<PaletteColour> palette_;
    std::array<int, 8> corner_index_{};     // the palette entry of each cube corner, or -1
    std::vector<std::int32_t> pair_cache_;  // by 64 levels a channel; -1 until needed
};
