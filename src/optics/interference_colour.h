// The colour of a pixel between crossed polarizers, computed spectrally: at 81 wavelengths
// the transmitted fraction sin²(πΓ/λ) is weighted by the light source and the standard
// observer and turned into linear red, green and blue relative to the brightest channel of
// fully transmitted light. Retardations up to 9999 nm come from a 1 nm table built once.
// Channels stay signed until a colour is final, and are clamped only then.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>

#include "model/accessories.h"

inline constexpr int kWavelengthCount = 81;     // 380 … 780 nm, 5 nm apart
inline constexpr int kColourTableSize = 10000;  // entries for 0 … 9999 nm
inline constexpr double kTableBound = 9999.0;   // nm; at and above it the sum is direct

struct SpectralWeights {
    std::array<float, kWavelengthCount> wavelength;  // nm
    std::array<float, kWavelengthCount> red;
    std::array<float, kWavelengthCount> green;
    std::array<float, kWavelengthCount> blue;
    std::array<float, 3> sums;  // red, green, blue: the colour of fully transmitted light
    float normaliser;           // the largest of the sums
};

// Built on first use, then kept for the whole run.
const SpectralWeights& spectral_weights();

// The colour of retardation Γ (nm) at A = 1 without the plate, by the full spectral sum.
// Negative channels become 0; there is no upper clamp.
void spectral_colour(double retardation, float* out);
// The same sum with its sign kept: a saturated colour lies outside the display's primaries,
// and a mix that takes it away from others must see how far.
void signed_spectral_colour(double retardation, float* out);

// spectral_colour(retardation) and, in the same pass over the spectrum, the mean colour over
// retardation ± span / 2 (span > 0): what a pixel shows over which the retardation runs
// evenly through that span, at A = 1 without the plate. Whatever the sign of retardation.
void spectral_colour_and_mean(double retardation, double span, float* colour, float* mean);
// The same two with their signs kept.
void signed_spectral_colour_and_mean(double retardation, double span, float* colour, float* mean);

// Entry j holds signed_spectral_colour(j): red, green, blue for j = 0 … 9999.
using ColourTable = std::array<float, 3 * kColourTableSize>;
const ColourTable& retardation_colour_table();
// What retardation_colour_table holds, computed afresh into table (for measuring the cost).
void fill_retardation_colour_table(ColourTable& table);

// Between the entries below 9999 nm each channel interpolates entry(value) of its two
// neighbours; from there on the direct sum gives the colour.
template <class Entry, class Sum>
inline void interpolated_colour(const ColourTable& table, double r, float* out, Entry entry,
                                Sum sum) {
    if (r < kTableBound) {
        const double whole = std::floor(r);
        const double f = r - whole;
        const float* low = &table[3 * static_cast<int>(whole)];
        for (int q = 0; q < 3; ++q)
            out[q] = static_cast<float>((1.0 - f) * entry(low[q]) + f * entry(low[q + 3]));
    } else {
        sum(r, out);
    }
}

// The signed colour of a retardation R ≥ 0.
inline void tabulated_colour(const ColourTable& table, double r, float* out) {
    interpolated_colour(
        table, r, out, [](float e) { return e; }, signed_spectral_colour);
}

// The colour as light, each entry taken at 0 where it is negative before the interpolation:
// the plain figure's colours, which never mix with a negative weight.
inline void tabulated_light(const ColourTable& table, double r, float* out) {
    interpolated_colour(
        table, r, out, [](float e) { return std::max(0.0f, e); }, spectral_colour);
}

inline float clamp_unit(float v) {
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

// Crossed polarizers alone: sin²2χ · sin²(πΓ/λ) over the spectrum, clamped to [0, 1].
struct WithoutPlate {
    const ColourTable& table;
    void operator()(double retardation, double factor, float* out) const {
        float c[3];
        tabulated_light(table, std::abs(retardation), c);
        finish(c, factor, out);
    }
    // The colour of the retardation and the mean over retardation ± span / 2, together.
    void point_and_mean(double retardation, double span, double factor, float* point,
                        float* mean) const {
        const double r = std::abs(retardation);
        float c[3], m[3];
        spectral_colour_and_mean(r, span, c, m);
        if (r < kTableBound)  // the point as the plain figure has it
            tabulated_light(table, r, c);
        finish(c, factor, point);
        finish(m, factor, mean);
    }
    static void finish(const float* c, double factor, float* out) {
        const double a2 = factor * factor;
        for (int q = 0; q < 3; ++q)
            out[q] = clamp_unit(static_cast<float>(a2 * c[q]));
    }
};

// An accessory of retardation Γp with its slow direction NE–SW above the section: at each
// wavelength the light passed is w1 sin²(π(Γ+Γp)/λ) + w2 sin²(π(Γ−Γp)/λ) + w3 sin²(πΓp/λ),
// w1 = (A²+A)/2, w2 = (A²−A)/2, w3 = 1−A², exactly for every A. Sample and plate add where
// A = +1, subtract where A = −1, and where A = 0 only the plate's colour remains. One of w1, w2
// is negative between, so the three signed colours are mixed and only the mix is clamped.
struct WithPlate {
    WithPlate(const ColourTable& colours, double plate_retardation)
        : table(colours), plate(plate_retardation) {
        tabulated_colour(table, plate, plate_colour);
    }
    const ColourTable& table;
    double plate;
    float plate_colour[3];

    void operator()(double retardation, double factor, float* out) const {
        float add[3], subtract[3];
        tabulated_colour(table, std::abs(retardation + plate), add);
        tabulated_colour(table, std::abs(retardation - plate), subtract);
        mix(add, subtract, factor, out);
    }
    void point_and_mean(double retardation, double span, double factor, float* point,
                        float* mean) const {
        (*this)(retardation, factor, point);
        float add[3], subtract[3], unused[3];
        signed_spectral_colour_and_mean(retardation + plate, span, unused, add);
        signed_spectral_colour_and_mean(retardation - plate, span, unused, subtract);
        mix(add, subtract, factor, mean);
    }
    void mix(const float* add, const float* subtract, double factor, float* out) const {
        const float a = static_cast<float>(factor);
        const float w_add = (a * a + a) / 2.0f;
        const float w_subtract = (a * a - a) / 2.0f;
        const float w_plate = 1.0f - a * a;
        for (int q = 0; q < 3; ++q)
            out[q] =
                clamp_unit(w_add * add[q] + w_subtract * subtract[q] + w_plate * plate_colour[q]);
    }
};

// The two colour operations on the shared table, for callers outside the pixel loop.
void colour_without_plate(double retardation, double factor, float* out);
void colour_with_plate(double retardation, double factor, float* out,
                       double plate_retardation = kFirstOrderRetardation);
// The colour operation the pixel loop chooses for an accessory of that retardation (nm; 0
// without one).
void colour_with_accessory(double retardation, double factor, double plate_retardation, float* out);
