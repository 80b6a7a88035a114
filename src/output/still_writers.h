// Writers for a still picture: an RGB buffer (width × height pixels, 3 bytes a pixel,
// R, G, B, rows from the top, no padding) to a 24-bit BMP or a JPEG file. Both share one
// signature so that the save dispatcher can pick one by kind.
#pragma once

#include <cstdint>

// Returns 1 when the whole file was written, 0 otherwise. On 0 nothing is left at the path
// that the writer created (a partial file is removed) and one line on standard error names
// the file and the cause.
using StillWriter = int (*)(const char* path, const std::uint8_t* rgb, int width, int height);

// Uncompressed 24-bit Windows bitmap, rows bottom-up, each padded to a multiple of 4 bytes.
int write_bmp(const char* path, const std::uint8_t* rgb, int width, int height);

// Baseline JPEG with the library's defaults (quality 75). A library error is reported and
// turned into 0; it never ends the program.
int write_jpeg(const char* path, const std::uint8_t* rgb, int width, int height);
