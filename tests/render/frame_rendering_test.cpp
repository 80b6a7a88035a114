#include "render/frame_rendering.h"
#include "render/enlargement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "model/parameter_record.h"
#include "optics/figure_computation.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::uint8_t* pixel(const Bytes& b, int side, int x, int y) {
    return b.data() + (std::size_t(y) * side + x) * 3;
}

bool is_white(const std::uint8_t* p) {
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
}

// A display-converted frame: white outside the inscribed circle, levels inside.
Bytes figure_like(int side, std::uint32_t seed, bool smooth) {
    Bytes b(std::size_t(3) * side * side, 255);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> level(0, 254);
    const double c = side * 0.5 - 0.5;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            if (std::hypot(x - c, y - c) > side * 0.5)
                continue;
            std::uint8_t* p = b.data() + (std::size_t(y) * side + x) * 3;
            if (smooth) {
                p[0] = static_cast<std::uint8_t>(127 + 127 * std::sin(x * 0.3));
                p[1] = static_cast<std::uint8_t>(127 + 127 * std::cos(y * 0.2));
                p[2] = static_cast<std::uint8_t>((x + y) % 255);
            } else {
                p[0] = static_cast<std::uint8_t>(level(random));
                p[1] = static_cast<std::uint8_t>(level(random));
                p[2] = static_cast<std::uint8_t>(level(random));
            }
        }
    }
    return b;
}

TEST(DisplayConversion, MapsEveryByteThroughTheToneTable) {
    ToneTable tones{};
    for (int i = 0; i < 256; ++i)
        tones[i] = static_cast<std::uint8_t>(255 - i);
    const Bytes source = {0, 1, 254, 255, 100, 7};
    Bytes out(source.size());
    convert_for_display(source, tones, out);
    EXPECT_EQ(out, (Bytes{255, 254, 1, 0, 155, 248}));
}

TEST(EnlargeFrame, SameSideKeepsEveryUsablePixelAndWhitensTheOutside) {
    for (bool smooth : {true, false}) {
        const int side = 240;
        Bytes source = figure_like(side, 7, smooth);
        // Red and blue may saturate to 255 while green does not: still usable, shown as 254.
        source[(std::size_t(32) * side + 32) * 3] = 255;
        source[(std::size_t(33) * side + 30) * 3 + 2] = 255;
        Bytes out(source.size(), 1);
        enlarge_frame(source, side, out, side);
        const double q = side * 0.5 - 0.5;
        int mismatches = 0;
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const std::uint8_t* in = pixel(source, side, x, y);
                const std::uint8_t* o = pixel(out, side, x, y);
                if ((x - q) * (x - q) + (q - y) * (q - y) > side * side / 4.0) {
                    EXPECT_TRUE(is_white(o)) << x << "," << y;
                } else if (in[1] != 255) {
                    for (int c = 0; c < 3; ++c)
                        mismatches += o[c] != std::min<int>(in[c], 254);
                }
            }
        }
        EXPECT_EQ(mismatches, 0) << (smooth ? "smooth" : "random");
    }
}

// The piecewise bilinear surface through the source pixels, evaluated directly.
double bilinear(const Bytes& source, int S, int T, int channel, int Xo, int Yo) {
    const double r = double(T - 1) / (S - 1);
    const double sx = Xo / r, sy = Yo / r;
    const int x = std::min(int(sx), S - 2), y = std::min(int(sy), S - 2);
    const double s = sx - x, t = sy - y;
    auto v = [&](int xx, int yy) { return double(pixel(source, S, xx, yy)[channel]); };
    return v(x, y) * (1 - s) * (1 - t) + v(x + 1, y) * s * (1 - t) + v(x, y + 1) * (1 - s) * t +
           v(x + 1, y + 1) * s * t;
}

