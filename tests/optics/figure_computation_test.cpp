#include "optics/figure_computation.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <numbers>
#include <tuple>
#include <vector>

#include "model/texts.h"
#include "optics/crystal_model.h"
#include "optics/ray_geometry.h"
#include "optics/rounding.h"
#include "support/default_record.h"
#include "support/scripted_progress.h"

namespace {

Figure draw(const ParameterRecord& record) {
    ScriptedProgress progress;
    std::optional<Figure> figure = compute_figure(prepare_draw(record), progress);
    EXPECT_TRUE(figure.has_value());
    return figure ? std::move(*figure) : Figure{};
}

const std::uint8_t* pixel(const Figure& f, int frame, int column, int row) {
    return f.frame(frame).data() + 3 * (std::size_t(row) * f.side + column);
}

TEST(PrepareDraw, FrameCountsAndSides) {
    struct Case {
        int mode;
        float size, step;
        int frames, side, canvas;
    };
    const Case cases[] = {
        {kSingleImage, 200, 0, 1, 200, 200},     {kSingleImage, 200.9f, 30, 1, 200, 200},
        {kRotationImage, 120, 30, 12, 120, 584}, {kAnimation, 100, 5, 72, 100, 100},
        {kAnimation, 100, 7, 51, 100, 100},      {kRotationImage, 76, 15, 24, 76, 659},
        {kRotationImage, 182, 45, 8, 182, 658},
    };
    for (const Case& c : cases) {
        const DrawSetup s = prepare_draw(record_for(c.mode, c.size, c.step));
        EXPECT_EQ(s.frame_count, c.frames) << c.mode << " " << c.step;
        EXPECT_EQ(s.frame_count_real, float(c.frames));
        EXPECT_EQ(s.side, c.side);
        EXPECT_EQ(s.canvas_side, c.canvas) << c.mode << " " << c.step;
        EXPECT_EQ(s.radius, c.side / 2.0f);
        EXPECT_EQ(s.encoding_gamma, 2.4f);
    }
    // The mean index follows the crystal kind.
    ParameterRecord record = record_for(kSingleImage, 200);
    EXPECT_FLOAT_EQ(prepare_draw(record).mean_index, std::sqrt(1.544f * 1.553f));
    record.axis_type = kBiaxial;
    EXPECT_FLOAT_EQ(prepare_draw(record).mean_index, std::sqrt(1.552f * 1.587f));
}

TEST(LevelEncoder, MatchesTheRoundedPowerLaw) {
    const LevelEncoder encode(2.4f);
    EXPECT_EQ(encode(0.0), 0);
    EXPECT_EQ(encode(1.0), 254);
    EXPECT_EQ(encode(0.5), 190);  // round(254 × 0.5^(1/2.4))
    for (int i = 0; i <= 1000000; ++i) {
        const double x = std::pow(i / 1e6, 3.0);  // dense near 0, where the levels crowd
        const double exact = 254.0 * std::pow(x, 1.0 / double(2.4f));  // G is single precision
        // Exactly on a half level either neighbour is acceptable.
        if (std::abs(exact - std::floor(exact) - 0.5) < 1e-9)
            continue;
        ASSERT_EQ(encode(x), round_half_away(exact)) << x;
    }
}

TEST(ComputeFigure, SingleImageOf200PixelsWithWhiteCornersAndDarkMelatope) {
    const Figure f = draw(record_for(kSingleImage, 200));
    EXPECT_EQ(f.pixels.size(), 120000u);
    EXPECT_EQ(f.side, 200);
    EXPECT_EQ(f.frames, 1);
    EXPECT_EQ(f.encoding_gamma, 2.4f);
    for (auto [c, r] : {std::pair{0, 0}, {199, 0}, {0, 199}, {199, 199}})
        for (int q = 0; q < 3; ++q)
            EXPECT_EQ(pixel(f, 0, c, r)[q], 255);
    // No pixel of an even figure lies on the axis: the four around it are barely lit.
    for (auto [c, r] : {std::pair{99, 99}, {100, 99}, {99, 100}, {100, 100}})
        for (int q = 0; q < 3; ++q)
            EXPECT_EQ(pixel(f, 0, c, r)[q], 1) << c << " " << r;
    // Inside the circle no level reaches 255.
    int brightest = 0;
    for (int r = 0; r < 200; ++r)
        for (int c = 0; c < 200; ++c) {
            const double x = c - 99.5, y = 99.5 - r;
            if (x * x + y * y > 100.0 * 100.0)
                continue;
            for (int q = 0; q < 3; ++q) {
                ASSERT_LE(pixel(f, 0, c, r)[q], 254);
                brightest = std::max(brightest, int(pixel(f, 0, c, r)[q]));
            }
        }
    EXPECT_EQ(brightest, 254);
}

TEST(ComputeFigure, OddFigureHasItsMelatopeOnTheCentrePixel) {
    const Figure f = draw(record_for(kSingleImage, 201));
    for (int q = 0; q < 3; ++q)
        EXPECT_EQ(pixel(f, 0, 100, 100)[q], 0);
}

TEST(ComputeFigure, LevelsAreThePowerLawOfTheFrameValues) {
    ParameterRecord record = record_for(kSingleImage, 90);
    record.no_test_plate = 0;
    const DrawSetup setup = prepare_draw(record);
    auto model = make_crystal_model(setup);
    model->orient_for_frame(0);
    std::vector<float> values(3 * 90 * 90);
    const float largest = compute_frame(setup, *model, values);
    const Figure f = draw(record);
    EXPECT_FLOAT_EQ(f.reference_light, 1.0f / largest);
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i] < 0) {
            ASSERT_EQ(f.pixels[i], 255);
            continue;
        }
        const double exact = 254.0 * std::pow(double(values[i]) / largest, 1.0 / 2.4);
        ASSERT_NEAR(f.pixels[i], exact, 0.5 + 1e-9) << i;
    }
}

