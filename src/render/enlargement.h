// The enlargement of a frame for a movie.
#pragma once

#include <cstdint>
#include <span>

// Piecewise bilinear resampling of a display-converted S × S frame onto a T × T frame,
// ignoring empty pixels (is_empty_pixel). Pixels outside the output disc of radius T/2,
// and pixels of cells without a usable corner, are white; every other channel lies in
// 0 … 254. Every destination byte is written.
void enlarge_frame(std::span<const std::uint8_t> source, int S, std::span<std::uint8_t> dest,
                   int T);
