#include "optics/interference_colour.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <numbers>

#include "optics/vector_lanes.h"

namespace {

struct ObserverRecord {
    double wavelength;  // nm
    double x_bar;
    double y_bar;
    double z_bar;
};

// The CIE 1931 2° standard colorimetric observer (CIE 15, abridged table to four decimals),
// 380 … 780 nm in 5 nm steps.
// clang-format off
constexpr ObserverRecord kObserver[kWavelengthCount] = {
    {380, 0.0014, 0.0000, 0.0065},
    {385, 0.0022, 0.0001, 0.0105},
    {390, 0.0042, 0.0001, 0.0201},
    {395, 0.0076, 0.0002, 0.0362},
    {400, 0.0143, 0.0004, 0.0679},
    {405, 0.0232, 0.0006, 0.1102},
    {410, 0.0435, 0.0012, 0.2074},
    {415, 0.0776, 0.0022, 0.3713},
    {420, 0.1344, 0.0040, 0.6456},
    {425, 0.2148, 0.0073, 1.0391},
    {430, 0.2839, 0.0116, 1.3856},
    {435, 0.3285, 0.0168, 1.6230},
    {440, 0.3483, 0.0230, 1.7471},
    {445, 0.3481, 0.0298, 1.7826},
    {450, 0.3362, 0.0380, 1.7721},
    {455, 0.3187, 0.0480, 1.7441},
    {460, 0.2908, 0.0600, 1.6692},
    {465, 0.2511, 0.0739, 1.5281},
    {470, 0.1954, 0.0910, 1.2876},
    {475, 0.1421, 0.1126, 1.0419},
    {480, 0.0956, 0.1390, 0.8130},
    {485, 0.0580, 0.1693, 0.6162},
    {490, 0.0320, 0.2080, 0.4652},
    {495, 0.0147, 0.2586, 0.3533},
    {500, 0.0049, 0.3230, 0.2720},
    {505, 0.0024, 0.4073, 0.2123},
    {510, 0.0093, 0.5030, 0.1582},
    {515, 0.0291, 0.6082, 0.1117},
    {520, 0.0633, 0.7100, 0.0782},
    {525, 0.1096, 0.7932, 0.0573},
    {530, 0.1655, 0.8620, 0.0422},
    {535, 0.2257, 0.9149, 0.0298},
    {540, 0.2904, 0.9540, 0.0203},
    {545, 0.3597, 0.9803, 0.0134},
    {550, 0.4334, 0.9950, 0.0087},
    {555, 0.5121, 1.0000, 0.0057},
    {560, 0.5945, 0.9950, 0.0039},
    {565, 0.6784, 0.9786, 0.0027},
    {570, 0.7621, 0.9520, 0.0021},
    {575, 0.8425, 0.9154, 0.0018},
    {580, 0.9163, 0.8700, 0.0017},
    {585, 0.9786, 0.8163, 0.0014},
    {590, 1.0263, 0.7570, 0.0011},
    {595, 1.0567, 0.6949, 0.0010},
    {600, 1.0622, 0.6310, 0.0008},
    {605, 1.0456, 0.5668, 0.0006},
    {610, 1.0026, 0.5030, 0.0003},
    {615, 0.9384, 0.4412, 0.0002},
    {620, 0.8544, 0.3810, 0.0002},
    {625, 0.7514, 0.3210, 0.0001},
    {630, 0.6424, 0.2650, 0.0000},
    {635, 0.5419, 0.2170, 0.0000},
    {640, 0.4479, 0.1750, 0.0000},
    {645, 0.3608, 0.1382, 0.0000},
    {650, 0.2835, 0.1070, 0.0000},
    {655, 0.2187, 0.0816, 0.0000},
    {660, 0.1649, 0.0610, 0.0000},
    {665, 0.1212, 0.0446, 0.0000},
    {670, 0.0874, 0.0320, 0.0000},
    {675, 0.0636, 0.0232, 0.0000},
    {680, 0.0468, 0.0170, 0.0000},
    {685, 0.0329, 0.0119, 0.0000},
    {690, 0.0227, 0.0082, 0.0000},
    {695, 0.0158, 0.0057, 0.0000},
    {700, 0.0114, 0.0041, 0.0000},
    {705, 0.0081, 0.0029, 0.0000},
    {710, 0.0058, 0.0021, 0.0000},
    {715, 0.0041, 0.0015, 0.0000},
    {720, 0.0029, 0.0010, 0.0000},
    {725, 0.0020, 0.0007, 0.0000},
    {730, 0.0014, 0.0005, 0.0000},
    {735, 0.0010, 0.0004, 0.0000},
    {740, 0.0007, 0.0002, 0.0000},
    {745, 0.0005, 0.0002, 0.0000},
    {750, 0.0003, 0.0001, 0.0000},
    {755, 0.0002, 0.0001, 0.0000},
    {760, 0.0002, 0.0001, 0.0000},
    {765, 0.0001, 0.0000, 0.0000},
    {770, 0.0001, 0.0000, 0.0000},
    {775, 0.0001, 0.0000, 0.0000},
    {780, 0.0000, 0.0000, 0.0000},
};
// clang-format on

// Relative spectral power of the light source at the same wavelengths, 100 at 560 nm.
// Between the 10 nm values the 5 nm values are linear midpoints, except at 395 nm.
// clang-format off
constexpr float kSource[kWavelengthCount] = {
     13.9385f,  15.2279f,  16.5174f,  21.4453f,  29.4830f,  32.3007f,  35.1185f,  37.4745f,
     39.8305f,  40.3975f,  40.9645f,  49.8155f,  58.6665f,  65.1185f,  71.5705f,  74.0037f,
     76.4370f,  77.8737f,  79.3105f,  82.0195f,  84.7285f,  83.9890f,  83.2495f,  85.9842f,
     88.7190f,  89.8265f,  90.9340f,  92.2455f,  93.5570f,  96.5882f,  99.6195f,  99.2992f,
     98.9790f, 100.2597f, 101.5405f, 100.7702f, 100.0000f,  98.2827f,  96.5654f,  96.5394f,
     96.5135f,  95.7751f,  95.0367f,  97.2915f,  99.5464f, 100.7185f, 101.8907f, 101.7888f,
    101.6869f, 100.0523f,  98.4177f, 101.2293f, 104.0409f, 103.2890f, 102.5371f, 104.7246f,
    106.9122f, 109.7584f, 112.6046f, 111.3700f, 110.1354f, 102.7497f,  95.3641f,  98.4016f,
    101.4392f, 100.9343f, 100.4295f,  91.7592f,  83.0890f,  88.1371f,  93.1852f,  96.4006f,
     99.6160f,  91.8784f,  84.1409f,  73.2706f,  62.4004f,  75.9601f,  89.5198f,  86.8717f,
     84.2236f,
};

// XYZ to linear RGB: the ITU-R BT.709 primaries with the D65 white, to four digits.
constexpr double kXyzToRgb[3][3] = {
    { 3.241,  -1.5374, -0.4986},
    {-0.9692,  1.876,   0.0416},
    { 0.0556, -0.204,   1.057 },
};
// clang-format on

SpectralWeights build_weights() {
    SpectralWeights w{};
    for (int i = 0; i < kWavelengthCount; ++i) {
        const ObserverRecord& o = kObserver[i];
        w.wavelength[i] = static_cast<float>(o.wavelength);
        float* channel[3] = {&w.red[i], &w.green[i], &w.blue[i]};
        for (int q = 0; q < 3; ++q) {
            const double m =
                kXyzToRgb[q][0] * o.x_bar + kXyzToRgb[q][1] * o.y_bar + kXyzToRgb[q][2] * o.z_bar;
            *channel[q] = static_cast<float>(kSource[i] * m);
            w.sums[q] += *channel[q];
        }
    }
    w.normaliser = std::max({w.sums[0], w.sums[1], w.sums[2]});
    return w;
}

// The spectral sum runs at every pixel whose retardation is beyond the table, which near
// the rim of the full range or in thick sections is most of them; so it is laid out for
// vector units, four wavelengths at a time, padded with zero weights to 84.
constexpr int kBlockCount = (kWavelengthCount + kLaneCount - 1) / kLaneCount;

struct SpectralBlocks {
    Lanes inverse_wavelength[kBlockCount];
    Lanes red[kBlockCount];
    Lanes green[kBlockCount];
    Lanes blue[kBlockCount];
    // The weights times λ/2π: the amplitudes of cos(2πΓ/λ) sin(πΔ/λ) in the mean over a span Δ.
    Lanes red_span_amplitude[kBlockCount];
    Lanes green_span_amplitude[kBlockCount];
    Lanes blue_span_amplitude[kBlockCount];
    double half_sums[3];
    double inverse_normaliser;
};

SpectralBlocks build_blocks(const SpectralWeights& w) {
    SpectralBlocks b{};
    for (int i = 0; i < kWavelengthCount; ++i) {
        b.inverse_wavelength[i / kLaneCount][i % kLaneCount] = 1.0 / w.wavelength[i];
        b.red[i / kLaneCount][i % kLaneCount] = w.red[i];
        b.green[i / kLaneCount][i % kLaneCount] = w.green[i];
        b.blue[i / kLaneCount][i % kLaneCount] = w.blue[i];
        const double half_wave = w.wavelength[i] / (2.0 * std::numbers::pi);
        b.red_span_amplitude[i / kLaneCount][i % kLaneCount] = w.red[i] * half_wave;
        b.green_span_amplitude[i / kLaneCount][i % kLaneCount] = w.green[i] * half_wave;
        b.blue_span_amplitude[i / kLaneCount][i % kLaneCount] = w.blue[i] * half_wave;
    }
    for (int q = 0; q < 3; ++q)
        b.half_sums[q] = w.sums[q] / 2.0;
    b.inverse_normaliser = 1.0 / w.normaliser;
    return b;
}

const SpectralBlocks& spectral_blocks() {
    static const SpectralBlocks blocks = build_blocks(spectral_weights());
    return blocks;
}

// Adding and removing 1.5 · 2^52 rounds a value up to 2^51 in magnitude to the nearest
// integer without a library call.
constexpr Lanes kRoundingShift = {0x1.8p52, 0x1.8p52, 0x1.8p52, 0x1.8p52};

// sin(πx) for x up to 2^51 in magnitude, reduced to its signed distance f from the nearest
// integer, and sin(πf) for that f, |πf| ≤ π/2: its Taylor series to the 13th power, the powers
// of π folded into the coefficients (error below 1e-9). sin²(πx) = sin²(πf).
LANES_INLINE Lanes distance_to_integer(Lanes x) {
    return x - ((x + kRoundingShift) - kRoundingShift);
}

LANES_INLINE Lanes sine_of_pi_near_zero(Lanes f) {
    const Lanes z = f * f;
    // (−1)^k π^(2k+1) / (2k+1)!, k = 6 … 0
    Lanes p = z * 0.00046630280576761234 + -0.007370430945714348;
    p = p * z + 0.08214588661112819;
    p = p * z + -0.5992645293207919;
    p = p * z + 2.550164039877345;
    p = p * z + -5.167712780049969;
    p = p * z + 3.141592653589793;
    return f * p;
}

LANES_INLINE Lanes sine_squared_of_pi(Lanes x) {
    const Lanes s = sine_of_pi_near_zero(distance_to_integer(x));
    return s * s;
}

// sin(πx) itself: sin(πf) with its sign turned where the nearest integer n is odd. The
// lowest bit of x + 1.5 · 2^52 is that of n; moved to the sign bit, it turns the sign.
LANES_INLINE Lanes sine_of_pi(Lanes x) {
    using Bits = unsigned long long __attribute__((vector_size(32)));
    const Lanes rounded = x + kRoundingShift;
    const Lanes s = sine_of_pi_near_zero(x - (rounded - kRoundingShift));
    Bits odd, bits;
    std::memcpy(&odd, &rounded, sizeof odd);
    std::memcpy(&bits, &s, sizeof bits);
    bits ^= odd << 63;
    Lanes sine;
    std::memcpy(&sine, &bits, sizeof sine);
    return sine;
}

LANES_INLINE double lane_sum(Lanes v) {
    return (v[0] + v[1]) + (v[2] + v[3]);
}

// A channel as light: a sum that rounding takes just below zero is none.
inline float light(double channel) {
    return channel < 0.0 ? 0.0f : static_cast<float>(channel);
}

template <class Channel>
LANES_INLINE void sum_spectrum(double retardation, float* out, Channel channel) {
    const SpectralBlocks& b = spectral_blocks();
    Lanes red = {}, green = {}, blue = {};
    for (int j = 0; j < kBlockCount; ++j) {
        const Lanes s = sine_squared_of_pi(retardation * b.inverse_wavelength[j]);
        red += s * b.red[j];
        green += s * b.green[j];
        blue += s * b.blue[j];
    }
    const double sums[3] = {lane_sum(red), lane_sum(green), lane_sum(blue)};
    for (int q = 0; q < 3; ++q) {
        out[q] = channel(sums[q] * b.inverse_normaliser);
    }
}

// The mean of sin²(πΓ/λ) over r ± Δ/2 is ½ − cos(2πr/λ) sin(πΔ/λ) λ / (2πΔ), with
// cos 2x = 1 − 2 sin² x: the point's own sin²(πr/λ) serves both, and the point colour is
// summed exactly as spectral_colour sums it.
template <class Channel>
LANES_INLINE void sum_spectrum_and_mean(double retardation, double span, float* colour, float* mean,
                                        Channel channel) {
    const SpectralBlocks& b = spectral_blocks();
    Lanes red = {}, green = {}, blue = {};
    Lanes red_wave = {}, green_wave = {}, blue_wave = {};
    for (int j = 0; j < kBlockCount; ++j) {
        const Lanes s = sine_squared_of_pi(retardation * b.inverse_wavelength[j]);
        red += s * b.red[j];
        green += s * b.green[j];
        blue += s * b.blue[j];
        const Lanes wave = (1.0 - 2.0 * s) * sine_of_pi(span * b.inverse_wavelength[j]);
        red_wave += wave * b.red_span_amplitude[j];
        green_wave += wave * b.green_span_amplitude[j];
        blue_wave += wave * b.blue_span_amplitude[j];
    }
    const double sums[3] = {lane_sum(red), lane_sum(green), lane_sum(blue)};
    const double waves[3] = {lane_sum(red_wave), lane_sum(green_wave), lane_sum(blue_wave)};
    for (int q = 0; q < 3; ++q) {
        colour[q] = channel(sums[q] * b.inverse_normaliser);
        mean[q] = channel((b.half_sums[q] - waves[q] / span) * b.inverse_normaliser);
    }
}

inline float signed_channel(double channel) {
    return static_cast<float>(channel);
}

}  // namespace

