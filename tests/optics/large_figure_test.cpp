#include "optics/large_figure.h"

#include <gtest/gtest.h>

#include "support/default_record.h"

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
