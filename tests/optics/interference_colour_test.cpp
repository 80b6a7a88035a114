#include "optics/interference_colour.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

namespace {

using Rgb = std::array<float, 3>;

// The spectral sum written out plainly, with the library's sine; clamped at 0 unless signed.
std::array<double, 3> plain_spectral_sum(double retardation, bool with_sign = false) {
    const SpectralWeights& w = spectral_weights();
    std::array<double, 3> out{};
    for (int i = 0; i < kWavelengthCount; ++i) {
        const double s = std::sin(3.141592653589793 * retardation / w.wavelength[i]);
        out[0] += s * s * w.red[i];
        out[1] += s * s * w.green[i];
        out[2] += s * s * w.blue[i];
    }
    for (double& c : out)
        c = with_sign ? c / w.normaliser : std::max(0.0, c / w.normaliser);
    return out;
}

Rgb without_plate(double retardation, double factor) {
    Rgb c;
    colour_without_plate(retardation, factor, c.data());
    return c;
}
Rgb with_plate(double retardation, double factor) {
    Rgb c;
    colour_with_plate(retardation, factor, c.data());
    return c;
}
Rgb entry(int j) {
    const ColourTable& t = retardation_colour_table();
    return {t[3 * j], t[3 * j + 1], t[3 * j + 2]};
}

void expect_rgb_near(const Rgb& actual, const std::array<double, 3>& expected, double tolerance,
                     const char* what) {
    for (int q = 0; q < 3; ++q)
        EXPECT_NEAR(actual[q], expected[q], tolerance) << what << " " << q;
}

TEST(SpectralWeights, SumsMakeTheSourceWarmerThanDisplayWhite) {
    const SpectralWeights& w = spectral_weights();
    EXPECT_NEAR(w.sums[0], 2572.61, 0.01);
    EXPECT_NEAR(w.sums[1], 2013.56, 0.01);
    EXPECT_NEAR(w.sums[2], 1195.65, 0.01);
    EXPECT_EQ(w.normaliser, w.sums[0]);
    EXPECT_NEAR(w.sums[1] / w.normaliser, 0.783, 5e-4);
    EXPECT_NEAR(w.sums[2] / w.normaliser, 0.465, 5e-4);
    EXPECT_EQ(w.wavelength[0], 380.0f);
    EXPECT_EQ(w.wavelength[80], 780.0f);
    // The observer is 0 at 780 nm in all three functions.
    EXPECT_EQ(w.red[80], 0.0f);
    EXPECT_EQ(w.blue[80], 0.0f);
}

TEST(InterferenceColour, WorkedColours) {
    struct Case {
        const char* what;
        double retardation, factor;
        bool plate;
        std::array<double, 3> expected;
    };
    const std::array<double, 3> first_order_red{0.2235, 0.0, 0.1358};
    const Case cases[] = {
        {"no retardation", 0, 1, false, {0, 0, 0}},
        {"no retardation, A = -1", 0, -1, false, {0, 0, 0}},
        {"530, A = 1", 530, 1, false, first_order_red},
        {"530, A = -1", 530, -1, false, first_order_red},
        {"-530, A = 1", -530, 1, false, first_order_red},
        {"isogyre with plate", 0, 0, true, first_order_red},
        {"isogyre with plate, any retardation", 1234.5, 0, true, first_order_red},
        {"first-order grey", 100, 1, false, {0.2197, 0.2355, 0.1998}},
        {"blue-green", 700, 1, false, {0.0368, 0.5060, 0.4832}},
        {"half the factor", 700, std::sqrt(0.5), false, {0.0184, 0.2530, 0.2416}},
    };
    for (const Case& c : cases) {
        const Rgb colour =
            c.plate ? with_plate(c.retardation, c.factor) : without_plate(c.retardation, c.factor);
        expect_rgb_near(colour, c.expected, 2e-4, c.what);
    }
}

TEST(InterferenceColour, PlateAddsOrSubtractsBySignsOfFactorAndRetardation) {
    struct Case {
        double retardation, factor;
        int plain;  // the retardation whose plain colour results
    };
    const Case cases[] = {{200, 1, 730},   {200, -1, 330}, {-200, 1, 330},
                          {-200, -1, 730}, {800, -1, 270}, {0, 1, 530}};
    for (const Case& c : cases) {
        const Rgb colour = with_plate(c.retardation, c.factor);
        const Rgb plain = without_plate(c.plain, 1);
        for (int q = 0; q < 3; ++q)
            EXPECT_NEAR(colour[q], plain[q], 1e-6) << c.retardation;
    }
    // Halfway between: the three colours weighted (A² ± A)/2 and 1 − A².
    const Rgb mixed = with_plate(200, 0.5);
    // (The entries, not the plain colours: those are clamped each on its own.)
    const Rgb add = entry(730), sub = entry(330), plate = entry(530);
    for (int q = 0; q < 3; ++q)
        EXPECT_NEAR(mixed[q], 0.375 * add[q] - 0.125 * sub[q] + 0.75 * plate[q], 1e-6);
}

// Section (Γ, A = sin 2χ) under an accessory Γp, slow direction NE–SW, from the Jones
// calculus: w1 sin²(π(Γ+Γp)/λ) + w2 sin²(π(Γ−Γp)/λ) + w3 sin²(πΓp/λ) over the spectrum.
TEST(InterferenceColour, PlateColoursAreTheSignedSpectralSumClampedOnce) {
    const struct {
        double retardation, a, plate;
        double old_error;  // at least this far off with each colour clamped on its own
    } cases[] = {
        // red kept from a clamped colour that a negative weight should have taken lower
        {670, 0.7, 530, 0.07},   {710, 0.5, 530, 0.06}, {-710, -0.5, 530, 0.06},
        {1790, -0.7, 530, 0.08}, {120, -0.6, 147, 0},   {-300, 0.4, 147, 0},
        {2500, -0.3, 2000, 0},   {12000, 0.6, 1500, 0},  // beyond the table
    };
    for (const auto& c : cases) {
        const double weights[3] = {(c.a * c.a + c.a) / 2, (c.a * c.a - c.a) / 2, 1 - c.a * c.a};
        const double terms[3] = {c.retardation + c.plate, c.retardation - c.plate, c.plate};
        std::array<double, 3> exact{}, old{};
        for (int t = 0; t < 3; ++t)
            for (int q = 0; q < 3; ++q) {
                exact[q] += weights[t] * plain_spectral_sum(terms[t], true)[q];
                old[q] += weights[t] * plain_spectral_sum(terms[t])[q];
            }
        Rgb colour;
        colour_with_plate(c.retardation, c.a, colour.data(), c.plate);
        double old_error = 0;
        for (int q = 0; q < 3; ++q) {
            exact[q] = std::clamp(exact[q], 0.0, 1.0);
            EXPECT_NEAR(colour[q], exact[q], 2e-5) << c.retardation << " " << c.a;
            old_error = std::max(old_error, std::abs(std::clamp(old[q], 0.0, 1.0) - exact[q]));
        }
        EXPECT_GE(old_error, c.old_error) << c.retardation << " " << c.a;
    }
}

TEST(InterferenceColour, SpectralSumIsUnclampedAboveAndClampedBelow) {
    Rgb c;
    spectral_colour(1000, c.data());
    EXPECT_NEAR(c[0], 1.021, 1e-3);
    EXPECT_EQ(without_plate(1000, 1)[0], 1.0f);
    spectral_colour(530, c.data());
    EXPECT_EQ(c[1], 0.0f);  // negative before the clamp
    signed_spectral_colour(530, c.data());
    EXPECT_LT(c[1], 0.0f);
}

TEST(InterferenceColour, TableInterpolatesBelowTheBoundAndSumsDirectlyFromIt) {
    const Rgb at_100_6 = without_plate(100.6, 1);
    const Rgb at_9998_5 = without_plate(9998.5, 1);
    for (int q = 0; q < 3; ++q) {
        EXPECT_NEAR(at_100_6[q], 0.4 * entry(100)[q] + 0.6 * entry(101)[q], 1e-7);
        EXPECT_NEAR(at_9998_5[q], 0.5 * entry(9998)[q] + 0.5 * entry(9999)[q], 1e-7);
    }
    // From 9999 nm on the colour is the spectral sum itself, not an interpolation.
    for (double r : {9999.0, 9999.37, 10000.5, 12345.678}) {
        const std::array<double, 3> plain = plain_spectral_sum(r);
        const Rgb colour = without_plate(r, 1);
        for (int q = 0; q < 3; ++q)
            EXPECT_NEAR(colour[q], std::min(1.0, plain[q]), 1e-7) << r;
    }
}

TEST(InterferenceColour, TableHoldsTheSignedSpectralSumAtEveryNanometre) {
    double worst = 0;
    for (int j = 0; j < kColourTableSize; ++j) {
        const std::array<double, 3> plain = plain_spectral_sum(j, true);
        const Rgb e = entry(j);
        for (int q = 0; q < 3; ++q)
            worst = std::max(worst, std::abs(e[q] - plain[q]));
    }
    EXPECT_LT(worst, 1e-7);
}

TEST(InterferenceColour, DirectSumHoldsForHugeRetardations) {
    // Thick sections near the rim of the full range reach 10^9 nm.
    std::mt19937_64 random(99);
    std::uniform_real_distribution<double> exponent(4.0, 9.2);
    double worst = 0;
    for (int i = 0; i < 20000; ++i) {
        const double r = std::pow(10.0, exponent(random));
        const std::array<double, 3> plain = plain_spectral_sum(r);
        Rgb c;
        spectral_colour(r, c.data());
        for (int q = 0; q < 3; ++q)
            worst = std::max(worst, std::abs(c[q] - plain[q]));
    }
    EXPECT_LT(worst, 1e-6);
}

TEST(InterferenceColour, HighOrderWhiteIsHalfOfFullyTransmittedLight) {
    const SpectralWeights& w = spectral_weights();
    const Rgb c = without_plate(20000, 1);
    for (int q = 0; q < 3; ++q)
        EXPECT_NEAR(c[q], 0.5 * w.sums[q] / w.normaliser, 0.03) << q;
}

}  // namespace