TEST(ComputeFigure, AnimationFramesAreRescaledToTheBrightestFrame) {
    // C tilted: the frames differ in brightness as the stage turns.
    ParameterRecord record = record_for(kAnimation, 40, 30);
    record.c_axis_theta = 50;
    record.no_test_plate = 0;
    const DrawSetup setup = prepare_draw(record);
    ASSERT_EQ(setup.frame_count, 12);
    auto model = make_crystal_model(setup);
    std::vector<float> values(3 * 40 * 40);
    std::vector<std::vector<float>> frames;
    float brightest = 0;
    for (int k = 0; k < 12; ++k) {
        model->orient_for_frame(k);
        brightest = std::max(brightest, compute_frame(setup, *model, values));
        frames.push_back(values);
    }
    const Figure f = draw(record);
    EXPECT_EQ(f.frames, 12);
    EXPECT_EQ(f.pixels.size(), 12u * 3 * 40 * 40);
    int top = 0;
    for (int k = 0; k < 12; ++k) {
        const float m = *std::max_element(frames[k].begin(), frames[k].end());
        for (std::size_t i = 0; i < frames[k].size(); ++i) {
            const std::uint8_t level = f.frame(k)[i];
            if (frames[k][i] < 0) {
                ASSERT_EQ(level, 255);
                continue;
            }
            top = std::max(top, int(level));
            // Two roundings: against the frame's own largest value, then across frames.
            const double own = std::round(254.0 * std::pow(frames[k][i] / m, 1 / 2.4));
            const double across = own * std::pow(double(m) / brightest, 1 / 2.4);
            ASSERT_NEAR(level, across, 0.5 + 1e-6) << k << " " << i;
        }
    }
    EXPECT_EQ(top, 254);
    EXPECT_FLOAT_EQ(f.reference_light, 1.0f / brightest);
}

TEST(ComputeFigure, FrameCountsOfStepsThatDoNotDivide360) {
    for (auto [step, frames] : {std::pair{5.0f, 72}, {7.0f, 51}, {10.0f, 36}}) {
        const Figure f = draw(record_for(kAnimation, 20, step));
        EXPECT_EQ(f.frames, frames);
        EXPECT_EQ(f.side, 20);
        EXPECT_EQ(f.pixels.size(), std::size_t(frames) * 3 * 20 * 20);
    }
}

