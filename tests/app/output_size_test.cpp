// lumitra-render --output-size: figures beyond the size options, computed at the size asked
// for, with the memory they take stated and checked first.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>

#include "support/files.h"
#include "support/temp_directory.h"

namespace {

struct RenderRun {
    int status;
    std::string errors;
};

// Runs the renderer through the shell in the test's folder, with an optional shell command
// before it (a limit).
RenderRun render(const std::string& arguments, const std::string& before = "") {
    const std::string command =
        "sh -c '" + before + " exec " LUMITRA_RENDER_PATH " " + arguments + "' 2>errors.txt";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_text("errors.txt")};
}

class OutputSize : public TempDirectoryTest {};

}  // namespace

TEST_F(OutputSize, FigureIsComputedAtTheSideAskedFor) {
    // The rotation image's ring at a 30° step is 4.8637 times its sub-image: 222 pixels fill
    // 1080 (1079.7), 223 would not.
    struct Case {
        const char* options;
        const char* header;
        const char* statement;
    };
    const Case cases[] = {
        {"--axis-type 1 --output-size 1080", "P6\n1080 1080\n255\n", "1 frame of 1080 × 1080"},
        {"--draw-mode 1 --rotation-step 30 --output-size 1080", "P6\n1080 1080\n255\n",
         "12 frames of 222 × 222"},
        {"--draw-mode 2 --animation-step 10 --frame 3 --output-size 500", "P6\n500 500\n255\n",
         "36 frames of 500 × 500"},
    };
    for (const Case& c : cases) {
        const RenderRun run = render(std::string(c.options) + " --out figure.ppm");
        ASSERT_EQ(run.status, 0) << c.options << ": " << run.errors;
        EXPECT_EQ(read_text("figure.ppm").substr(0, std::string(c.header).size()), c.header);
        EXPECT_TRUE(std::regex_match(
            run.errors,
            std::regex(std::string("lumitra-render: ") + c.statement + " pixels take [0-9]+ MB\n")))
            << run.errors;
    }
}

TEST_F(OutputSize, SizesBeyondTheLimitOrTheMachineAreRefusedBeforeComputing) {
    struct Case {
        const char* options;
        const char* limit;
        int status;
        const char* error;
    };
    const Case cases[] = {
        {"--output-size 1081 --out f.png", "", 2, "--output-size 1081 "},
        {"--output-size 19 --out f.png", "", 2, "--output-size 19 "},
        {"--draw-mode 2 --output-size 480 --movie-size 480 --out m.mpg", "", 2,
         "--movie-size and --output-size both set the movie's side; give one"},
        // 360 frames of 1080² take 1.26 GB; an address-space limit of 400 MB leaves 200.
        {"--draw-mode 2 --animation-step 1 --output-size 1080 --out m.mp4", "ulimit -v 400000;", 1,
         "360 frames of 1080 × 1080 pixels take 1"},
    };
    for (const Case& c : cases) {
#if defined(__SANITIZE_ADDRESS__)
        if (*c.limit != '\0')
            continue;  // the sanitizer's shadow memory does not start under such a limit
#endif
        const RenderRun run = render(c.options, c.limit);
        EXPECT_EQ(run.status, c.status) << c.options << ": " << run.errors;
        EXPECT_EQ(run.errors.rfind(std::string("lumitra-render: ") + c.error, 0), 0u) << run.errors;
        EXPECT_FALSE(std::filesystem::exists("f.png") || std::filesystem::exists("m.mp4") ||
                     std::filesystem::exists("m.mpg"));
    }
}
