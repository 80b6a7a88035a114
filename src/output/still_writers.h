// Writers for a picture: an RGB buffer (width × height pixels, 3 bytes a pixel, R, G, B,
// rows from the top, no padding) to a 24-bit BMP, a JPEG or a binary PPM file. They share one
// signature so that a save can pick one by kind.
#pragma once

#include <cstdint>

#include "output/file_extension.h"

// Returns 1 when the whole file was written, 0 otherwise. Files are replaced the one safe
// way (output/replacement_file.h): on 0 the file that was at the path is untouched and
// nothing new is left there, errno holds the system's reason, and one line on standard
// error names the file and the cause.
using StillWriter = int (*)(const char* path, const std::uint8_t* rgb, int width, int height);

// Uncompressed 24-bit Windows bitmap, rows bottom-up, each padded to a multiple of 4 bytes.
int write_bmp(const char* path, const std::uint8_t* rgb, int width, int height);

// Baseline JPEG with the library's defaults (quality 75). A library error is reported and
// turned into 0; it never ends the program.
int write_jpeg(const char* path, const std::uint8_t* rgb, int width, int height);

// Binary PPM: the header "P6\n<width> <height>\n255\n", then the rows as they are. The
// renderer's stills and the movie's frames for the encoder.
int write_ppm(const char* path, const std::uint8_t* rgb, int width, int height);

// The writer of a still format (BMP, JPEG, PPM, PNG); nullptr for a movie or an unsupported
// name.
StillWriter still_writer(OutputFormat format);
