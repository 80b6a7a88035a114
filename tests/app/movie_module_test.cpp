// FFmpeg's encoders are loaded only by a run that writes MP4, WebM or GIF: every other run,
// and the window program, starts without them, and a renderer whose module is missing says
// so before it computes anything while the other formats keep working.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/movie_decoding.h"
#include "support/temp_directory.h"

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

struct Outcome {
    int status = -1;  // the exit status, or -1 when it did not exit
    std::string output;
    std::string errors;
};

// Runs the program with the arguments and extra NAME=value settings, in the working
// directory, its standard output and error collected.
Outcome run(const fs::path& program, const Names& arguments, const Names& environment = {}) {
    const pid_t pid = fork();
    if (pid == 0) {
        for (const std::string& setting : environment)
            putenv(const_cast<char*>(setting.c_str()));
        dup2(open("output.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
        dup2(open("errors.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
        std::vector<char*> argv = {const_cast<char*>(program.c_str())};
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    Outcome result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_text("output.txt"),
                   read_text("errors.txt")};
    fs::remove("output.txt");
    fs::remove("errors.txt");
    return result;
}

bool mentions_ffmpeg(const std::string& loader_list) {
    for (const char* library : {"libavcodec", "libavformat", "libavutil", "libswscale"})
        if (loader_list.find(library) != std::string::npos)
            return true;
    return false;
}

// A small animation: 36 frames of 10° at the default 45° a second (4.5 frames a second).
const Names kAnimation = {"--draw-mode",      "2",  "--image-size-animation", "40",
                          "--animation-step", "10", "--movie-size",           "48"};

Names with(Names arguments, const Names& more) {
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

class MovieModule : public TempDirectoryTest {};

TEST_F(MovieModule, ProgramsDoNotLinkFFmpeg) {
    for (const char* program : {LUMITRA_RENDER_PATH, LUMITRA_WINDOW_PATH}) {
        SCOPED_TRACE(program);
        // The loader lists every library the program needs, directly or not, and stops.
        const std::string libraries = run(program, {}, {"LD_TRACE_LOADED_OBJECTS=1"}).output;
        EXPECT_NE(libraries.find("libc.so"), std::string::npos) << libraries;
        EXPECT_FALSE(mentions_ffmpeg(libraries)) << libraries;
    }
}

TEST_F(MovieModule, OnlyTheFormatsThatNeedItLoadFFmpeg) {
    struct Case {
        Names arguments;
        const char* out;
        bool loads_ffmpeg;
    };
    const Case cases[] = {
        {{}, "figure.ppm", false},
        {{"--axis-type", "1"}, "figure.png", false},
        {kAnimation, "stage.mpg", false},
        {kAnimation, "stage.mp4", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.out);
        const Outcome result =
            run(LUMITRA_RENDER_PATH, with(c.arguments, {"--out", c.out}), {"LD_DEBUG=files"});
        EXPECT_EQ(result.status, 0) << result.errors;
        EXPECT_GT(fs::file_size(c.out), 0u);
        EXPECT_EQ(mentions_ffmpeg(result.errors), c.loads_ffmpeg);
    }
    const DecodedMovie movie = decode_movie("stage.mp4");
    ASSERT_TRUE(movie.opened);
    EXPECT_EQ(movie.codec, "h264");
    EXPECT_EQ(movie.width, 48);
    // The last frame, 35, comes at 35 / 4.5 s = 7.78 s: movie frames 0 … 186 at 24 a second.
    EXPECT_EQ(movie.times.size(), 187u);
}

// The renderer copied into an installed layout, PREFIX/bin, finds the module only in
// PREFIX's module folder: without it a movie of FFmpeg's formats fails at once, naming the
// file it looked for, and everything else works as before.
TEST_F(MovieModule, MissingModuleNamedBeforeComputingOtherFormatsStillWork) {
    const fs::path program = dir_ / LUMITRA_INSTALL_BINDIR / "lumitra-render";
    fs::create_directories(program.parent_path());
    fs::copy_file(LUMITRA_RENDER_PATH, program);
    const fs::path module_dir = dir_ / LUMITRA_INSTALL_MODULEDIR;
    const fs::path module = module_dir / fs::path(LUMITRA_MOVIE_MODULE_PATH).filename();
    fs::create_directories(module_dir);
    const std::string still_work =
        ".bmp, .jpg, .jpeg, .png, .mpg, .mpeg, .ppm or .pnm still work\n";

    struct Case {
        const char* module_content;  // nullptr: no file
        const char* out;
        int status;
        bool names_module;
    };
    const Case cases[] = {
        {nullptr, "stage.mp4", 1, true},  {nullptr, "stage.webm", 1, true},
        {nullptr, "stage.gif", 1, true},  {"not a library", "stage.mp4", 1, true},
        {nullptr, "stage.mpg", 0, false}, {nullptr, "figure.png", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.out) + (c.module_content ? " with a broken module" : ""));
        fs::remove(module);
        if (c.module_content != nullptr)
            std::ofstream(module) << c.module_content;
        const Outcome result = run(program, with(kAnimation, {"--out", c.out}));
        EXPECT_EQ(result.status, c.status) << result.errors;
        if (!c.names_module) {
            EXPECT_TRUE(fs::exists(c.out));
            continue;
        }
        EXPECT_EQ(result.errors.rfind("lumitra-render: " + module.string() + ": ", 0), 0u)
            << result.errors;
        EXPECT_TRUE(result.errors.ends_with(still_work)) << result.errors;
        EXPECT_EQ(std::count(result.errors.begin(), result.errors.end(), '\n'), 1);
        EXPECT_FALSE(fs::exists(c.out));
    }

    // With the module where an installation puts it, the copy writes every movie.
    fs::remove(module);
    fs::copy_file(LUMITRA_MOVIE_MODULE_PATH, module);
    for (const char* out : {"stage.mp4", "stage.webm", "stage.gif"}) {
        SCOPED_TRACE(out);
        const Outcome result = run(program, with(kAnimation, {"--out", out}));
        EXPECT_EQ(result.status, 0) << result.errors;
        EXPECT_TRUE(decode_movie(out).opened);
    }
}

TEST_F(MovieModule, VersionPrintsTheProgramsNameAndVersion) {
    const Outcome result = run(LUMITRA_RENDER_PATH, {"--version"});
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(
        std::regex_match(result.output, std::regex("lumitra-render [0-9]+\\.[0-9]+\\.[0-9]+\n")))
        << result.output;
}

}  // namespace
