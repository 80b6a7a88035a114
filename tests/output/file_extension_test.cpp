#include "output/file_extension.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/temp_directory.h"

namespace {

TEST(FileExtension, TakesTheTextAfterTheLastDotOfTheLastComponent) {
    struct Case {
        std::string_view path;
        std::optional<std::string_view> extension;
        OutputFormat format;
    };
    const std::string long_path = std::string(400, 'p') + "/" + std::string(300, 'f') + ".JpEg";
    const Case cases[] = {
        {"figure", std::nullopt, OutputFormat::kBmp},
        {"figure.bmp", "bmp", OutputFormat::kBmp},
        {"figure.BMP", "BMP", OutputFormat::kBmp},
        {"figure.jpg", "jpg", OutputFormat::kJpeg},
        {"figure.JPG", "JPG", OutputFormat::kJpeg},
        {"figure.JpEg", "JpEg", OutputFormat::kJpeg},
        {"a.b.jpg", "jpg", OutputFormat::kJpeg},
        {"movie.mpg", "mpg", OutputFormat::kMpeg},
        {"movie.MPEG", "MPEG", OutputFormat::kMpeg},
        {"picture.png", "png", OutputFormat::kPng},
        {"picture.ppm", "ppm", OutputFormat::kUnsupported},
        {"archive.tar.gz", "gz", OutputFormat::kUnsupported},
        {"old.dir/figure", std::nullopt, OutputFormat::kBmp},
        {"/home/u/old.dir/figure.jpg", "jpg", OutputFormat::kJpeg},
        {"figure.", "", OutputFormat::kUnsupported},
        {"dir.d/", std::nullopt, OutputFormat::kBmp},
        {"figure.jpgx", "jpgx", OutputFormat::kUnsupported},
        {"figure.mp", "mp", OutputFormat::kUnsupported},
        {long_path, "JpEg", OutputFormat::kJpeg},
    };
    for (const Case& c : cases) {
        const auto extension = file_extension(c.path);
        EXPECT_EQ(extension, c.extension) << c.path;
        EXPECT_EQ(output_format(extension), c.format) << c.path;
        // The extension is a view into the path, ending with it.
        if (extension) {
            EXPECT_EQ(extension->data() + extension->size(), c.path.data() + c.path.size());
        }
    }
}

TEST(FileExtension, RendererKnowsTheWindowsFormatsAndItsOwn) {
    struct Case {
        std::string_view path;
        OutputFormat format;
    };
    // The window's Save refuses only the PPM, which serves pipelines.
    const Case renderer_only[] = {
        {"figure.ppm", OutputFormat::kPpm},
        {"figure.PNM", OutputFormat::kPpm},
    };
    for (const Case& c : renderer_only) {
        EXPECT_EQ(output_format(file_extension(c.path), FormatSet::kRenderer), c.format) << c.path;
        EXPECT_EQ(output_format(file_extension(c.path)), OutputFormat::kUnsupported) << c.path;
    }
    for (std::string_view path : {"figure", "figure.BMP", "a.b.jpg", "f.JpEg", "movie.mpeg",
                                  "figure.png", "movie.MP4", "movie.webm", "movie.gif"})
        EXPECT_EQ(output_format(file_extension(path), FormatSet::kRenderer),
                  output_format(file_extension(path)))
            << path;
    for (std::string_view path : {"figure.tif", "figure.", "movie.mp", "movie.mkv"})
        EXPECT_EQ(output_format(file_extension(path), FormatSet::kRenderer),
                  OutputFormat::kUnsupported)
            << path;
}

using FormatDispatch = TempDirectoryTest;

// Each extension reaches the writer or the encoder of its own format: a still's file starts
// with its format's signature, and each movie goes to the encoder that makes it.
TEST_F(FormatDispatch, EachExtensionReachesItsWriterOrEncoder) {
    struct Case {
        std::string_view path;
        std::vector<std::uint8_t> signature;  // a still's first bytes; empty for a movie
        MovieEncoding encoder;
    };
    const Case cases[] = {
        {"f.bmp", {'B', 'M'}, MovieEncoding::kNone},
        {"f", {'B', 'M'}, MovieEncoding::kNone},
        {"f.JPG", {0xff, 0xd8, 0xff}, MovieEncoding::kNone},
        {"f.jpeg", {0xff, 0xd8, 0xff}, MovieEncoding::kNone},
        {"f.ppm", {'P', '6', '\n', '3', ' ', '2', '\n'}, MovieEncoding::kNone},
        {"f.pnm", {'P', '6', '\n'}, MovieEncoding::kNone},
        {"f.png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'}, MovieEncoding::kNone},
        {"m.mpg", {}, MovieEncoding::kPpmtompeg},
        {"m.MPEG", {}, MovieEncoding::kPpmtompeg},
        {"m.mp4", {}, MovieEncoding::kEncoderModule},
        {"m.webm", {}, MovieEncoding::kEncoderModule},
        {"m.gif", {}, MovieEncoding::kEncoderModule},
    };
    const std::vector<std::uint8_t> rgb(3 * 3 * 2, 128);
    for (const Case& c : cases) {
        const OutputFormat format = output_format(file_extension(c.path), FormatSet::kRenderer);
        EXPECT_EQ(movie_encoding(format), c.encoder) << c.path;
        EXPECT_EQ(is_movie(format), c.signature.empty()) << c.path;
        const StillWriter writer = still_writer(format);
        ASSERT_EQ(writer != nullptr, !c.signature.empty()) << c.path;
        if (writer == nullptr)
            continue;
        const std::string path = std::string(c.path) + ".out";
        ASSERT_EQ(writer(path.c_str(), rgb.data(), 3, 2), 1) << c.path;
        const std::vector<std::uint8_t> bytes = read_bytes(path);
        ASSERT_GE(bytes.size(), c.signature.size()) << c.path;
        EXPECT_TRUE(std::equal(c.signature.begin(), c.signature.end(), bytes.begin())) << c.path;
    }
    EXPECT_EQ(still_writer(OutputFormat::kUnsupported), nullptr);
}

TEST(FileExtension, MessagesNameTheFormatsBothProgramsWriteFirst) {
    struct Case {
        FormatSet set;
        EncoderNeed need;
        std::string_view text;
    };
    const Case cases[] = {
        {FormatSet::kWindow, EncoderNeed::kAny,
         ".bmp, .jpg, .jpeg, .png, .mpg, .mpeg, .mp4, .webm or .gif"},
        {FormatSet::kRenderer, EncoderNeed::kAny,
         ".bmp, .jpg, .jpeg, .png, .mpg, .mpeg, .mp4, .webm, .gif, .ppm or .pnm"},
        {FormatSet::kRenderer, EncoderNeed::kMovieEncoders, ".mp4, .webm or .gif"},
        {FormatSet::kRenderer, EncoderNeed::kWithoutMovieEncoders,
         ".bmp, .jpg, .jpeg, .png, .mpg, .mpeg, .ppm or .pnm"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(accepted_extensions(c.set, c.need), c.text);
}

}  // namespace