const SpectralWeights& spectral_weights() {
    static const SpectralWeights weights = build_weights();
    return weights;
}

LUMITRA_VECTOR_CLONES
void spectral_colour(double retardation, float* out) {
    sum_spectrum(retardation, out, light);
}

LUMITRA_VECTOR_CLONES
void signed_spectral_colour(double retardation, float* out) {
    sum_spectrum(retardation, out, signed_channel);
}

LUMITRA_VECTOR_CLONES
void spectral_colour_and_mean(double retardation, double span, float* colour, float* mean) {
    sum_spectrum_and_mean(retardation, span, colour, mean, light);
}

LUMITRA_VECTOR_CLONES
void signed_spectral_colour_and_mean(double retardation, double span, float* colour, float* mean) {
    sum_spectrum_and_mean(retardation, span, colour, mean, signed_channel);
}

void fill_retardation_colour_table(ColourTable& table) {
    for (int j = 0; j < kColourTableSize; ++j)
        signed_spectral_colour(j, &table[3 * std::size_t(j)]);
}

const ColourTable& retardation_colour_table() {
    static const ColourTable table = [] {
        ColourTable t;
        fill_retardation_colour_table(t);
        return t;
    }();
    return table;
}

void colour_without_plate(double retardation, double factor, float* out) {
    WithoutPlate{retardation_colour_table()}(retardation, factor, out);
}

void colour_with_plate(double retardation, double factor, float* out, double plate_retardation) {
    WithPlate{retardation_colour_table(), plate_retardation}(retardation, factor, out);
}

void colour_with_accessory(double retardation, double factor, double plate_retardation,
                           float* out) {
    if (plate_retardation > 0.0)
        colour_with_plate(retardation, factor, out, plate_retardation);
    else
        colour_without_plate(retardation, factor, out);
}