TEST(EnlargeFrame, FullCellsInterpolateBilinearly) {
    const int S = 4, T = 31;  // r = 10: corners land on whole pixels
    Bytes source(3 * S * S);
    for (std::size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<std::uint8_t>((i * 37) % 250);
    Bytes out(std::size_t(3) * T * T, 1);
    enlarge_frame(source, S, out, T);
    const double q = T * 0.5 - 0.5;
    for (int Yo = 0; Yo < T; ++Yo) {
        for (int Xo = 0; Xo < T; ++Xo) {
            const std::uint8_t* o = pixel(out, T, Xo, Yo);
            if ((Xo - q) * (Xo - q) + (q - Yo) * (q - Yo) > T * T / 4.0) {
                EXPECT_TRUE(is_white(o));
                continue;
            }
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(o[c], bilinear(source, S, T, c, Xo, Yo), 0.5 + 1e-6)
                    << Xo << "," << Yo << " channel " << c;
        }
    }
}

TEST(EnlargeFrame, CellsWithMissingCornersFitTheRemainingOnes) {
    // One cell (S = 2) enlarged to T = 21 (r = 20): corners at (0,0), (20,0), (0,20), (20,20).
    // Empty corners have green 255. Expected values come from the plane, line or constant
    // through the usable corners, written out per case.
    struct Case {
        const char* name;
        int v[4];  // red of corners (0,0), (1,0), (0,1), (1,1); -1 = empty
        double (*expected)(double X, double Y);
    };
    const Case cases[] = {
        {"three corners: plane",
         {0, 200, -1, 100},
         [](double X, double Y) { return 200 * X / 20 - 100 * Y / 20; }},
        {"three corners, top-left empty",
         {-1, 40, 80, 120},
         [](double X, double Y) { return 2 * X + 4 * Y; }},
        {"two in a row", {-1, -1, 10, 210}, [](double X, double) { return 10 + 10 * X; }},
        {"two in a column", {30, -1, 230, -1}, [](double, double Y) { return 30 + 10 * Y; }},
        {"falling diagonal",
         {0, -1, -1, 200},
         [](double X, double Y) { return 200 * (X + Y) / 40; }},
        {"rising diagonal", {-1, 200, 0, -1}, [](double X, double Y) { return 100 + 5 * (X - Y); }},
        {"one corner", {-1, -1, 77, -1}, [](double, double) { return 77.0; }},
    };
    const int S = 2, T = 21;
    for (const Case& c : cases) {
        Bytes source(12);
        for (int i = 0; i < 4; ++i) {
            const bool empty = c.v[i] < 0;
            source[3 * i] = empty ? 255 : static_cast<std::uint8_t>(c.v[i]);
            source[3 * i + 1] = empty ? 255 : 50;
            source[3 * i + 2] = empty ? 255 : 60;
        }
        Bytes out(std::size_t(3) * T * T, 1);
        enlarge_frame(source, S, out, T);
        const double q = 10.0;
        for (int Yo = 0; Yo < T; ++Yo) {
            for (int Xo = 0; Xo < T; ++Xo) {
                const std::uint8_t* o = pixel(out, T, Xo, Yo);
                if ((Xo - q) * (Xo - q) + (q - Yo) * (q - Yo) > 110.25) {
                    EXPECT_TRUE(is_white(o));
                    continue;
                }
                const double want = std::clamp(c.expected(Xo, Yo), 0.0, 254.0);
                EXPECT_NEAR(o[0], want, 0.5 + 1e-6) << c.name << " at " << Xo << "," << Yo;
                EXPECT_EQ(o[1], 50) << c.name;
                EXPECT_EQ(o[2], 60) << c.name;
            }
        }
    }
}

TEST(EnlargeFrame, CellWithoutUsableCornerIsWhite) {
    Bytes source(12, 255);
    Bytes out(3 * 16 * 16, 1);
    enlarge_frame(source, 2, out, 16);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](std::uint8_t b) { return b == 255; }));
}

TEST(EnlargeFrame, HundredToTwoFortyWritesEveryPixelUpToTheLastRowAndColumn) {
    const int S = 100, T = 240;
    Bytes source(std::size_t(3) * S * S, 100);
    Bytes out(std::size_t(3) * T * T, 1);
    enlarge_frame(source, S, out, T);
    const double q = T * 0.5 - 0.5;
    for (int y = 0; y < T; ++y) {
        for (int x = 0; x < T; ++x) {
            const std::uint8_t* o = pixel(out, T, x, y);
            const bool outside = (x - q) * (x - q) + (q - y) * (q - y) > 120.0 * 120.0;
            if (outside) {
                ASSERT_TRUE(is_white(o)) << x << "," << y;
            } else {
                ASSERT_TRUE(o[0] == 100 && o[1] == 100 && o[2] == 100) << x << "," << y;
            }
        }
    }
    // The rim pixels of the last column and row lie inside the disc (119.5² + 0.5² < 120²)
    // and are computed, not left over or whitened.
    EXPECT_EQ(pixel(out, T, 239, 120)[0], 100);
    EXPECT_EQ(pixel(out, T, 119, 239)[0], 100);
    EXPECT_TRUE(is_white(pixel(out, T, 239, 239)));
}

TEST(EnlargeFrame, InsideChannelsNeverReach255) {
    // Steep saturated edges overshoot in the fit; the result is clipped to 0 … 254, and 255
    // appears only in the white outside.
    const int S = 40, T = 224;
    Bytes source = figure_like(S, 3, false);
    for (std::size_t i = 0; i < source.size(); i += 3) {
        if (source[i + 1] == 255)
            continue;
        source[i] = (i / 3) % 2 ? 255 : 0;
        source[i + 2] = (i / 3) % 3 ? 254 : 0;
    }
    Bytes out(std::size_t(3) * T * T);
    enlarge_frame(source, S, out, T);
    for (std::size_t i = 0; i < out.size(); i += 3) {
        if (is_white(&out[i]))
            continue;
        EXPECT_LE(out[i], 254);
        EXPECT_LE(out[i + 1], 254);
        EXPECT_LE(out[i + 2], 254);
    }
}

TEST(EnlargeFrame, ReductionAndTinySidesWriteEveryByte) {
    for (auto [S, T] : {std::pair{100, 48}, std::pair{1, 16}, std::pair{16, 1}}) {
        Bytes source(std::size_t(3) * S * S, 90);
        Bytes out(std::size_t(3) * T * T, 1);
        enlarge_frame(source, S, out, T);
        for (std::size_t i = 0; i < out.size(); i += 3)
            EXPECT_TRUE((out[i] == 90 && out[i + 1] == 90) || is_white(&out[i])) << S << "->" << T;
    }
}

}  // namespace
