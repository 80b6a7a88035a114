// The page writes no files: the browser saves the canvas itself. The option checks share the
// table of output formats with lumitra-render, whose still writers here refuse.
#include <cerrno>

#include "output/png_writer.h"
#include "output/still_writers.h"

namespace {
int refuse(const char*, const std::uint8_t*, int, int) {
    errno = ENOSYS;
    return 0;
}
}  // namespace

int write_png(const char* path, const std::uint8_t* rgb, int width, int height) {
    return refuse(path, rgb, width, height);
}
int write_bmp(const char* path, const std::uint8_t* rgb, int width, int height) {
    return refuse(path, rgb, width, height);
}
int write_jpeg(const char* path, const std::uint8_t* rgb, int width, int height) {
    return refuse(path, rgb, width, height);
}
int write_ppm(const char* path, const std::uint8_t* rgb, int width, int height) {
    return refuse(path, rgb, width, height);
}
