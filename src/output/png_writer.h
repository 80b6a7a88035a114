// PNG stills for handouts, slides and web pages, where BMP is poorly supported.
#pragma once

#include <cstdint>

// An 8-bit RGB PNG of the buffer (width × height pixels, R, G, B, rows from the top), its
// pixels exactly the buffer's. The same contract as the other still writers
// (output/still_writers.h): 1 when the whole file took the path's place; 0 with errno set,
// one line on standard error and the file at the path untouched otherwise.
int write_png(const char* path, const std::uint8_t* rgb, int width, int height);
