#include "app/render_settings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "model/derived_values.h"
#include "model/orientation_edit.h"
#include "support/files.h"

namespace {

namespace fs = std::filesystem;

// What a command prints on standard output.
std::string output_of(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            text.append(buffer, n);
        pclose(pipe);
    }
    return text;
}

ParameterRecord read_back(const std::string& text) {
    const SettingsLines lines = read_settings(text, "f.txt");
    EXPECT_TRUE(lines.report.empty()) << lines.report.front();
    const std::vector<std::string_view> words(lines.arguments.begin(), lines.arguments.end());
    const ParsedRenderOptions parsed = parse_render_options(words);
    EXPECT_TRUE(parsed.options) << parsed.error;
    return parsed.options ? parsed.options->record : ParameterRecord{};
}

// The record after start-up, changed as the window's controls change it.
ParameterRecord edited(const std::function<void(ParameterRecord&, OrientationState&)>& edit) {
    ParameterRecord record{};
    set_default_parameters(record);
    OrientationState state;
    edit(record, state);
    update_derived_fields(record);
    return record;
}

TEST(Settings, FileGivesBackTheRecordBitForBit) {
    const ParameterRecord records[] = {
        edited([](ParameterRecord&, OrientationState&) {}),
        // 2Vz edited, then the whole set tilted and rotated about Z: no axis on a step.
        edited([](ParameterRecord& r, OrientationState& s) {
            r.axis_type = kBiaxial;
            r.two_vz = 64;
            recompute_axes_for_two_v(r, s);
            select_rotation_axis(s, kAxisZ);
            tilt_rotation_axis(r, s, 35);
            rotate_about_rotation_axis(r, s, -47);
        }),
        // A right optic axial angle, where the figure asks Z which end of B to take, and the
        // wedge in the rotation image.
        edited([](ParameterRecord& r, OrientationState& s) {
            r.axis_type = kBiaxial;
            r.two_vz = 90;
            recompute_axes_for_two_v(r, s);
            select_rotation_axis(s, kAxisX);
            rotate_about_rotation_axis(r, s, 133);
            r.no_test_plate = kQuartzWedge;
            r.wedge_retardation = 1234;
            r.draw_mode = kRotationImage;
            r.rotation_step = 22.5f;
            r.image_size_rotation = 77;
            r.numerical_aperture = 0.85f;
            r.omega = 1.658f;
            r.draw_range = kFullRange;
            r.projection_kind = kWulffProjection;
        }),
    };
    for (const ParameterRecord& record : records) {
        RenderOptions options;
        options.record = record;
        const std::string text = settings_text(render_settings(options));
        const ParameterRecord back = read_back(text);
        EXPECT_EQ(std::memcmp(&back, &record, sizeof record), 0) << text;
        // The sense of Y found again is the one the edits kept.
        EXPECT_EQ(y_parity_of(back), y_parity_of(record));
    }
}

TEST(Settings, BadLinesAreReportedWithWhatIsAllowedAndSkipped) {
    const struct {
        const char* line;
        const char* report;  // "" when the line is taken
    } lines[] = {
        {"# a comment", ""},
        {"axis-type=1", ""},
        {"  thickness = 120  ", ""},
        {"--two-vz=40", ""},
        {"thickness=5000", "--thickness 5000 is outside 10 to 3000"},
        {"bogus=1", "unknown option --bogus (lumitra-render --help lists the options)"},
        {"help", "--help is not a setting"},
        {"alpha=high", "--alpha high is not a number: it takes a decimal number"},
        {"movie-size=20",
         "--movie-size 20 is not a value its control takes: 16, 32, 48, and so "
         "on in steps of 16 up to 480"},
    };
    std::string text;
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < std::size(lines); ++i) {
        text += std::string(lines[i].line) + "\n";
        if (*lines[i].report != '\0')
            expected.push_back("f.txt:" + std::to_string(i + 1) + ": " + lines[i].report);
    }
    const SettingsLines read = read_settings(text, "f.txt");
    ASSERT_EQ(read.report.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(read.report[i].substr(0, expected[i].size()), expected[i]);
    EXPECT_EQ(read.arguments,
              (std::vector<std::string>{"--axis-type=1", "--thickness=120", "--two-vz=40"}));
}

TEST(Settings, CommandIsQuotedForThePosixShell) {
    const std::vector<OptionValue> settings = {
        {"thickness", "120"}, {"antialias", ""}, {"mineral", "it's \"odd\" $HOME `x`"}};
    const std::string command = render_command(settings, "my figure.png");
    ASSERT_EQ(command.rfind("lumitra-render ", 0), 0u);
    // The shell itself splits the words back.
    const std::string words = output_of("printf '%s\\n' " + command.substr(15));
    EXPECT_EQ(words,
              "--thickness\n120\n--antialias\n--mineral\nit's \"odd\" $HOME `x`\n"
              "--out\nmy figure.png\n");
}

