#include "output/encoded_movie.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "model/texts.h"
#include "output/movie_pipeline.h"
#include "render/frame_rendering.h"
#include "support/movie_decoding.h"
#include "support/movie_test_support.h"
#include "support/scripted_progress.h"
#include "support/temp_directory.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Names = std::vector<std::string>;

// A computed animation with many interference colours (a thick section) and the overlay
// of the full range: 36 frames of 100 pixels, 10° a frame.
Figure colourful_animation() {
    ParameterRecord record{};
    set_default_parameters(record);
    record.draw_mode = kAnimation;
    record.draw_range = kFullRange;
    record.thickness = 150;
    record.image_size = 100;
    record.sampling_step = 10;
    record.mean_index = std::sqrt(record.omega * record.epsilon);
    ScriptedProgress progress;
    return *compute_figure(prepare_draw(record), progress);
}

constexpr int kSide = 240;
constexpr float kFps = 9.0f;  // 90° per second at 10° a frame

// Mean absolute difference of two RGB frames of side kSide, per byte, after averaging each
// over blocks of block × block pixels: block 1 compares pixels, larger blocks compare what
// the eye sees of a fine pattern.
double mean_difference(const Bytes& a, const Bytes& b, int block) {
    double total = 0;
    int count = 0;
    for (int by = 0; by + block <= kSide; by += block)
        for (int bx = 0; bx + block <= kSide; bx += block)
            for (int c = 0; c < 3; ++c) {
                int sum_a = 0, sum_b = 0;
                for (int y = by; y < by + block; ++y)
                    for (int x = bx; x < bx + block; ++x) {
                        sum_a += a[(std::size_t(y) * kSide + x) * 3 + c];
                        sum_b += b[(std::size_t(y) * kSide + x) * 3 + c];
                    }
                total += std::abs(sum_a - sum_b) / double(block * block);
                ++count;
            }
    return total / count;
}

// The top-level boxes of an MP4 file, in order.
Names mp4_boxes(const Bytes& file) {
    Names boxes;
    for (std::size_t at = 0; at + 8 <= file.size();) {
        const std::uint64_t size = (std::uint64_t(file[at]) << 24) | (file[at + 1] << 16) |
                                   (file[at + 2] << 8) | file[at + 3];
        boxes.emplace_back(file.begin() + std::ptrdiff_t(at) + 4,
                           file.begin() + std::ptrdiff_t(at) + 8);
        if (size < 8)
            break;
        at += size;
    }
    return boxes;
}

// The loop count of the GIF's NETSCAPE2.0 application extension, -1 when it has none.
int gif_loop_count(const Bytes& file) {
    const std::string bytes(file.begin(), file.end());
    const std::size_t at = bytes.find("NETSCAPE2.0");
    if (at == std::string::npos || at + 16 > bytes.size() || file[at + 11] != 3 ||
        file[at + 12] != 1)
        return -1;
    return file[at + 13] | (file[at + 14] << 8);
}

class EncodedMovie : public TempDirectoryTest {
  protected:
    void SetUp() override {
        TempDirectoryTest::SetUp();
        ASSERT_EQ(load_movie_encoders(LUMITRA_MOVIE_MODULE_PATH), std::nullopt);
    }
};

