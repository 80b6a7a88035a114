// Writers for a picture: an RGB buffer (width × height pixels, 3 bytes a pixel, R, G, B,
// rows from the top, no padding) to a 24-bit BMP, a JPEG or a binary PPM file. They share one
// signature so that a save can pick one by kind.
#pragma once

#include <cstdint>

// Each is a StillWriter (output/file_extension.h), with its contract.

// Uncompressed 24-bit Windows bitmap, rows bottom-up, each padded to a multiple of 4 bytes.
int write_bmp(const char* path, const std::uint8_t* rgb, int width, int height);

// Baseline JPEG with the library's defaults (quality 75). A library error is reported and
// turned into 0; it never ends the program.
int write_jpeg(const char* path, const std::uint8_t* rgb, int width, int height);

// Binary PPM: the header "P6\n<width> <height>\n255\n", then the rows as they are. The
// renderer's stills and the movie's frames for the encoder.
int write_ppm(const char* path, const std::uint8_t* rgb, int width, int height);
