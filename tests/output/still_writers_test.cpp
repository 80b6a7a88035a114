#include "output/still_writers.h"

#include <gtest/gtest.h>
#include <jpeglib.h>
#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "output/file_extension.h"
#include "output/png_writer.h"
#include "support/files.h"
#include "support/temp_directory.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t le32(const Bytes& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}
std::uint16_t le16(const Bytes& b, std::size_t at) {
    return std::uint16_t(b[at] | (b[at + 1] << 8));
}

// Every pixel different, so that a swapped row, column or channel shows.
Bytes test_pattern(int width, int height) {
    Bytes rgb(std::size_t(3) * width * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &rgb[(std::size_t(y) * width + x) * 3];
            p[0] = std::uint8_t(x * 7 + y);
            p[1] = std::uint8_t(y * 11 + 3);
            p[2] = std::uint8_t(x * 5 + y * 3 + 1);
        }
    return rgb;
}

class StillWriters : public TempDirectoryTest {};

TEST_F(StillWriters, BmpHeaderAndRowsDecodeToTheBuffer) {
    struct Case {
        int side;
        std::size_t file_size;
        std::size_t stride;
    };
    // 3 × 200 = 600 is a multiple of 4; 3 × 21 = 63 pads to 64.
    for (const Case& c : {Case{200, 54 + 600 * 200, 600}, Case{21, 1398, 64}}) {
        const Bytes rgb = test_pattern(c.side, c.side);
        const std::string name = "still" + std::to_string(c.side) + ".bmp";
        ASSERT_EQ(write_bmp(name.c_str(), rgb.data(), c.side, c.side), 1);
        const Bytes file = read_bytes(name);
        ASSERT_EQ(file.size(), c.file_size);
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        EXPECT_EQ(le32(file, 2), c.file_size);
        EXPECT_EQ(le32(file, 6), 0u);
        EXPECT_EQ(le32(file, 10), 54u);
        EXPECT_EQ(le32(file, 14), 40u);
        EXPECT_EQ(le32(file, 18), std::uint32_t(c.side));
        EXPECT_EQ(le32(file, 22), std::uint32_t(c.side));
        EXPECT_EQ(le16(file, 26), 1);
        EXPECT_EQ(le16(file, 28), 24);
        for (std::size_t at : {30, 34, 38, 42, 46, 50})
            EXPECT_EQ(le32(file, at), 0u) << at;

        // The first stored pixel is the bottom-left one, as B, G, R.
        const std::uint8_t* bottom_left = &rgb[std::size_t(c.side - 1) * c.side * 3];
        EXPECT_EQ(file[54], bottom_left[2]);
        EXPECT_EQ(file[55], bottom_left[1]);
        EXPECT_EQ(file[56], bottom_left[0]);

        for (int row = 0; row < c.side; ++row) {
            const std::size_t stored = 54 + c.stride * row;
            const int y = c.side - 1 - row;
            for (int x = 0; x < c.side; ++x) {
                const std::uint8_t* p = &rgb[(std::size_t(y) * c.side + x) * 3];
                ASSERT_EQ(file[stored + 3 * x], p[2]);
                ASSERT_EQ(file[stored + 3 * x + 1], p[1]);
                ASSERT_EQ(file[stored + 3 * x + 2], p[0]);
            }
            for (std::size_t pad = 3 * c.side; pad < c.stride; ++pad)
                ASSERT_EQ(file[stored + pad], 0);
        }
    }
}

