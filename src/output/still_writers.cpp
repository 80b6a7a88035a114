#include "output/still_writers.h"

#include <cerrno>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <vector>

#include "output/still_writer_support.h"

// libjpeg's header expects FILE and size_t to be declared already.
#include <jpeglib.h>

namespace {

void put_le16(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value & 0xff);
    at[1] = static_cast<std::uint8_t>((value >> 8) & 0xff);
}

void put_le32(std::uint8_t* at, std::uint32_t value) {
    put_le16(at, value & 0xffff);
    put_le16(at + 2, value >> 16);
}

// Largest side for which every header field of the formats stays representable.
constexpr int kMaxSide = 65500;

bool valid_size(const std::uint8_t* rgb, int width, int height) {
    return rgb != nullptr && width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide;
}

}  // namespace

void report_failure(const char* writer, const char* path, const char* cause) {
    std::fprintf(stderr, "%s: %s: %s\n", writer, path, cause);
}

bool refuse_invalid(const char* writer, const char* path, const std::uint8_t* rgb, int width,
                    int height) {
    if (path != nullptr && valid_size(rgb, width, height))
        return false;
    report_failure(writer, path ? path : "(null)", "invalid image");
    errno = EINVAL;
    return true;
}

int write_bmp(const char* path, const std::uint8_t* rgb, int width, int height) {
    if (refuse_invalid("write_bmp", path, rgb, width, height))
        return 0;
    const std::size_t row_bytes = std::size_t(3) * std::size_t(width);
    const std::size_t stride = (row_bytes + 3) / 4 * 4;
    const std::uint64_t data_bytes = std::uint64_t(stride) * std::uint64_t(height);

    std::uint8_t header[54] = {};
    header[0] = 'B';
    header[1] = 'M';
    put_le32(header + 2, static_cast<std::uint32_t>(54 + data_bytes));
    put_le32(header + 10, 54);
    put_le32(header + 14, 40);
    put_le32(header + 18, static_cast<std::uint32_t>(width));
    put_le32(header + 22, static_cast<std::uint32_t>(height));
    put_le16(header + 26, 1);
    put_le16(header + 28, 24);

    return write_replacing("write_bmp", path, [&](ReplacementFile& file) {
        bool ok = file.write(header, sizeof header);
        std::vector<std::uint8_t> row(stride, 0);
        for (int y = height - 1; ok && y >= 0; --y) {
            const std::uint8_t* source = rgb + row_bytes * std::size_t(y);
            for (std::size_t i = 0; i < row_bytes; i += 3) {
                row[i] = source[i + 2];
                row[i + 1] = source[i + 1];
                row[i + 2] = source[i];
            }
            ok = file.write(row.data(), stride);
        }
    });
}

int write_ppm(const char* path, const std::uint8_t* rgb, int width, int height) {
    if (refuse_invalid("write_ppm", path, rgb, width, height))
        return 0;
    char header[48];
    const int length = std::snprintf(header, sizeof header, "P6\n%d %d\n255\n", width, height);
    return write_replacing("write_ppm", path, [&](ReplacementFile& file) {
        if (file.write(header, std::size_t(length)))
            file.write(rgb, std::size_t(3) * std::size_t(width) * std::size_t(height));
    });
}

namespace {

// The library calls error_exit on any error; instead of ending the process it jumps back
// into compress_to, which cleans up and reports the failure.
struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf return_point;
    const char* path;
    int error_number;  // errno when the library gave up: the cause of a failed write
};

void jpeg_report(j_common_ptr info) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    char message[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, message);
    report_failure("write_jpeg", manager->path, message);
}

[[noreturn]] void jpeg_error_exit(j_common_ptr info) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    manager->error_number = errno;
    jpeg_report(info);
    std::longjmp(manager->return_point, 1);
}

// Everything between setjmp and a possible longjmp lives in this function, and it holds
// no object with a destructor, so the jump skips nothing that needs cleaning up. Returns 0
// or the errno of the failure (EIO when the library's error was not a system error).
int compress_to(std::FILE* file, const char* path, const std::uint8_t* rgb, int width, int height) {
    jpeg_compress_struct info;
    JpegErrorManager errors;
    std::memset(&info, 0, sizeof info);
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = jpeg_error_exit;
    errors.base.output_message = jpeg_report;
    errors.path = path;
    errors.error_number = 0;
    if (setjmp(errors.return_point) != 0) {
        jpeg_destroy_compress(&info);
        return errors.error_number != 0 ? errors.error_number : EIO;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_start_compress(&info, TRUE);
    const std::size_t row_bytes = std::size_t(3) * std::size_t(width);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb + row_bytes * info.next_scanline);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return 0;
}

}  // namespace

int write_jpeg(const char* path, const std::uint8_t* rgb, int width, int height) {
    if (refuse_invalid("write_jpeg", path, rgb, width, height))
        return 0;
    return write_replacing("write_jpeg", path, [&](ReplacementFile& file) {
        if (const int error = compress_to(file.stream(), path, rgb, width, height); error != 0)
            file.fail(error);
    });
}
