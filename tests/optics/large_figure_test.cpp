#include "optics/large_figure.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "optics/background_figure.h"
#include "optics/figure_computation.h"
#include "support/default_record.h"
#include "support/scripted_progress.h"

TEST(LargeFigure, SideIsTheFigureOrTheWholeRing) {
    // The ring of n sub-images of side N is N (1 + 1 / sin(180° / n)) across: 4.8637 N for
    // twelve (a 30° step), 3.6131 N for eight (45°), rounded after adding ½: 222 sub-images
    // make 1079.7 → 1080, 193 make 697.3 → 698 (194 would make 701).
    struct Case {
        int mode;
        float step;
        int side;
        int figure, canvas, frames;
    };
    const Case cases[] = {
        {kSingleImage, 0, 1080, 1080, 1080, 1},
        {kAnimation, 5, 1080, 1080, 1080, 72},
        {kRotationImage, 30, 1080, 222, 1080, 12},
        {kRotationImage, 45, 700, 193, 698, 8},
    };
    for (const Case& c : cases) {
        const DrawSetup setup = prepare_draw_at_side(record_for(c.mode, 100, c.step), c.side);
        EXPECT_EQ(setup.side, c.figure) << c.mode << " at " << c.side;
        EXPECT_EQ(setup.canvas_side, c.canvas) << c.mode << " at " << c.side;
        EXPECT_EQ(setup.frame_count, c.frames) << c.mode << " at " << c.side;
    }
}

TEST(LargeFigure, MemoryIsStatedAndARequestBeyondWhatIsAvailableRefused) {
    // 72 frames of 1080²: 72 × 3 499 200 = 251 942 400 bytes of levels; each of two workers
    // adds 1080² × 3 floats = 13 996 800 bytes, 279 936 000 bytes in all.
    const DrawSetup animation = prepare_draw_at_side(record_for(kAnimation, 100, 5), 1080);
    const std::uint64_t needed = figure_memory(animation, 2);
    EXPECT_EQ(needed, 279936000u);
    struct Case {
        std::uint64_t available;
        bool fits;
        const char* statement;
    };
    const Case cases[] = {
        {280000000, true, "72 frames of 1080 × 1080 pixels take 280 MB"},
        {279936000, true, "72 frames of 1080 × 1080 pixels take 280 MB"},
        {100000000, false,
         "72 frames of 1080 × 1080 pixels take 280 MB, more than the 100 MB this machine has "
         "available; choose a smaller size or a larger step"},
    };
    for (const Case& c : cases) {
        const MemoryCheck check = check_memory(animation, needed, c.available);
        EXPECT_EQ(check.fits, c.fits) << c.available;
        EXPECT_EQ(check.statement, c.statement);
    }
    EXPECT_GT(available_memory(), 0u);
}

TEST(LargeFigure, BackgroundComputationIsTheFigureOrNothingWhenDropped) {
    const DrawSetup setup = prepare_draw(record_for(kAnimation, 60, 30));
    ScriptedProgress progress;
    const std::optional<Figure> direct = compute_figure(setup, progress);
    ASSERT_TRUE(direct.has_value());

    BackgroundFigure background;
    background.start(setup);
    std::optional<Figure> result;
    for (int i = 0; i < 6000 && !result; ++i) {
        result = background.take();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(result.has_value());
    EXPECT_FALSE(background.busy());
    EXPECT_TRUE(result->pixels == direct->pixels);
    EXPECT_EQ(result->reference_light, direct->reference_light);

    // Dropped at once, a computation leaves nothing to take and no thread behind.
    background.start(prepare_draw_at_side(record_for(kAnimation, 60, 1), 1080));
    background.cancel();
    EXPECT_FALSE(background.busy());
    EXPECT_FALSE(background.take().has_value());
}
