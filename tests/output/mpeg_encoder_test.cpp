#include "output/mpeg_encoder.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "output/movie_pipeline.h"
#include "output/temp_directory.h"
#include "support/scripted_progress.h"

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
    static bool no_child_left() { return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD; }

    // n grey 16 × 16 frames and a parameter file listing them once each.
    static std::string prepare(int n) {
        for (int k = 0; k < n; ++k) {
            std::ofstream frame(temp_frame_name(kTempFramePrefix, k), std::ios::binary);
            frame << "P6 16 16 255\n" << std::string(16 * 16 * 3, char(40 + 5 * k));
        }
        return write_encoder_parameters(kTempMovie, kTempFramePrefix, n, 24.0f);
    }
};

TEST_F(MpegEncoder, ReportsAfterEachReferencePictureEndingOnOne) {
    // 17 frames: references at 0, 3, 6, 9, 12, 15 (I at the pattern's restart) and the last
    // frame 16, forced to a reference.
    const std::string parameters = prepare(17);
    const int descriptors = open_descriptors();
    ScriptedProgress progress;
    EXPECT_NE(encode_movie(parameters, progress), -1);
    const std::vector<float> expected = {1 / 17.f,  4 / 17.f,  7 / 17.f, 10 / 17.f,
                                         13 / 17.f, 16 / 17.f, 1.0f};
    EXPECT_EQ(progress.fractions, expected);
    EXPECT_TRUE(fs::file_size(kTempMovie) > 0);
    EXPECT_EQ(open_descriptors(), descriptors);
    EXPECT_TRUE(no_child_left());

    // A second run starts afresh.
    ScriptedProgress again;
    EXPECT_NE(encode_movie(parameters, again), -1);
    EXPECT_EQ(again.fractions, expected);
}

TEST_F(MpegEncoder, CancelEndsTheChildAndReturnsMinusOne) {
    const std::string parameters = prepare(17);
    const int descriptors = open_descriptors();
    for (int cancel_at : {1, 3, 7}) {
        ScriptedProgress progress(cancel_at);
        EXPECT_EQ(encode_movie(parameters, progress), -1) << cancel_at;
        EXPECT_EQ(progress.fractions.size(), std::size_t(cancel_at));
        EXPECT_EQ(open_descriptors(), descriptors);
        EXPECT_TRUE(no_child_left());
    }
}

TEST_F(MpegEncoder, FailuresGiveMinusOneAndOneLineNamingTheCause) {
    const std::string parameters = prepare(4);
    fs::remove(temp_frame_name(kTempFramePrefix, 2));
    struct Case {
        const char* name;
        std::string parameter_file;
        const char* path;  // PATH for the run; null keeps it
        const char* cause;
    };
    const fs::path empty_dir = dir_ / "empty_bin";
    fs::create_directory(empty_dir);
    const Case cases[] = {
        {"missing frame", parameters, nullptr, "_lumitra_pnm_tmp2.pnm"},
        {"missing parameter file", "no_such.paramet", nullptr, "no_such.paramet"},
        {"encoder not installed", parameters, empty_dir.c_str(), "not installed"},
    };
    const std::string saved_path = std::getenv("PATH") ? std::getenv("PATH") : "";
    for (const Case& c : cases) {
        if (c.path)
            setenv("PATH", c.path, 1);
        ScriptedProgress progress;
        testing::internal::CaptureStderr();
        const int result = encode_movie(c.parameter_file, progress);
        const std::string diagnostics = testing::internal::GetCapturedStderr();
        setenv("PATH", saved_path.c_str(), 1);
        EXPECT_EQ(result, -1) << c.name;
        EXPECT_NE(diagnostics.find(c.cause), std::string::npos) << c.name << ": " << diagnostics;
        EXPECT_EQ(std::count(diagnostics.begin(), diagnostics.end(), '\n'), 1) << diagnostics;
        EXPECT_TRUE(no_child_left());
    }
}

}  // namespace