TEST_F(EncodedMovie, EachFormatDecodesToTheMovieFramesAtTwentyFourPerSecond) {
    const Figure figure = colourful_animation();
    const ToneTable tones = build_tone_table(figure.encoding_gamma, figure.reference_light,
                                             figure.encoding_gamma, figure.reference_light);
    const std::vector<int> frames = movie_frame_list(figure.frames, kFps);
    ASSERT_EQ(frames.size(), 94u);  // frame 35 is shown up to movie frame 35 × 24 / 9
    const Bytes first = render_movie_frame(figure, 0, tones, kSide);
    // Tolerances in levels of 255, about 1.5 times what the encoders give here. H.264 and VP9
    // are lossy and keep colour at half resolution (4:2:0), which smears the one-pixel
    // overlay circle and the steep colour changes of the outer rings: pixel by pixel they
    // are off by about 3 levels, averaged over 4 × 4 pixels by about 1. Converting with other
    // colour coefficients than the movie is tagged with would double the second. The GIF is
    // exact outside the figure and on the overlay but dithers between its 256 colours inside:
    // off by about 4 levels pixel by pixel, by 1.5 averaged over 4 × 4 pixels.
    struct Case {
        OutputFormat format;
        const char* name;
        const char* codec;
        double pixel_tolerance;
        double block_tolerance;
    };
    const Case cases[] = {
        {OutputFormat::kMp4, "movie.mp4", "h264", 5.0, 1.8},
        {OutputFormat::kWebm, "movie.webm", "vp9", 5.0, 1.8},
        {OutputFormat::kGif, "movie.gif", "gif", 6.0, 2.2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(encoded_movie_unavailable(c.format), std::nullopt);
        ScriptedProgress progress;
        ASSERT_EQ(write_encoded_movie(c.name, c.format, figure, tones, kSide, kFps, progress), 1);
        EXPECT_EQ(entries(), Names{c.name});

        const DecodedMovie movie = decode_movie(c.name);
        ASSERT_TRUE(movie.opened);
        EXPECT_EQ(movie.codec, c.codec);
        EXPECT_EQ(movie.width, kSide);
        EXPECT_EQ(movie.height, kSide);
        EXPECT_EQ(av_cmp_q(movie.frame_rate, AVRational{24, 1}), 0);
        ASSERT_EQ(movie.times.size(), frames.size());
        // A GIF counts time in hundredths of a second.
        for (std::size_t m = 0; m < frames.size(); ++m)
            ASSERT_NEAR(movie.times[m], double(m) / 24.0, 0.0051) << "frame " << m;

        ASSERT_EQ(movie.first_rgb.size(), first.size());
        const double pixels = mean_difference(first, movie.first_rgb, 1);
        const double blocks = mean_difference(first, movie.first_rgb, 4);
        EXPECT_LE(pixels, c.pixel_tolerance);
        EXPECT_LE(blocks, c.block_tolerance);

        // Both phases of a GIF (its colours, then the movie), the movie's alone otherwise, each
        // ending on exactly 1.0.
        const bool gif = c.format == OutputFormat::kGif;
        const Names phases =
            gif ? Names{texts::enlarging, texts::creating_mpeg} : Names{texts::creating_mpeg};
        EXPECT_EQ(progress.messages, phases);
        ASSERT_EQ(progress.fractions.size(), (gif ? figure.frames : 0) + frames.size());
        EXPECT_EQ(progress.fractions.back(), 1.0f);

        const Bytes file = read_bytes(c.name);
        if (c.format == OutputFormat::kMp4) {
            EXPECT_EQ(movie.pixel_format, "yuv420p");
            EXPECT_EQ(movie.profile, FF_PROFILE_H264_HIGH);
            // The index before the data, so that a browser plays while it loads.
            const Names boxes = mp4_boxes(file);
            const auto moov = std::find(boxes.begin(), boxes.end(), "moov");
            const auto mdat = std::find(boxes.begin(), boxes.end(), "mdat");
            EXPECT_TRUE(moov < mdat && mdat != boxes.end()) << testing::PrintToString(boxes);
        }
        if (c.format == OutputFormat::kWebm) {
            EXPECT_EQ(movie.pixel_format, "yuv420p");
        }
        if (gif) {
            EXPECT_EQ(gif_loop_count(file), 0);  // for ever
            // The corners of the colour cube are kept exactly: the white outside, the
            // overlay's green circle and yellow marks.
            for (std::size_t i = 0; i < first.size(); i += 3) {
                const bool corner = std::all_of(first.begin() + i, first.begin() + i + 3,
                                                [](std::uint8_t v) { return v == 0 || v == 255; });
                if (corner) {
                    ASSERT_TRUE(std::equal(first.begin() + i, first.begin() + i + 3,
                                           movie.first_rgb.begin() + i))
                        << "pixel " << i / 3;
                }
            }
        }
        std::filesystem::remove(c.name);
    }
}

TEST_F(EncodedMovie, CancelLeavesTheOlderFileAndNothingElse) {
    const Figure figure = small_animation(16, 20);
    const std::size_t movie_frames = movie_frame_list(20, 24.0f).size();
    struct Case {
        OutputFormat format;
        const char* name;
        int cancel_at;
    };
    const Case cases[] = {
        {OutputFormat::kMp4, "movie.mp4", 1},
        {OutputFormat::kMp4, "movie.mp4", 10},
        {OutputFormat::kMp4, "movie.mp4", int(movie_frames)},
        {OutputFormat::kWebm, "movie.webm", 10},
        {OutputFormat::kGif, "movie.gif", 1},                       // gathering colours
        {OutputFormat::kGif, "movie.gif", 20 + 1},                  // first movie frame
        {OutputFormat::kGif, "movie.gif", int(20 + movie_frames)},  // last movie frame
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(c.cancel_at));
        { std::ofstream(c.name) << "older movie"; }
        ScriptedProgress progress(c.cancel_at);
        EXPECT_EQ(
            write_encoded_movie(c.name, c.format, figure, identity_tones(), 32, 24.0f, progress),
            1);
        EXPECT_EQ(progress.fractions.size(), std::size_t(c.cancel_at));
        EXPECT_EQ(entries(), Names{c.name});
        EXPECT_EQ(read_text(c.name), "older movie");
        std::filesystem::remove(c.name);
    }
}

}  // namespace
