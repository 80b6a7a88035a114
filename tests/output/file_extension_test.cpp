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
        {"handout.ppm", "ppm", OutputFormat::kPpm},
        {"handout.PNM", "PNM", OutputFormat::kPpm},
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

}  // namespace