TEST(Settings, RendererTakesTheFileAndLaterOptionsOverrideIt) {
    const fs::path dir = fs::path(::testing::TempDir()) / "lumitra_settings_renderer";
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "s.txt") << "draw-range=1\nthickness=300\nbogus=2\n";
    const std::string render = std::string(LUMITRA_RENDER_PATH) + " ";
    const std::pair<std::string, std::string> cases[] = {
        {"--settings " + (dir / "s.txt").string(), "--draw-range 1 --thickness 300"},
        {"--thickness 40 --settings=" + (dir / "s.txt").string(), "--draw-range 1 --thickness 300"},
        {"--settings " + (dir / "s.txt").string() + " --thickness 40",
         "--draw-range 1 --thickness 40"},
    };
    for (const auto& [with_settings, spelled_out] : cases) {
        const fs::path a = dir / "a.ppm";
        const fs::path b = dir / "b.ppm";
        const std::string with_file =
            render + with_settings + " --out " + a.string() + " 2>" + (dir / "err").string();
        ASSERT_EQ(std::system(with_file.c_str()), 0) << with_file;
        ASSERT_EQ(std::system((render + spelled_out + " --out " + b.string()).c_str()), 0);
        EXPECT_EQ(read_bytes(a), read_bytes(b)) << with_settings;
        EXPECT_EQ(read_text(dir / "err"), "lumitra-render: " + (dir / "s.txt").string() +
                                              ":3: unknown option --bogus (lumitra-render "
                                              "--help lists the options)\n");
    }
    fs::remove_all(dir);
}

// The entry of an option in --help: its line and the lines indented beneath it.
std::string help_entry(const std::string& help, const std::string& option) {
    const std::size_t at = help.find("\n  --" + option + "  ");
    if (at == std::string::npos)
        return {};
    std::size_t end = at + 1;
    while ((end = help.find('\n', end)) != std::string::npos && help.compare(end, 4, "\n   ") == 0)
        ++end;
    // Read as one line, as a reader reads it.
    return std::regex_replace(help.substr(at + 1, end - at - 1), std::regex("\n +"), " ");
}

TEST(Help, EveryFieldStatesMeaningUnitRangeAndDefault) {
    const std::string help = render_usage();
    const std::pair<const char*, const char*> cases[] = {
        {"axis-type", "crystal kind: 0 uniaxial, 1 biaxial (default 0)"},
        {"draw-mode", ": 0 single image, 1 rotation image (a ring of images), 2 animation"},
        {"projection-kind", ": 0 sine (orthographic), 2 Wulff net (stereographic) (default 0)"},
        {"no-test-plate",
         "--plate names every accessory: 0 the 530 nm plate inserted, 1 no "
         "plate (default 1)"},
        {"thickness", "in micrometres: 10 to 3000 in steps of 1 (default 30)"},
        {"two-vx", "in degrees: 0 to 180 in steps of 1; sets two-vz to 180 minus it (default 150)"},
        {"rotation-step", "in degrees: 15, 18, 20, 22.5, 30, 36 or 45 (default 30)"},
    };
    for (const auto& [option, said] : cases)
        EXPECT_NE(help_entry(help, option).find(said), std::string::npos)
            << help_entry(help, option);
    // And every option of a settings file has a meaning and a default.
    RenderOptions start;
    set_default_parameters(start.record);
    for (const OptionValue& option : render_settings(start)) {
        const std::string entry = help_entry(help, option.name);
        if (option.name == "plate")
            continue;
        EXPECT_TRUE(std::regex_search(
            entry, std::regex("^  --[-a-z]+  [a-z][^:]+: [\\s\\S]*\\(default [^)]+\\)$")))
            << entry;
    }
}

TEST(Help, BothProgramsTellTheirVersionAndHelpWithoutADisplay) {
    const std::string version = std::regex_replace(
        read_text(fs::path(LUMITRA_SOURCE_DIR) / "CMakeLists.txt"),
        std::regex("^[\\s\\S]*project\\(lumitra VERSION ([0-9.]+)[\\s\\S]*$"), "$1");
    const std::string bare = "env -u DISPLAY -u WAYLAND_DISPLAY ";
    EXPECT_EQ(output_of(bare + LUMITRA_WINDOW_PATH + " --version"), "lumitra " + version + "\n");
    EXPECT_EQ(output_of(bare + LUMITRA_RENDER_PATH + " --version"),
              "lumitra-render " + version + "\n");
    EXPECT_EQ(output_of(bare + LUMITRA_WINDOW_PATH + " --help").rfind("usage: lumitra ", 0), 0u);
}

}  // namespace