TEST(ComputeFigure, RotationImageRingsFramesCounterClockwiseFromTheRight) {
    const Figure ring = draw(record_for(kRotationImage, 120, 30));
    EXPECT_EQ(ring.side, 584);
    EXPECT_EQ(ring.frames, 1);
    EXPECT_EQ(ring.pixels.size(), 3u * 584 * 584);
    const Figure frames = draw(record_for(kAnimation, 120, 30));
    ASSERT_EQ(frames.frames, 12);
    // Frame k's top-left corner, the ring radius being (584 − 120) / 2 = 232.
    auto corner = [](int k) {
        const double a = 30.0 * k * std::numbers::pi / 180.0;
        return std::pair{round_half_away(232 + 232 * std::cos(a)),
                         round_half_away(232 - 232 * std::sin(a))};
    };
    EXPECT_EQ(corner(0), (std::pair{464, 232}));
    EXPECT_EQ(corner(3), (std::pair{232, 0}));
    for (int k = 0; k < 12; ++k) {
        const auto [x0, y0] = corner(k);
        int same = 0, inside = 0;
        for (int r = 0; r < 120; ++r)
            for (int c = 0; c < 120; ++c) {
                const std::uint8_t* source = pixel(frames, k, c, r);
                if (source[0] == 255)
                    continue;
                ++inside;
                same += std::memcmp(source, pixel(ring, 0, x0 + c, y0 + r), 3) == 0;
            }
        // Neighbouring circles touch; only the later one shows at the touching point.
        EXPECT_GE(same, inside - 4) << k;
    }
    // Frame 0 fills columns 464 … 583 and rows 232 … 351 and nothing beyond.
    EXPECT_NE(pixel(ring, 0, 464, 291)[0], 255);
    EXPECT_NE(pixel(ring, 0, 583, 292)[0], 255);
    EXPECT_NE(pixel(ring, 0, 523, 232)[0], 255);
    EXPECT_NE(pixel(ring, 0, 524, 351)[0], 255);
    EXPECT_EQ(pixel(ring, 0, 463, 291)[0], 255);
    EXPECT_EQ(pixel(ring, 0, 523, 352)[0], 255);
    // The centre of the ring is white.
    EXPECT_EQ(pixel(ring, 0, 292, 292)[0], 255);
}

TEST(ComputeFigure, ReportsProgressAfterEveryFrame) {
    ScriptedProgress progress;
    ASSERT_TRUE(compute_figure(prepare_draw(record_for(kAnimation, 20, 30)), progress));
    ASSERT_EQ(progress.messages.size(), 1u);
    EXPECT_EQ(progress.messages[0], texts::computing);
    ASSERT_EQ(progress.fractions.size(), 12u);
    for (int k = 0; k < 12; ++k)
        EXPECT_FLOAT_EQ(progress.fractions[k], (k + 1) / 12.0f);
    EXPECT_EQ(progress.fractions.back(), 1.0f);
}

std::size_t bytes_in_use() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

TEST(ComputeFigure, CancelDuringTheThirdOfTwelveFramesLeavesNothing) {
    const DrawSetup setup = prepare_draw(record_for(kRotationImage, 120, 30));
    // The first runs also build what lives for the whole run (the colour table) and fill
    // the allocator's caches; from then on every cancelled Draw must return all it took.
    std::vector<std::size_t> in_use;
    for (int run = 0; run < 5; ++run) {
        ScriptedProgress progress(3);
        progress.fractions.reserve(16);
        progress.messages.reserve(4);  // the message itself is short enough to need no heap
        const std::size_t before = bytes_in_use();
        const std::optional<Figure> figure = compute_figure(setup, progress);
        in_use.push_back(bytes_in_use() - before);
        EXPECT_FALSE(figure.has_value());
        EXPECT_EQ(progress.fractions.size(), 3u);
    }
    for (int run = 2; run < 5; ++run)
        EXPECT_EQ(in_use[run], 0u) << run;
}

// Threads of this process, as the kernel lists them.
int running_threads() {
    const std::filesystem::directory_iterator tasks("/proc/self/task");
    return static_cast<int>(std::distance(begin(tasks), end(tasks)));
}