// Decodes with libjpeg itself; returns width, height and the RGB samples.
struct Decoded {
    int width = 0, height = 0;
    Bytes rgb;
};
Decoded decode_jpeg(const std::string& path) {
    Decoded out;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return out;
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    out.width = int(info.output_width);
    out.height = int(info.output_height);
    out.rgb.resize(std::size_t(3) * out.width * out.height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &out.rgb[std::size_t(3) * out.width * info.output_scanline];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return out;
}

TEST_F(StillWriters, JpegDecodesToTheSameSizeAndCloseToTheBuffer) {
    for (auto [w, h] : {std::pair{64, 64}, std::pair{21, 13}}) {
        Bytes rgb(std::size_t(3) * w * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                std::uint8_t* p = &rgb[(std::size_t(y) * w + x) * 3];
                p[0] = std::uint8_t(128 + 100 * std::sin(x * 0.2));
                p[1] = std::uint8_t(128 + 100 * std::cos(y * 0.15));
                p[2] = std::uint8_t(60 + x + y);
            }
        ASSERT_EQ(write_jpeg("still.jpg", rgb.data(), w, h), 1);
        const Bytes file = read_bytes("still.jpg");
        ASSERT_GE(file.size(), 4u);
        EXPECT_EQ(file[0], 0xFF);
        EXPECT_EQ(file[1], 0xD8);  // start of image
        EXPECT_EQ(file[file.size() - 2], 0xFF);
        EXPECT_EQ(file[file.size() - 1], 0xD9);  // end of image
        const Decoded decoded = decode_jpeg("still.jpg");
        ASSERT_EQ(decoded.width, w);
        ASSERT_EQ(decoded.height, h);
        double error = 0;
        for (std::size_t i = 0; i < rgb.size(); ++i)
            error += std::abs(rgb[i] - decoded.rgb[i]);
        EXPECT_LT(error / double(rgb.size()), 6.0) << w << "x" << h;
    }
}

TEST_F(StillWriters, FailedWritesReturnZeroWithTheReasonAndLeaveNoFile) {
    const Bytes rgb = test_pattern(32, 32);
    std::filesystem::create_directory("a_directory");
    mkfifo("a_pipe", 0600);
    const std::string long_missing = std::string(300, 'd') + "/still";
    struct Case {
        const char* name;
        std::string path;
        int error;
    };
    // Nothing but a regular file is ever replaced: a device or a pipe in the way is refused
    // (a pipe without a reader would otherwise block the save).
    const Case cases[] = {
        {"missing directory", "no_such_dir/still", ENOENT},
        {"path is a directory", "a_directory", EISDIR},
        {"name too long", long_missing, ENAMETOOLONG},
        {"device", "/dev/full", EEXIST},
        {"named pipe", "a_pipe", EEXIST},
    };
    for (StillWriter writer : {&write_bmp, &write_jpeg, &write_ppm, &write_png}) {
        for (const Case& c : cases) {
            testing::internal::CaptureStderr();
            errno = 0;
            EXPECT_EQ(writer(c.path.c_str(), rgb.data(), 32, 32), 0) << c.name;
            EXPECT_EQ(errno, c.error) << c.name;
            const std::string diagnostics = testing::internal::GetCapturedStderr();
            EXPECT_NE(diagnostics.find(c.path), std::string::npos) << c.name << ": " << diagnostics;
        }
        EXPECT_FALSE(std::filesystem::exists("no_such_dir"));
        EXPECT_TRUE(std::filesystem::is_empty("a_directory"));
        EXPECT_TRUE(std::filesystem::is_fifo("a_pipe"));
        struct stat info {};
        ASSERT_EQ(stat("/dev/full", &info), 0);
        EXPECT_TRUE(S_ISCHR(info.st_mode));
    }
    EXPECT_EQ(entries(), (std::vector<std::string>{"a_directory", "a_pipe"}));
}

TEST_F(StillWriters, LongPathsAndOverwritesWork) {
    const Bytes rgb = test_pattern(16, 16);
    const std::string long_name = std::string(200, 'x') + ".figure.bmp";
    ASSERT_EQ(write_bmp(long_name.c_str(), rgb.data(), 16, 16), 1);
    EXPECT_EQ(std::filesystem::file_size(long_name), 54u + 48 * 16);
    { std::ofstream("old.jpg") << std::string(100000, 'z'); }
    ASSERT_EQ(write_jpeg("old.jpg", rgb.data(), 16, 16), 1);
    EXPECT_LT(std::filesystem::file_size("old.jpg"), 100000u);
    EXPECT_EQ(decode_jpeg("old.jpg").width, 16);
}

}  // namespace
