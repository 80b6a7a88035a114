// The chart's files as other programs read them: the PNG decoded with libpng, the SVG parsed
// as XML and rendered by librsvg, the PDF rendered by poppler, the description by Python's
// JSON reader, each compared with the others and with what the description declares.
#include "output/chart_writer.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <regex>

#include "support/files.h"
#include "support/temp_directory.h"

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
    const std::uint8_t* at(int x, int y) const { return &rgb[3 * (std::size_t(y) * width + x)]; }
};

Picture decode_png(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Picture picture;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return picture;
    image.format = PNG_FORMAT_RGB;
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr))
        return {};
    picture.width = int(image.width);
    picture.height = int(image.height);
    return picture;
}

int run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str());
}

std::vector<double> numbers_after(const std::string& text, const std::string& key) {
    std::vector<double> values;
    const std::regex pattern("\"" + key + "\": \\[([-0-9.e]+), ([-0-9.e]+)\\]");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern);
         it != std::sregex_iterator(); ++it) {
        values.push_back(std::stod((*it)[1]));
        values.push_back(std::stod((*it)[2]));
    }
    return values;
}

double number_of(const std::string& text, const std::string& key) {
    std::smatch match;
    EXPECT_TRUE(std::regex_search(text, match, std::regex("\"" + key + "\": ([-0-9.e]+)")));
    return match.empty() ? 0.0 : std::stod(match[1]);
}

double luminance(const std::uint8_t* p) {
    return 0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2];
}

Chart sample_chart(ChartKind kind) {
    ChartSettings settings;
    settings.kind = kind;
    settings.crystal = ChartCrystal{0.009, 30};
    const MineralList list =
        load_mineral_list(std::filesystem::path(LUMITRA_SOURCE_DIR) / "data/minerals.tsv");
    return build_chart(settings, list.minerals);
}

// Whether the pixel's 5 × 5 neighbourhood differs from it by no more than a field's steps.
bool field_only(const Picture& picture, int x, int y) {
    const std::uint8_t* centre = picture.at(x, y);
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            for (int q = 0; q < 3; ++q)
                if (std::abs(picture.at(x + dx, y + dy)[q] - centre[q]) > 12)
                    return false;
    return true;
}

class ChartFiles : public TempDirectoryTest {};

TEST_F(ChartFiles, SvgAndPdfShowThePngsColourField) {
    for (ChartKind kind : {ChartKind::kRetardation, ChartKind::kBirefringence}) {
        const Chart chart = sample_chart(kind);
        for (const char* name : {"chart.png", "chart.svg", "chart.pdf"})
            ASSERT_FALSE(write_chart(name, chart)) << name;
        EXPECT_FALSE(std::filesystem::exists("chart.svg.json"));
        ASSERT_EQ(run("python3 -c 'import xml.etree.ElementTree as e; e.parse(\"chart.svg\")'"), 0);
        ASSERT_EQ(run("rsvg-convert -w " + std::to_string(chart.settings.width) + " -h " +
                      std::to_string(chart.settings.height) + " -o svg.png chart.svg"),
                  0);
        ASSERT_EQ(
            run("pdftoppm -png -singlefile -scale-to-x " + std::to_string(chart.settings.width) +
                " -scale-to-y " + std::to_string(chart.settings.height) + " chart.pdf pdf"),
            0);
        const Picture png = decode_png("chart.png");
        ASSERT_EQ(png.width, chart.settings.width);
        for (const char* rendered : {"svg.png", "pdf.png"}) {
            const Picture other = decode_png(rendered);
            ASSERT_EQ(other.width, png.width) << rendered;
            ASSERT_EQ(other.height, png.height) << rendered;
            // The colour field away from lines and texts (where the PNG's 5 × 5 neighbourhood
            // holds only the field's own gradual change): antialiasing may differ, colours may
            // not.
            std::size_t same = 0, count = 0;
            for (int y = chart.y0 + 3; y < chart.y1 - 3; ++y) {
                for (int x = chart.x0 + 3; x < chart.x1 - 3; ++x) {
                    const std::uint8_t* a = png.at(x, y);
                    if (!field_only(png, x, y))
                        continue;
                    const std::uint8_t* b = other.at(x, y);
                    ++count;
                    same += std::abs(a[0] - b[0]) <= 4 && std::abs(a[1] - b[1]) <= 4 &&
                            std::abs(a[2] - b[2]) <= 4;
                }
            }
            EXPECT_GT(count, std::size_t(chart.x1 - chart.x0) * (chart.y1 - chart.y0) / 2);
            EXPECT_GT(double(same) / double(count), 0.98) << rendered;
        }
    }
}

TEST_F(ChartFiles, DescriptionDeclaresWhereTheLinesAreDrawn) {
    const Chart chart = sample_chart(ChartKind::kRetardation);
    ASSERT_FALSE(write_chart("chart.png", chart));
    ASSERT_EQ(run("python3 -c 'import json; json.load(open(\"chart.png.json\"))'"), 0);
    const std::string json = read_text("chart.png.json");
    const Picture png = decode_png("chart.png");
    EXPECT_EQ(number_of(json, "width"), png.width);
    EXPECT_EQ(number_of(json, "height"), png.height);
    const int x0 = int(number_of(json, "x0")), x1 = int(number_of(json, "x1"));
    const int y0 = int(number_of(json, "y0")), y1 = int(number_of(json, "y1"));
    const std::vector<double> p0 = numbers_after(json, "p0");
    const std::vector<double> p1 = numbers_after(json, "p1");
    ASSERT_EQ(p0.size(), p1.size());
    ASSERT_GE(p0.size(), 16u);
    // A pixel on a declared line is darker than the field's colour beside it along the row,
    // where nothing else is drawn.
    for (std::size_t i = 0; i < p0.size(); i += 2) {
        const double x = (p0[i] + p1[i]) / 2, y = (p0[i + 1] + p1[i + 1]) / 2;
        ASSERT_TRUE(x > x0 && x < x1 && y > y0 && y < y1);
        const double on_line = luminance(png.at(int(x), int(y)));
        const double beside =
            std::max(luminance(png.at(int(x) - 5, int(y))), luminance(png.at(int(x) + 5, int(y))));
        EXPECT_LT(on_line, beside - 10) << "line " << i / 2 << " at " << x << ", " << y;
    }
    // The 30 µm line on its declared row: most of its dashes darken the field there.
    std::smatch match;
    ASSERT_TRUE(std::regex_search(json, match, std::regex("\"t_um\": 30, \"y_px\": ([0-9.]+)")));
    const int row = int(std::stod(match[1]));
    int darker = 0;
    for (int x = x0 + 10; x < x1 - 10; x += 7)
        darker += luminance(png.at(x, row)) < luminance(png.at(x, row + 4)) - 5;
    EXPECT_GT(darker, (x1 - x0 - 20) / 7 / 2);
}

TEST_F(ChartFiles, RefusedNameLeavesNothing) {
    const Chart chart = sample_chart(ChartKind::kRetardation);
    EXPECT_TRUE(write_chart("chart.jpg", chart));
    EXPECT_TRUE(write_chart("missing-folder/chart.png", chart));
    EXPECT_TRUE(std::filesystem::is_empty("."));
}

}  // namespace
