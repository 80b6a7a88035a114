// lumitra-render's --stage-azimuth, --marks and --caption: read as the controls allow, and a
// still written with them is the one the figure window shows and saves.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/render_options.h"
#include "model/progress_sink.h"
#include "optics/figure_computation.h"
#include "output/figure_marks.h"
#include "render/frame_rendering.h"
#include "support/files.h"

namespace {

namespace fs = std::filesystem;

TEST(RenderMarks, OptionsAreReadAsTheControlsAllow) {
    struct Case {
        std::vector<std::string_view> arguments;
        std::string error;  // empty: accepted
        float azimuth;
        bool marks, caption;
    };
    const Case cases[] = {
        {{}, "", 0, false, false},
        {{"--stage-azimuth", "45", "--marks"}, "", 45, true, false},
        {{"--stage-azimuth=359", "--caption", "--marks"}, "", 359, true, true},
        {{"--stage-azimuth", "361"}, "--stage-azimuth 361 is outside 0 to 360", 0, false, false},
        {{"--stage-azimuth", "-1"}, "--stage-azimuth -1 is outside 0 to 360", 0, false, false},
        {{"--stage-azimuth", "22.5"},
         "--stage-azimuth 22.5 is between the control's steps (1 from 0)",
         0,
         false,
         false},
    };
    for (const Case& c : cases) {
        const ParsedRenderOptions parsed = parse_render_options(c.arguments);
        EXPECT_EQ(parsed.error, c.error);
        if (!parsed.options)
            continue;
        EXPECT_EQ(parsed.options->record.stage_azimuth, c.azimuth);
        EXPECT_EQ(parsed.options->marks.marks, c.marks);
        EXPECT_EQ(parsed.options->marks.caption, c.caption);
    }
}

// Runs lumitra-render in dir; returns its exit status.
int render(const fs::path& dir, const std::vector<std::string>& arguments) {
    std::string command = "cd '" + dir.string() + "' && '" LUMITRA_RENDER_PATH "'";
    for (const std::string& argument : arguments)
        command += " '" + argument + "'";
    const int status = std::system((command + " 2>/dev/null").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(RenderMarks, StillWithMarksIsTheWindowsAndMoviesRefuseThem) {
    const fs::path dir = fs::temp_directory_path() / ("lumitra-marks-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::vector<std::string> options = {"--c-axis-theta",  "30", "--plate", "530",
                                              "--stage-azimuth", "45", "--marks", "--caption"};
    std::vector<std::string> arguments = options;
    arguments.insert(arguments.end(), {"--out", "slide.ppm"});
    ASSERT_EQ(render(dir, arguments), 0);

    const std::vector<std::string_view> views(options.begin(), options.end());
    const ParsedRenderOptions parsed = parse_render_options(views);
    ASSERT_TRUE(parsed.options) << parsed.error;
    SilentProgress progress;
    const std::optional<Figure> figure =
        compute_figure(prepare_draw(parsed.options->record), progress);
    ASSERT_TRUE(figure);
    const std::vector<std::uint8_t> shown =
        marked_still(*figure, 0, opening_tones(*figure), parsed.options->marks);
    const std::string header =
        "P6\n" + std::to_string(figure->side) + " " + std::to_string(figure->side) + "\n255\n";
    EXPECT_EQ(read_bytes(dir / "slide.ppm"), [&] {
        std::vector<std::uint8_t> file(header.begin(), header.end());
        file.insert(file.end(), shown.begin(), shown.end());
        return file;
    }());

    // Marks are drawn on stills only; a movie asked for with them is refused before any work.
    EXPECT_EQ(render(dir, {"--draw-mode", "2", "--image-size-animation", "40", "--marks", "--out",
                           "turn.mpg"}),
              2);
    EXPECT_FALSE(fs::exists(dir / "turn.mpg"));
    fs::remove_all(dir);
}

}  // namespace