TEST(ComputeFigure, CancelDuringAThreadedDrawLeavesNoWorkerRunning) {
    class CountingProgress : public ScriptedProgress {
      public:
        CountingProgress() : ScriptedProgress(3) {}
        bool update(float fraction) override {
            threads.push_back(running_threads());
            return ScriptedProgress::update(fraction);
        }
        std::vector<int> threads;
    };
    const int before = running_threads();
    CountingProgress progress;
    const DrawSetup setup = prepare_draw(record_for(kAnimation, 60, 10));
    EXPECT_FALSE(compute_figure(setup, progress, 3).has_value());
    EXPECT_EQ(progress.fractions.size(), 3u);
    ASSERT_FALSE(progress.threads.empty());
    EXPECT_EQ(progress.threads[0], before + 3);  // the workers report on this thread
    EXPECT_EQ(running_threads(), before);
}

// Whichever worker computes a pixel, and however the frames and their rows are shared out,
// the bytes are those of one worker alone, with antialiasing too (which looks at the rows
// above and below, computed by other workers).
TEST(ComputeFigure, WorkersDoNotChangeAByte) {
    std::vector<ParameterRecord> records;
    records.push_back(record_for(kSingleImage, 61));
    ParameterRecord slowest = record_for(kSingleImage, 60);
    slowest.axis_type = kBiaxial;
    slowest.thickness = 3000;
    slowest.draw_range = kFullRange;
    slowest.projection_kind = kWulffProjection;
    slowest.no_test_plate = 0;
    records.push_back(slowest);
    ParameterRecord ring = record_for(kRotationImage, 40, 45);  // eight frames
    ring.axis_type = kBiaxial;
    ring.no_test_plate = 0;
    records.push_back(ring);
    ParameterRecord turning = record_for(kAnimation, 33, 10);
    turning.c_axis_theta = 50;
    turning.draw_range = kFullRange;
    records.push_back(turning);
    for (const ParameterRecord& record : records)
        for (bool antialias : {false, true}) {
            DrawSetup setup = prepare_draw(record);
            setup.antialias = antialias;
            ScriptedProgress progress;
            const std::optional<Figure> alone = compute_figure(setup, progress, 1);
            ASSERT_TRUE(alone.has_value());
            // Two workers take the rotation image's frames apart, five share out the rows of each.
            for (int workers : {2, 5}) {
                const std::optional<Figure> shared = compute_figure(setup, progress, workers);
                ASSERT_TRUE(shared.has_value());
                EXPECT_EQ(shared->side, alone->side);
                EXPECT_EQ(shared->frames, alone->frames);
                EXPECT_EQ(shared->reference_light, alone->reference_light);
                EXPECT_TRUE(shared->pixels == alone->pixels)
                    << "mode " << record.draw_mode << ", " << workers << " workers"
                    << (antialias ? ", antialiased" : "");
            }
        }
}

// Without birefringence no light passes, whatever the rounding of the pixel loop leaves: a
// biaxial crystal with α = γ as much as a uniaxial one with ω = ε, thick or antialiased.
TEST(ComputeFigure, FigureWithoutAnyLightIsBlackWithReferenceLightOne) {
    for (const auto& [mode, axes, thickness, antialias] :
         {std::tuple{kSingleImage, kUniaxial, 500.0f, false},
          {kAnimation, kUniaxial, 500.0f, false},
          {kSingleImage, kBiaxial, 500.0f, false},
          {kAnimation, kBiaxial, 500.0f, false},
          {kSingleImage, kBiaxial, 3000.0f, true}}) {
        ParameterRecord record = record_for(mode, 50, 45);
        record.axis_type = axes;
        record.omega = record.epsilon = record.alpha = record.gamma = 2.5f;
        record.thickness = thickness;
        DrawSetup setup = prepare_draw(record);
        setup.antialias = antialias;
        ScriptedProgress progress;
        const Figure f = compute_figure(setup, progress).value();
        EXPECT_EQ(f.reference_light, 1.0f);
        for (std::uint8_t level : f.pixels)
            ASSERT_TRUE(level == 0 || level == 255);
        EXPECT_EQ(pixel(f, 0, 25, 25)[0], 0);
    }
}

}  // namespace
