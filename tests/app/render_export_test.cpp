// lumitra-render as a user runs it: exports side by side in one folder, interrupted exports,
// a read-only working directory, and the mistakes it reports before computing.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <png.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "output/movie_pipeline.h"
#include "output/mpeg_encoder.h"
#include "support/fake_encoder.h"
#include "support/movie_decoding.h"
#include "support/temp_directory.h"

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

struct Launch {
    std::vector<std::string> arguments;
    fs::path working_directory;
    std::vector<std::string> environment;  // NAME=value added to ours
    fs::path stderr_file;                  // none: /dev/null
    bool unprivileged = false;             // as the user nobody when we are root
};

pid_t start_render(const Launch& launch) {
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    if (!launch.working_directory.empty() && chdir(launch.working_directory.c_str()) != 0)
        _exit(125);
    for (const std::string& setting : launch.environment)
        putenv(const_cast<char*>(setting.c_str()));
    const int err = open(launch.stderr_file.empty() ? "/dev/null" : launch.stderr_file.c_str(),
                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(err, 2);
    if (launch.unprivileged && getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
        _exit(124);
    std::vector<char*> argv = {const_cast<char*>(LUMITRA_RENDER_PATH)};
    for (const std::string& argument : launch.arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
}

// The exit status, or 1000 + the signal that ended it.
int finish(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
}

int run_render(const Launch& launch) {
    return finish(start_render(launch));
}

bool is_movie(const fs::path& path) {
    return read_text(path).rfind(std::string("\0\0\1\xB3", 4), 0) == 0;
}

// A small animation of 36 frames: the two crystals differ.
const Names kCrystalA = {"--draw-mode",      "2",  "--image-size-animation", "40",
                         "--animation-step", "10", "--movie-size",           "48"};
Names crystal_b() {
    Names b = kCrystalA;
    b.insert(b.end(), {"--axis-type", "1"});
    return b;
}

Names with_out(Names arguments, const fs::path& out) {
    arguments.insert(arguments.end(), {"--out", out.string()});
    return arguments;
}

class RenderExport : public TempDirectoryTest {};

TEST_F(RenderExport, ConcurrentExportsInOneFolderEachEncodeTheirOwnFrames) {
    // The encoder records the frames it is given and a checksum of their bytes in that order,
    // waits until all exports of the round have written all their frames, then encodes with
    // the real encoder.
    const std::optional<std::string> encoder = find_encoder();
    ASSERT_TRUE(encoder.has_value());
    const FakeEncoder fake(
        dir_ / "bin",
        "sed -n '/^INPUT$/,/^END_INPUT$/p' \"$1\" | sed '1d;$d' > \"$FRAME_LOG\"\n"
        "(cd \"$(sed -n 's/^INPUT_DIR *//p' \"$1\")\" && xargs cat) < \"$FRAME_LOG\" |\n"
        "  cksum >> \"$FRAME_LOG\"\n"
        "touch \"$BARRIER/$$\"; i=0\n"
        "while [ $(ls \"$BARRIER\" | wc -l) -lt $EXPORTS ] && [ $i -lt 500 ]; do\n"
        "  sleep 0.01; i=$((i + 1)); done\n"
        "exec " +
            *encoder + " \"$@\"");
    const fs::path folder = dir_ / "movies folder";
    fs::create_directory(folder);
    fs::create_directory(dir_ / "logs");
    struct Export {
        Names crystal;
        std::string out;
    };
    int round = 0;
    // Runs the exports at once; returns the frame log of each.
    const auto run_round = [&](const std::vector<Export>& exports) {
        const fs::path barrier = dir_ / ("barrier" + std::to_string(++round));
        fs::create_directory(barrier);
        std::vector<pid_t> runs;
        for (std::size_t i = 0; i < exports.size(); ++i) {
            Launch launch;
            launch.arguments = with_out(exports[i].crystal, folder / exports[i].out);
            launch.environment = {
                "FRAME_LOG=" +
                    (dir_ / "logs" / (std::to_string(round) + "-" + std::to_string(i))).string(),
                "BARRIER=" + barrier.string(), "EXPORTS=" + std::to_string(exports.size())};
            runs.push_back(start_render(launch));
        }
        std::vector<std::string> logs;
        for (std::size_t i = 0; i < runs.size(); ++i) {
            EXPECT_EQ(finish(runs[i]), 0) << exports[i].out;
            logs.push_back(
                read_text(dir_ / "logs" / (std::to_string(round) + "-" + std::to_string(i))));
            EXPECT_TRUE(is_movie(folder / exports[i].out)) << exports[i].out;
        }
        return logs;
    };

    const std::string alone_a = run_round({{kCrystalA, "a.mpg"}})[0];
    const std::string alone_b = run_round({{crystal_b(), "b.mpg"}})[0];
    ASSERT_NE(alone_a, alone_b);
    // 36 frames at 45° per second and 10° a frame; the checksum line after them.
    ASSERT_EQ(std::size_t(std::count(alone_a.begin(), alone_a.end(), '\n')),
              movie_frame_list(36, 4.5f).size() + 1);

    EXPECT_EQ(run_round({{kCrystalA, "a.mpg"}, {crystal_b(), "b.mpg"}}), (Names{alone_a, alone_b}));
    // Two of them to one path: each succeeds, the last to finish is the file there.
    EXPECT_EQ(run_round({{kCrystalA, "same.mpg"},
                         {crystal_b(), "same.mpg"},
                         {kCrystalA, "a.mpg"},
                         {crystal_b(), "b.mpg"}}),
              (Names{alone_a, alone_b, alone_a, alone_b}));
    EXPECT_EQ(entries_of(folder), (Names{"a.mpg", "b.mpg", "same.mpg"}));
}

TEST_F(RenderExport, SignalDuringFramesOrEncodingLeavesOnlyWhatWasThere) {
    const fs::path encoder_pid = dir_ / "encoder.pid";
    const fs::path child_pid = dir_ / "child.pid";
    // An encoder that never finishes, and a process of its own.
    const FakeEncoder fake(dir_ / "bin", "sleep 1000 & echo $! > " + child_pid.string() +
                                             "; echo $$ > " + encoder_pid.string() + "; wait");
    const fs::path folder = dir_ / "out";
    const fs::path cwd = dir_ / "cwd";
    fs::create_directories(cwd);
    struct Case {
        const char* phase;
        int signal;
    };
    for (const Case& c : {Case{"frames", SIGTERM}, Case{"encoding", SIGTERM},
                          Case{"encoding", SIGINT}, Case{"encoding", SIGHUP}}) {
        const bool frames = std::string(c.phase) == "frames";
        fs::remove_all(folder);
        fs::create_directories(folder);
        fs::remove(encoder_pid);
        fs::remove(child_pid);
        { std::ofstream(folder / "movie.mpg") << "old movie"; }
        Launch launch;
        // 180 frames of side 240 take a while to write.
        const Names many_frames = {"--draw-mode",      "2", "--image-size-animation", "84",
                                   "--animation-step", "2", "--movie-size",           "240"};
        launch.arguments = with_out(frames ? many_frames : kCrystalA, folder / "movie.mpg");
        launch.working_directory = cwd;
        const pid_t render = start_render(launch);
        // Waits for a frame in the private folder, or for the encoder to have started.
        bool reached = false;
        for (int tries = 0; tries < 20000 && !reached; ++tries) {
            if (frames) {
                for (const std::string& name : entries_of(folder))
                    if (name.rfind(".lumitra-", 0) == 0 && fs::is_directory(folder / name) &&
                        !entries_of(folder / name).empty())
                        reached = true;
            } else {
                reached = pid_in(encoder_pid) != 0;
            }
            if (!reached)
                usleep(1000);
        }
        ASSERT_TRUE(reached) << c.phase;
        kill(render, c.signal);
        EXPECT_EQ(finish(render), 128 + c.signal) << c.phase;
        EXPECT_EQ(entries_of(folder), Names{"movie.mpg"}) << c.phase;
        EXPECT_EQ(read_text(folder / "movie.mpg"), "old movie") << c.phase;
        EXPECT_TRUE(entries_of(cwd).empty()) << c.phase;
        if (frames) {
            EXPECT_FALSE(fs::exists(encoder_pid)) << "stopped before the encoder started";
        } else {
            EXPECT_TRUE(process_ended(pid_in(encoder_pid))) << c.signal;
            EXPECT_TRUE(process_ended(pid_in(child_pid))) << c.signal;
        }
    }
}

TEST_F(RenderExport, ReadOnlyWorkingDirectoryStillExports) {
    // The working directory is never written: a read-only one, holding files with the names
    // the temporaries once had, stays as it was.
    const fs::path cwd = dir_ / "read-only";
    fs::create_directories(cwd);
    { std::ofstream(cwd / "_lumitra_tmp.mpg") << "stale movie"; }
    { std::ofstream(cwd / "_lumitra_pnm_tmp0.pnm") << "not a frame"; }
    chmod(cwd.c_str(), 0555);
    const fs::path folder = dir_ / "out";
    fs::create_directories(folder);
    // As root the permission bits alone would not stop a write: the renderer runs as nobody.
    chmod(dir_.c_str(), 0755);
    chmod(folder.c_str(), 0777);
    Launch launch;
    launch.arguments = with_out(kCrystalA, folder / "movie.mpg");
    launch.working_directory = cwd;
    launch.unprivileged = true;
    launch.stderr_file = dir_ / "stderr";
    const int status = run_render(launch);
    if (status == 124)
        GTEST_SKIP() << "cannot run as an unprivileged user here";
    EXPECT_EQ(status, 0) << read_text(dir_ / "stderr");
    EXPECT_TRUE(is_movie(folder / "movie.mpg"));
    EXPECT_EQ(entries_of(folder), Names{"movie.mpg"});
    EXPECT_EQ(entries_of(cwd), (Names{"_lumitra_pnm_tmp0.pnm", "_lumitra_tmp.mpg"}));
    EXPECT_EQ(read_text(cwd / "_lumitra_tmp.mpg"), "stale movie");
    chmod(cwd.c_str(), 0755);
}

TEST_F(RenderExport, PngHasThePixelsOfThePpm) {
    // A biaxial crystal in the full range, so that the overlay is in the picture too.
    for (const char* name : {"figure.png", "figure.ppm"}) {
        Launch launch;
        launch.arguments = {"--axis-type", "1", "--draw-range", "1", "--out", name};
        ASSERT_EQ(run_render(launch), 0) << name;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_NE(png_image_begin_read_from_file(&image, "figure.png"), 0) << image.message;
    EXPECT_EQ(image.format, PNG_FORMAT_RGB);  // 8 bits a channel, no alpha
    std::vector<char> pixels(PNG_IMAGE_SIZE(image));
    ASSERT_NE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr), 0);
    const std::string header =
        "P6\n" + std::to_string(image.width) + " " + std::to_string(image.height) + "\n255\n";
    EXPECT_EQ(read_text("figure.ppm"), header + std::string(pixels.begin(), pixels.end()));
}

// --antialias reaches the writers through the figure: a still and an animated movie of a
// thick section over the full range come out, and differ from those without it.
TEST_F(RenderExport, AntialiasedStillAndMovie) {
    const Names thick = {"--thickness", "3000", "--draw-range", "1"};
    Names movie = thick;
    movie.insert(movie.end(), {"--draw-mode", "2", "--image-size-animation", "32",
                               "--animation-step", "10", "--movie-size", "32"});
    for (const auto& [arguments, extension] :
         {std::pair{thick, ".png"}, std::pair{movie, ".gif"}}) {
        Names antialiased = arguments;
        antialiased.push_back("--antialias");
        Launch plain, smooth;
        plain.arguments = with_out(arguments, std::string("plain") + extension);
        smooth.arguments = with_out(antialiased, std::string("smooth") + extension);
        ASSERT_EQ(run_render(plain), 0) << extension;
        ASSERT_EQ(run_render(smooth), 0) << extension;
        const std::string smooth_file = read_text(std::string("smooth") + extension);
        EXPECT_FALSE(smooth_file.empty()) << extension;
        EXPECT_NE(smooth_file, read_text(std::string("plain") + extension)) << extension;
    }
}

// The wedge drawn out over the single image: a frame per 5 nm at 24 frames a second.
TEST_F(RenderExport, WedgeSweepIsAMovieOfItsSettings) {
    Launch launch;
    launch.arguments = {"--image-size",  "40",    "--movie-size", "48",       "--plate", "wedge",
                        "--wedge-sweep", "100:0", "--out",        "sweep.mp4"};
    launch.working_directory = dir_;
    ASSERT_EQ(run_render(launch), 0);
    const DecodedMovie movie = decode_movie((dir_ / "sweep.mp4").string());
    ASSERT_TRUE(movie.opened);
    EXPECT_EQ(movie.times.size(), 21u);
    EXPECT_EQ(movie.frame_rate.num, 24 * movie.frame_rate.den);
}

TEST_F(RenderExport, MistakesKnownBeforeComputingAreToldWithoutWritingAnything) {
    fs::create_directory("taken.bmp");
    const fs::path empty_bin = dir_ / "empty_bin";
    fs::create_directory(empty_bin);
    struct Case {
        Names arguments;
        std::vector<std::string> environment;
        int status;
        const char* said;
    };
    const Case cases[] = {
        {{"--frame", "3", "--out", "still.bmp"}, {}, 2, "--frame 3 is outside 0 to 0"},
        {with_out({"--draw-mode", "2", "--image-size-animation", "40", "--movie-size", "32"},
                  "movie.mpg"),
         {},
         2,
         "--movie-size 32 is below 48"},
        {with_out(kCrystalA, "movie.mpg"),
         {"PATH=" + empty_bin.string()},
         1,
         "ppmtompeg is not installed"},
        {{"--out", "figure.tif"}, {}, 2, "the name must end in .bmp, .jpg, .jpeg, .png, .mpg"},
        {{"--out", "movie.gif"}, {}, 2, "movies need the animation mode"},
        {{"--plate", "wedge", "--wedge-sweep", "0:50", "--out", "still.png"},
         {},
         2,
         "--wedge-sweep writes a movie"},
        {{"--out", "no_such_dir/still.bmp"}, {}, 1, "No such file or directory"},
        {{"--out", "taken.bmp"}, {}, 1, "Is a directory"},
    };
    for (const Case& c : cases) {
        Launch launch;
        launch.arguments = c.arguments;
        launch.environment = c.environment;
        launch.working_directory = dir_;
        launch.stderr_file = dir_ / "stderr";
        EXPECT_EQ(run_render(launch), c.status) << c.said;
        const std::string said = read_text(dir_ / "stderr");
        EXPECT_NE(said.find(c.said), std::string::npos) << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_EQ(entries(), (Names{"empty_bin", "stderr", "taken.bmp"})) << c.said;
        EXPECT_TRUE(fs::is_empty("taken.bmp"));
    }
}

TEST_F(RenderExport, UnusableTargetsAreNamedOnOneLineBeforeComputing) {
    ASSERT_EQ(mkfifo("pipe.png", 0644), 0);
    fs::create_directory("two\nlines");
    // A folder whose absolute name is too long for the system, below a working folder just
    // short of the limit.
    fs::path near_limit = dir_;
    for (int i = 0; i < 17; ++i)
        fs::create_directory(near_limit /= std::string(i < 16 ? 250 : 0, 'd') + "e");
    // 180 frames: computing them takes far longer than any check before it.
    const Names heavy = {"--draw-mode",      "2", "--image-size-animation", "84",
                         "--animation-step", "2"};
    const std::tuple<Names, fs::path, int, const char*> cases[] = {
        {{"--out", "pipe.png"}, dir_, 1, "pipe.png: a FIFO"},
        {{"--out", "/dev/full"}, dir_, 1, "/dev/full: a character device"},
        {{"--thickness", "3\n0", "--out", "x.png"}, dir_, 2, "--thickness 3\\n0 is not a number"},
        {with_out(heavy, "two\nlines/movie.mpg"), dir_, 1, "line break"},
        {with_out(heavy, "e/movie.mpg"), near_limit.parent_path(), 1, "File name too long"},
    };
    for (const auto& [arguments, folder, status, said] : cases) {
        Launch launch{arguments, folder, {}, dir_ / "stderr"};
        const auto began = std::chrono::steady_clock::now();
        EXPECT_EQ(run_render(launch), status) << said;
        EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(1)) << said;
        const std::string text = read_text(dir_ / "stderr");
        EXPECT_NE(text.find(said), std::string::npos) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
    }
    EXPECT_TRUE(entries_of("two\nlines").empty());
}

// Interrupted while it writes, a run either put the new file in place and says so with 0, or
// left the old one and ends with 128 + the signal: never the new file with a failure.
TEST_F(RenderExport, InterruptWhileWritingAgreesWithWhatIsOnTheDisk) {
    const Launch launch{{"--image-size-single", "400", "--out", "figure.png"}, dir_, {}, {}};
    ASSERT_EQ(run_render(launch), 0);
    const std::string new_file = read_text("figure.png");
    for (int k = 0; k < 6; ++k) {
        { std::ofstream("figure.png") << "old figure"; }
        const pid_t render = start_render(launch);
        // The temporary appears once the figure is computed and is being written.
        const auto running = [render] {
            std::ifstream stat("/proc/" + std::to_string(render) + "/stat");
            std::string pid, name, state;
            return stat >> pid >> name >> state && state != "Z";
        };
        bool writing = false;
        while (!writing && running())
            for (const std::string& name : entries())
                writing = writing || name.rfind(".lumitra-", 0) == 0;
        kill(render, SIGINT);
        const int status = finish(render);
        EXPECT_EQ(read_text("figure.png"), status == 0 ? new_file : "old figure") << status;
        EXPECT_TRUE(status == 0 || status == 128 + SIGINT) << status;
        EXPECT_EQ(entries(), Names{"figure.png"}) << k;
    }
}

}  // namespace
