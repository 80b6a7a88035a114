#include "output/mpeg_encoder.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "output/movie_pipeline.h"
#include "output/replacement_file.h"
#include "support/fake_encoder.h"
#include "support/scripted_progress.h"
#include "support/temp_directory.h"

namespace {

namespace fs = std::filesystem;

class MpegEncoder : public TempDirectoryTest {
  protected:
    static int open_descriptors() {
        int count = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd"))
            ++count;
        return count;
    }

    // n grey 16 × 16 frames and a parameter file listing them once each.
    std::string prepare(int n) const {
        for (int k = 0; k < n; ++k) {
            std::ofstream frame(temp_frame_name(k), std::ios::binary);
            frame << "P6 16 16 255\n" << std::string(16 * 16 * 3, char(40 + 5 * k));
        }
        return write_encoder_parameters(dir_.string(), kEncoderOutput, n, 24.0f);
    }
};

TEST_F(MpegEncoder, ReportsAfterEachReferencePictureEndingOnOne) {
    // 17 frames: references at 0, 3, 6, 9, 12, 15 (I at the pattern's restart) and the last
    // frame 16, forced to a reference.
    const std::string parameters = prepare(17);
    const int descriptors = open_descriptors();
    const std::vector<float> expected = {1 / 17.f,  4 / 17.f,  7 / 17.f, 10 / 17.f,
                                         13 / 17.f, 16 / 17.f, 1.0f};
    // A second run starts afresh.
    for (int run = 0; run < 2; ++run) {
        ReplacementFile movie("movie.mpg");
        ScriptedProgress progress;
        EXPECT_EQ(encode_movie(parameters, movie, progress), 0);
        EXPECT_EQ(progress.fractions, expected);
        ASSERT_EQ(movie.commit(), 0);
        EXPECT_GT(fs::file_size("movie.mpg"), 0u);
        EXPECT_EQ(open_descriptors(), descriptors);
        EXPECT_TRUE(no_child_left());
    }
}

TEST_F(MpegEncoder, CancelEndsTheChildAndReturnsMinusOne) {
    const std::string parameters = prepare(17);
    const int descriptors = open_descriptors();
    for (int cancel_at : {1, 3, 7}) {
        {
            ReplacementFile movie("movie.mpg");
            ScriptedProgress progress(cancel_at);
            EXPECT_EQ(encode_movie(parameters, movie, progress), -1) << cancel_at;
            EXPECT_EQ(progress.fractions.size(), std::size_t(cancel_at));
        }
        EXPECT_EQ(open_descriptors(), descriptors);
        EXPECT_TRUE(no_child_left());
        EXPECT_FALSE(fs::exists("movie.mpg"));
    }
    EXPECT_EQ(files_starting_with(".").size(), 0u) << "no temporary left";
}

TEST_F(MpegEncoder, FailuresGiveMinusOneAndOneLineNamingTheCause) {
    const std::string parameters = prepare(4);
    fs::remove(temp_frame_name(2));
    struct Case {
        const char* name;
        std::string parameter_file;
        const char* path;  // PATH for the run; null keeps it
        const char* cause;
    };
    const fs::path empty_dir = dir_ / "empty_bin";
    fs::create_directory(empty_dir);
    const Case cases[] = {
        {"missing frame", parameters, nullptr, "frame2.ppm"},
        {"missing parameter file", "no_such.paramet", nullptr, "no_such.paramet"},
        {"encoder not installed", parameters, empty_dir.c_str(), "not installed"},
    };
    const std::string saved_path = std::getenv("PATH") ? std::getenv("PATH") : "";
    for (const Case& c : cases) {
        if (c.path)
            setenv("PATH", c.path, 1);
        ReplacementFile movie("movie.mpg");
        ScriptedProgress progress;
        testing::internal::CaptureStderr();
        const int result = encode_movie(c.parameter_file, movie, progress);
        const std::string diagnostics = testing::internal::GetCapturedStderr();
        setenv("PATH", saved_path.c_str(), 1);
        EXPECT_EQ(result, -1) << c.name;
        EXPECT_NE(diagnostics.find(c.cause), std::string::npos) << c.name << ": " << diagnostics;
        EXPECT_EQ(std::count(diagnostics.begin(), diagnostics.end(), '\n'), 1) << diagnostics;
        EXPECT_TRUE(no_child_left());
    }
}

TEST_F(MpegEncoder, NeitherASilentEncoderNorOneWhoseChildHoldsThePipeHoldsUsUp) {
    const std::string parameters = prepare(4);
    const fs::path encoder_pid = dir_ / "encoder.pid";
    const fs::path child_pid = dir_ / "child.pid";
    struct Case {
        const char* name;
        std::string script;
        std::chrono::milliseconds silence_limit;
        int result;
        const char* said;
    };
    const Case cases[] = {
        // Prints nothing and never ends: stopped after the silence limit, and its child too.
        {"silent",
         "echo $$ > " + encoder_pid.string() + "; sleep 1000 & echo $! > " + child_pid.string() +
             "; wait",
         std::chrono::milliseconds(300), -1, "printed nothing"},
        // Ends at once, its child keeps the pipes open: the encoder's end is the end of the
        // wait (within the limit, which would fail it otherwise), and the child is ended.
        {"child holds the pipes",
         "echo $$ > " + encoder_pid.string() + "; sleep 1000 & echo $! > " + child_pid.string() +
             "; printf movie >&3",
         std::chrono::milliseconds(20000), 0, ""},
    };
    for (const Case& c : cases) {
        const FakeEncoder fake(dir_ / "bin", c.script);
        ReplacementFile movie("movie.mpg");
        ScriptedProgress progress;
        testing::internal::CaptureStderr();
        EXPECT_EQ(encode_movie(parameters, movie, progress, c.silence_limit), c.result) << c.name;
        const std::string diagnostics = testing::internal::GetCapturedStderr();
        EXPECT_NE(diagnostics.find(c.said), std::string::npos) << c.name << ": " << diagnostics;
        EXPECT_TRUE(no_child_left()) << c.name;
        EXPECT_TRUE(process_ended(pid_in(encoder_pid))) << c.name;
        EXPECT_TRUE(process_ended(pid_in(child_pid))) << c.name;
        if (c.result == 0) {
            ASSERT_EQ(movie.commit(), 0);
            EXPECT_EQ(read_text("movie.mpg"), "movie");
            EXPECT_EQ(progress.fractions, std::vector<float>{1.0f});
        }
    }
}

}  // namespace
