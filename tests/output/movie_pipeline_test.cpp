#include "output/movie_pipeline.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "model/texts.h"
#include "output/mpeg_encoder.h"
#include "support/fake_encoder.h"
#include "support/movie_test_support.h"
#include "support/scripted_progress.h"
#include "support/temp_directory.h"

namespace {

namespace fs = std::filesystem;

TEST(MovieFrameList, RepeatsOrSkipsFramesToPlayAtTwentyFourPerSecond) {
    // Default animation: 72 frames at 45°/s with a 5° step, so fps = 9.
    const std::vector<int> nine = movie_frame_list(72, 9.0f);
    ASSERT_EQ(nine.size(), 190u);
    EXPECT_EQ(std::vector<int>(nine.begin(), nine.begin() + 12),
              (std::vector<int>{0, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 5}));
    EXPECT_EQ(std::vector<int>(nine.end() - 5, nine.end()), (std::vector<int>{70, 70, 71, 71, 71}));
    // With 8 ÷ 24 in double and 3 ÷ 9 in single precision movie frame 8 would show frame 4.
    EXPECT_EQ(nine[8], 3);

    std::vector<int> every(72), every_second(36);
    for (int i = 0; i < 72; ++i)
        every[i] = i;
    for (int i = 0; i < 36; ++i)
        every_second[i] = 2 * i;
    EXPECT_EQ(movie_frame_list(72, 24.0f), every);
    EXPECT_EQ(movie_frame_list(72, 48.0f), every_second);

    // 8 frames at 9 fps: movie frame m shows ceil(9m / 24), up to m = 18.
    EXPECT_EQ(movie_frame_list(8, 9.0f),
              (std::vector<int>{0, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 5, 5, 5, 6, 6, 6, 7, 7}));

    for (float bad : {0.0f, -3.0f, std::nanf(""), INFINITY})
        EXPECT_TRUE(movie_frame_list(72, bad).empty()) << bad;
    EXPECT_TRUE(movie_frame_list(0, 9.0f).empty());
}

class MoviePipeline : public TempDirectoryTest {
  protected:
    // The export's private folder while it runs.
    fs::path work_folder() const {
        const std::vector<std::string> hidden = files_starting_with(".lumitra-");
        return hidden.size() == 1 ? dir_ / hidden.front() : fs::path();
    }
    using Names = std::vector<std::string>;
};

TEST_F(MoviePipeline, ParameterFileHasTheExactLines) {
    // 3 frames at 12 fps: movie frame m shows the first i with i / 12 >= m / 24.
    const std::string folder = (dir_ / "a folder").string();
    fs::create_directory(folder);
    ASSERT_EQ(write_encoder_parameters(folder, kEncoderOutput, 3, 12.0f),
              folder + "/encoder.param");
    const std::string expected =
        "PATTERN         IBBPBBPBBPBBPBB\n"
        "OUTPUT          /dev/fd/3\n"
        "BASE_FILE_FORMAT        PNM\n"
        "INPUT_CONVERT    *\n"
        "GOP_SIZE        30\n"
        "SLICES_PER_FRAME        1\n"
        "INPUT_DIR       " +
        folder +
        "\n"
        "INPUT\n"
        "frame0.ppm\n"
        "frame1.ppm\n"
        "frame1.ppm\n"
        "frame2.ppm\n"
        "frame2.ppm\n"
        "END_INPUT\n"
        "PIXEL           HALF\n"
        "RANGE           10\n"
        "PSEARCH_ALG     LOGARITHMIC\n"
        "BSEARCH_ALG     CROSS2\n"
        "IQSCALE         3\n"
        "PQSCALE         3\n"
        "BQSCALE         3\n"
        "REFERENCE_FRAME ORIGINAL\n"
        "FORCE_ENCODE_LAST_FRAME\n"
        "FRAME_RATE 24\n";
    EXPECT_EQ(read_text(folder + "/encoder.param"), expected);
}

TEST_F(MoviePipeline, EncodedStreamHasTheSizeRatePatternAndOnePicturePerLine) {
    struct Case {
        int frames;
        float fps;
        std::size_t pictures;
    };
    // 20 pictures: the pattern would make the last one a B picture, which is forced to a
    // reference; 19 pictures end on a P of the pattern.
    for (const Case& c : {Case{20, 24.0f, 20}, Case{8, 9.0f, 19}}) {
        const Figure figure = small_animation(16, c.frames);
        ScriptedProgress progress;
        int asked = 0;
        ASSERT_EQ(write_movie("movie.mpg", figure, identity_tones(), 32, c.fps, progress,
                              [&](const std::string&) { ++asked; }),
                  1);
        EXPECT_EQ(asked, 0);
        EXPECT_EQ(entries(), Names{"movie.mpg"});
        const MpegSummary movie = summarize_mpeg(read_bytes("movie.mpg"));
        EXPECT_TRUE(movie.has_sequence_header);
        EXPECT_EQ(movie.width, 32);
        EXPECT_EQ(movie.height, 32);
        EXPECT_EQ(movie.frame_rate_code, 2);  // 24 frames per second
        EXPECT_TRUE(movie.ends_with_sequence_end);
        ASSERT_EQ(movie.display_types.size(), c.pictures);
        const std::string pattern = "IBBPBBPBBPBBPBB";
        for (std::size_t m = 0; m + 1 < c.pictures; ++m)
            EXPECT_EQ(movie.display_types[m], pattern[m % 15]) << "picture " << m;
        EXPECT_NE(movie.display_types.back(), 'B');

        // Both phases, each ending on exactly 1.0.
        ASSERT_EQ(progress.messages.size(), 2u);
        EXPECT_EQ(progress.messages[0], texts::enlarging);
        EXPECT_EQ(progress.messages[1], texts::creating_mpeg);
        for (int k = 0; k < c.frames; ++k)
            EXPECT_EQ(progress.fractions[k], float(k + 1) / float(c.frames));
        const std::vector<float> encoding(progress.fractions.begin() + c.frames,
                                          progress.fractions.end());
        ASSERT_FALSE(encoding.empty());
        EXPECT_EQ(encoding.back(), 1.0f);
        EXPECT_TRUE(std::is_sorted(encoding.begin(), encoding.end()));
        // One report per reference picture.
        EXPECT_EQ(encoding.size(),
                  std::size_t(std::count_if(movie.display_types.begin(), movie.display_types.end(),
                                            [](char t) { return t != 'B'; })));
        EXPECT_TRUE(no_child_left());
    }
}

// A sink that runs a check at a chosen update and answers with its result.
class WatchingProgress : public ProgressSink {
  public:
    std::function<bool(int update, float fraction)> on_update;
    int opens = 0;
    int updates = 0;
    void open(const char*) override { ++opens; }
    bool update(float fraction) override { return on_update(++updates, fraction); }
};

TEST_F(MoviePipeline, TemporaryFramesAreBinaryPpmWithOverlayAtMovieSide) {
    const int frames = 3;
    const Figure figure = small_animation(100, frames, kFullRange);
    const ParameterRecord& p = figure.setup.params;
    // Sine projection: the field of view's radius is (T/2)·NA / n̄.
    const int radius = static_cast<int>(
        std::lround(120.0 * p.numerical_aperture / std::sqrt(double(p.omega) * p.epsilon)));
    WatchingProgress progress;
    bool checked = false;
    progress.on_update = [&](int update, float) {
        if (update != frames)
            return true;
        // Before the last frame is written, frames 0 … F − 2 exist in the private folder.
        for (int k = 0; k < frames - 1; ++k) {
            const std::vector<std::uint8_t> file = read_bytes(work_folder() / temp_frame_name(k));
            EXPECT_EQ(file.size(), 15u + 3u * 240u * 240u);
            EXPECT_EQ(std::string(file.begin(), file.begin() + 15), "P6\n240 240\n255\n");
            const std::uint8_t* right = &file[15 + (120 * 240 + 120 + radius) * 3];
            EXPECT_EQ(right[0], 0);
            EXPECT_EQ(right[1], 255);
            EXPECT_EQ(right[2], 0);
        }
        checked = true;
        return false;  // cancel before the last frame
    };
    EXPECT_EQ(write_movie("movie.mpg", figure, identity_tones(), 240, 24.0f, progress, nullptr), 1);
    EXPECT_TRUE(checked);
    EXPECT_TRUE(entries().empty());
}

TEST_F(MoviePipeline, CancelInEitherPhaseLeavesNothingAndIsSilent) {
    const int frames = 20;  // 20 movie frames at 24 fps: 8 reference pictures
    struct Case {
        const char* name;
        int cancel_at;
    };
    const Case cases[] = {
        {"first enlargement update", 1},       {"middle of the enlargement", 10},
        {"first encoding update", frames + 1}, {"middle of the encoding", frames + 4},
        {"last encoding update", frames + 8},
    };
    const Figure figure = small_animation(16, frames);
    for (const Case& c : cases) {
        { std::ofstream("movie.mpg") << "older movie"; }
        ScriptedProgress progress(c.cancel_at);
        int asked = 0;
        EXPECT_EQ(write_movie("movie.mpg", figure, identity_tones(), 32, 24.0f, progress,
                              [&](const std::string&) { ++asked; }),
                  1)
            << c.name;
        EXPECT_EQ(progress.fractions.size(), std::size_t(c.cancel_at)) << c.name;
        EXPECT_EQ(asked, 0) << c.name;
        EXPECT_EQ(entries(), Names{"movie.mpg"}) << c.name;
        EXPECT_EQ(read_text("movie.mpg"), "older movie") << c.name;
        EXPECT_TRUE(no_child_left()) << c.name;
    }
}

TEST_F(MoviePipeline, ProgressArrivesWhileTheEncoderRuns) {
    // Were the encoder's output block-buffered, every report would come after it finished,
    // with the movie file complete. At the first report it must still be growing.
    const Figure figure = small_animation(64, 45);
    WatchingProgress progress;
    std::uintmax_t size_at_first_report = 0;
    bool first = true;
    progress.on_update = [&](int update, float) {
        if (update > 45 && first) {
            first = false;
            // The movie so far: the one hidden file in the private folder.
            for (const std::string& name : entries_of(work_folder()))
                if (name.front() == '.')
                    size_at_first_report = fs::file_size(work_folder() / name);
            EXPECT_FALSE(fs::exists("movie.mpg"));
        }
        return true;
    };
    ASSERT_EQ(write_movie("movie.mpg", figure, identity_tones(), 64, 24.0f, progress, nullptr), 1);
    const std::uintmax_t final_size = fs::file_size("movie.mpg");
    EXPECT_LT(size_at_first_report * 2, final_size)
        << "first report at " << size_at_first_report << " of " << final_size << " bytes";
    EXPECT_GE(progress.updates, 45 + 16);  // 45 frames plus one per reference picture
}

TEST_F(MoviePipeline, OlderFileIsReplacedInOneStep) {
    { std::ofstream("movie.mpg") << std::string(5000000, 'x'); }
    const Figure figure = small_animation(16, 6);
    ScriptedProgress progress;
    ASSERT_EQ(write_movie("movie.mpg", figure, identity_tones(), 16, 24.0f, progress, nullptr), 1);
    const std::vector<std::uint8_t> movie = read_bytes("movie.mpg");
    ASSERT_GE(movie.size(), 4u);
    EXPECT_LT(movie.size(), 5000000u);
    EXPECT_TRUE(movie[0] == 0 && movie[1] == 0 && movie[2] == 1 && movie[3] == 0xB3);
    EXPECT_EQ(entries(), Names{"movie.mpg"});
}

TEST_F(MoviePipeline, UnplaceableTargetFailsAtOnceWithTheReason) {
    fs::create_directory("taken");
    { std::ofstream("taken/keep") << "mine"; }
    mkfifo("pipe.mpg", 0600);
    const Figure figure = small_animation(16, 4);
    struct Case {
        std::string path;
        int error;
    };
    for (const Case& c :
         {Case{"no_such_dir/movie.mpg", ENOENT}, Case{"taken", EISDIR}, Case{"pipe.mpg", EEXIST},
          Case{std::string(300, 'm') + ".mpg", ENAMETOOLONG}}) {
        ScriptedProgress progress;
        int asked = 0;
        testing::internal::CaptureStderr();
        errno = 0;
        EXPECT_EQ(write_movie(c.path, figure, identity_tones(), 16, 24.0f, progress,
                              [&](const std::string&) { ++asked; }),
                  0)
            << c.path;
        const int error = errno;
        const std::string diagnostics = testing::internal::GetCapturedStderr();
        EXPECT_EQ(error, c.error) << c.path;
        EXPECT_TRUE(progress.messages.empty()) << "no work before the failure";
        EXPECT_EQ(asked, 0);
        EXPECT_NE(diagnostics.find(c.path), std::string::npos) << diagnostics;
        EXPECT_NE(diagnostics.find(std::strerror(c.error)), std::string::npos) << diagnostics;
    }
    EXPECT_EQ(entries(), (Names{"pipe.mpg", "taken"}));
    EXPECT_EQ(entries_of("taken"), Names{"keep"});
}

TEST_F(MoviePipeline, FinishedMovieBlockedFromItsPlaceIsTriedOnceMoreAfterAsking) {
    // Something takes the path while the encoder runs (here a directory, which is never
    // replaced). The finished movie waits in the private folder while the user is asked.
    const Figure figure = small_animation(16, 6);
    struct Case {
        const char* name;
        bool clear_the_way;  // the user removes what is in the way before OK
        bool lose_movie;     // the temporary movie is gone by then: nothing to ask about
        int result;
        int error;
    };
    for (const Case& c :
         {Case{"cleared", true, false, 1, 0}, Case{"still blocked", false, false, 0, EISDIR},
          Case{"temporary gone", true, true, 0, ENOENT}}) {
        WatchingProgress progress;
        progress.on_update = [&](int update, float fraction) {
            if (update > 6 && fraction == 1.0f) {
                fs::create_directory("movie.mpg");
                if (c.lose_movie)
                    for (const std::string& name : entries_of(work_folder()))
                        if (name.front() == '.')
                            fs::remove(work_folder() / name);
            }
            return true;
        };
        std::vector<std::string> asked;
        testing::internal::CaptureStderr();
        errno = 0;
        const int result = write_movie("movie.mpg", figure, identity_tones(), 16, 24.0f, progress,
                                       [&](const std::string& path) {
                                           asked.push_back(path);
                                           if (c.clear_the_way)
                                               fs::remove("movie.mpg");
                                       });
        const int error = errno;
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(result, c.result) << c.name;
        if (result == 0) {
            EXPECT_EQ(error, c.error) << c.name;
        }
        EXPECT_EQ(asked, c.lose_movie ? Names{} : Names{"movie.mpg"}) << c.name;
        EXPECT_EQ(entries(), Names{"movie.mpg"}) << c.name;
        EXPECT_EQ(fs::is_regular_file("movie.mpg"), c.result == 1) << c.name;
        fs::remove("movie.mpg");
    }
}

TEST_F(MoviePipeline, FilesNamedLikeTheOldTemporariesAreNotTouched) {
    // Names the movie's temporaries once had in the working directory: a user's file, a
    // directory, and a link to a precious file.
    { std::ofstream("_lumitra_tmp.mpg") << "stale movie"; }
    fs::create_directory("_lumitra_mpeg.paramet");
    { std::ofstream("precious") << "precious"; }
    fs::create_symlink("precious", "_lumitra_pnm_tmp0.pnm");
    const Figure figure = small_animation(16, 6);
    ScriptedProgress progress;
    ASSERT_EQ(write_movie("movie.mpg", figure, identity_tones(), 16, 24.0f, progress, nullptr), 1);
    EXPECT_EQ(entries(), (Names{"_lumitra_mpeg.paramet", "_lumitra_pnm_tmp0.pnm",
                                "_lumitra_tmp.mpg", "movie.mpg", "precious"}));
    EXPECT_EQ(read_text("_lumitra_tmp.mpg"), "stale movie");
    EXPECT_EQ(read_text("precious"), "precious");
    EXPECT_TRUE(fs::is_symlink("_lumitra_pnm_tmp0.pnm"));
    EXPECT_EQ(summarize_mpeg(read_bytes("movie.mpg")).width, 16) << "the new movie, not the stale";
}

TEST_F(MoviePipeline, TargetOnAnotherFileSystemIsWrittenThere) {
    std::string pattern = "/dev/shm/lumitra-test-XXXXXX";
    if (!fs::is_directory("/dev/shm") || mkdtemp(pattern.data()) == nullptr)
        GTEST_SKIP() << "no second file system";
    const fs::path other = pattern;
    struct stat here {
    }, there{};
    stat(".", &here);
    stat(other.c_str(), &there);
    if (here.st_dev == there.st_dev) {
        fs::remove_all(other);
        GTEST_SKIP() << "/dev/shm is on the same file system";
    }
    const std::string path = (other / "movie.mpg").string();
    { std::ofstream(path) << "older movie"; }
    const Figure figure = small_animation(16, 6);
    ScriptedProgress progress;
    int asked = 0;
    const int result = write_movie(path, figure, identity_tones(), 16, 24.0f, progress,
                                   [&](const std::string&) { ++asked; });
    const std::vector<std::uint8_t> movie = read_bytes(path);
    std::vector<std::string> there_now;
    for (const auto& entry : fs::directory_iterator(other))
        there_now.push_back(entry.path().filename().string());
    fs::remove_all(other);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(there_now, std::vector<std::string>{"movie.mpg"});
    ASSERT_GE(movie.size(), 4u);
    EXPECT_TRUE(movie[0] == 0 && movie[1] == 0 && movie[2] == 1 && movie[3] == 0xB3);
    EXPECT_TRUE(entries().empty());
}

}  // namespace
