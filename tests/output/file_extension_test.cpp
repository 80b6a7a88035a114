#include "output/file_extension.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

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
        {"picture.png", "png", OutputFormat::kUnsupported},
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
    // The window's Save refuses what only the renderer writes.
    const Case renderer_only[] = {
        {"figure.ppm", OutputFormat::kPpm},  {"figure.PNM", OutputFormat::kPpm},
        {"figure.png", OutputFormat::kPng},  {"movie.MP4", OutputFormat::kMp4},
        {"movie.webm", OutputFormat::kWebm}, {"movie.gif", OutputFormat::kGif},
    };
    for (const Case& c : renderer_only) {
        EXPECT_EQ(output_format(file_extension(c.path), FormatSet::kRenderer), c.format) << c.path;
        EXPECT_EQ(output_format(file_extension(c.path)), OutputFormat::kUnsupported) << c.path;
    }
    for (std::string_view path : {"figure", "figure.BMP", "a.b.jpg", "f.JpEg", "movie.mpeg"})
        EXPECT_EQ(output_format(file_extension(path), FormatSet::kRenderer),
                  output_format(file_extension(path)))
            << path;
    for (std::string_view path : {"figure.tif", "figure.", "movie.mp", "movie.mkv"})
        EXPECT_EQ(output_format(file_extension(path), FormatSet::kRenderer),
                  OutputFormat::kUnsupported)
            << path;
    EXPECT_EQ(accepted_extensions(FormatSet::kWindow), ".bmp, .jpg, .jpeg, .mpg or .mpeg");
}

}  // namespace
