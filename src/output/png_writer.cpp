#include "output/png_writer.h"

#include <png.h>

#include <cerrno>
#include <cstdio>

#include "output/still_writer_support.h"

namespace {

// libpng reports an error through this and expects it not to return; it jumps back into
// compress_to, which cleans up and reports the failure.
struct PngErrors {
    const char* path;
    int error_number;  // errno when the library gave up: the cause of a failed write
};

[[noreturn]] void png_failed(png_structp png, png_const_charp message) {
    auto* errors = static_cast<PngErrors*>(png_get_error_ptr(png));
    errors->error_number = errno;
    report_failure("write_png", errors->path, message);
    png_longjmp(png, 1);
}

void png_warned(png_structp png, png_const_charp message) {
    report_failure("write_png", static_cast<PngErrors*>(png_get_error_ptr(png))->path, message);
}

// Everything between setjmp and a possible longjmp lives in this function, and it holds no
// object with a destructor. Returns 0 or the errno of the failure (EIO when the library's
// error was not a system error).
int compress_to(std::FILE* file, const char* path, const std::uint8_t* rgb, int width, int height) {
    PngErrors errors{path, 0};
    errno = 0;  // so that a library error after no failed call is not taken for one
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &errors, png_failed, png_warned);
    if (png == nullptr)
        return ENOMEM;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return ENOMEM;
    }
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        return errors.error_number != 0 ? errors.error_number : EIO;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const std::size_t row_bytes = std::size_t(3) * std::size_t(width);
    for (int y = 0; y < height; ++y)
        png_write_row(png, rgb + row_bytes * std::size_t(y));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return 0;
}

}  // namespace

int write_png(const char* path, const std::uint8_t* rgb, int width, int height) {
    if (refuse_invalid("write_png", path, rgb, width, height))
        return 0;
    return write_replacing("write_png", path, [&](ReplacementFile& file) {
        if (const int error = compress_to(file.stream(), path, rgb, width, height); error != 0)
            file.fail(error);
    });
}
