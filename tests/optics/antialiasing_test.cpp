// Antialiased figures: where the rings are wide nothing changes, where they are finer than the
// pixels the speckle goes and the colour becomes the white of high orders.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "optics/figure_computation.h"
#include "optics/interference_colour.h"
#include "support/default_record.h"
#include "support/scripted_progress.h"

namespace {

ParameterRecord thick_full_range(float size) {
    ParameterRecord record = record_for(kSingleImage, size);
    record.thickness = 3000;
    record.draw_range = kFullRange;
    return record;
}

Figure draw(const ParameterRecord& record, bool antialias, int workers = 2) {
    DrawSetup setup = prepare_draw(record);
    setup.antialias = antialias;
    ScriptedProgress progress;
    std::optional<Figure> figure = compute_figure(setup, progress, workers);
    EXPECT_TRUE(figure.has_value());
    return figure ? std::move(*figure) : Figure{};
}

using Linear = std::array<double, 3>;

// A stored level back in linear light (relative to the brightest channel of the Draw).
Linear linear_at(const Figure& f, int column, int row) {
    const std::uint8_t* p = f.frame(0).data() + 3 * (std::size_t(row) * f.side + column);
    Linear v;
    for (int q = 0; q < 3; ++q)
        v[q] = std::pow(p[q] / 254.0, double(f.encoding_gamma));
    return v;
}

// The pixels whose centres lie between the given fractions of the radius, all eight of their
// neighbours inside the circle too.
template <class Visit>
void for_each_in_annulus(const Figure& f, double inner, double outer, Visit visit) {
    const double radius = f.side / 2.0;
    for (int row = 1; row + 1 < f.side; ++row)
        for (int column = 1; column + 1 < f.side; ++column) {
            const double r = std::hypot(column + 0.5 - radius, row + 0.5 - radius);
            if (r >= inner * radius && r <= outer * radius && r + 1.5 <= radius)
                visit(column, row);
        }
}

// High-frequency energy: the sum, over the annulus and the three channels, of the squared
// difference in linear light between a pixel and the mean of its 3 × 3 neighbourhood.
double high_frequency_energy(const Figure& f, double inner, double outer) {
    double energy = 0.0;
    for_each_in_annulus(f, inner, outer, [&](int column, int row) {
        Linear mean{};
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const Linear v = linear_at(f, column + dx, row + dy);
                for (int q = 0; q < 3; ++q)
                    mean[q] += v[q] / 9.0;
            }
        const Linear own = linear_at(f, column, row);
        for (int q = 0; q < 3; ++q)
            energy += (own[q] - mean[q]) * (own[q] - mean[q]);
    });
    return energy;
}

// How far, on average, the pixels of the annulus are from the hue of the light itself: the
// distance of each pixel's chromaticity (channels over their sum, linear light) from that of
// fully transmitted light. Where many orders overlap, every wavelength passes half of its
// light on average, and the colour is the light's own at half strength: high-order white.
double mean_distance_from_white(const Figure& f, double inner, double outer) {
    const std::array<float, 3>& light = spectral_weights().sums;
    const double light_total = double(light[0]) + light[1] + light[2];
    double distance = 0.0;
    int count = 0;
    for_each_in_annulus(f, inner, outer, [&](int column, int row) {
        const Linear v = linear_at(f, column, row);
        const double total = v[0] + v[1] + v[2];
        if (total < 0.05)  // the dark isogyres have no hue to speak of
            return;
        double d2 = 0.0;
        for (int q = 0; q < 3; ++q) {
            const double d = v[q] / total - light[q] / light_total;
            d2 += d * d;
        }
        distance += std::sqrt(d2);
        ++count;
    });
    return count > 0 ? distance / count : 0.0;
}

// Wherever the retardation changes slowly from pixel to pixel the bytes are exactly those of
// the plain figure: a thin section in every drawing mode, and the wide rings at the centre of
// a 3000 µm section, whose bytes also depend on the frame's brightest point sample.
TEST(Antialiasing, LeavesEveryPixelOfWideRingsAsItWas) {
    for (const ParameterRecord& record :
         {record_for(kSingleImage, 80), record_for(kRotationImage, 30, 45),
          record_for(kAnimation, 40, 30)}) {
        const Figure plain = draw(record, false);
        const Figure smooth = draw(record, true);
        EXPECT_TRUE(plain.pixels == smooth.pixels) << "mode " << record.draw_mode;
    }
    const Figure plain = draw(thick_full_range(120), false);
    const Figure smooth = draw(thick_full_range(120), true);
    int centre_pixels = 0, changed = 0;
    for (int row = 0; row < plain.side; ++row)
        for (int column = 0; column < plain.side; ++column) {
            const std::size_t at = 3 * (std::size_t(row) * plain.side + column);
            const bool same = plain.pixels[at] == smooth.pixels[at] &&
                              plain.pixels[at + 1] == smooth.pixels[at + 1] &&
                              plain.pixels[at + 2] == smooth.pixels[at + 2];
            changed += same ? 0 : 1;
            // Γ ≈ 27 µm · θ² here: within 4 pixels of the centre of 120 it changes by less
            // than 60 nm from one pixel to the next.
            if (std::hypot(column - 59.5, row - 59.5) < 4.0) {
                ++centre_pixels;
                EXPECT_TRUE(same) << column << ", " << row;
            }
        }
    EXPECT_GT(centre_pixels, 40);
    EXPECT_GT(changed, plain.side * plain.side / 4);  // the fine rings did change
}

// The outer ring of a 3000 µm section over the full range, where the retardation changes by
// thousands of nanometres from one pixel to the next: point sampling scatters coloured
// speckle, the antialiased figure is smooth and nearly the colour of the light itself.
TEST(Antialiasing, OuterRingOfAThickSectionBlendsToHighOrderWhite) {
    for (int axis_type : {kUniaxial, kBiaxial}) {
        ParameterRecord record = thick_full_range(120);
        record.axis_type = axis_type;
        const Figure plain = draw(record, false);
        const Figure smooth = draw(record, true);
        const double plain_energy = high_frequency_energy(plain, 0.8, 1.0);
        const double smooth_energy = high_frequency_energy(smooth, 0.8, 1.0);
        EXPECT_LT(smooth_energy, plain_energy / 100.0) << "axis type " << axis_type;
        const double plain_hue = mean_distance_from_white(plain, 0.8, 1.0);
        const double smooth_hue = mean_distance_from_white(smooth, 0.8, 1.0);
        EXPECT_LT(smooth_hue, 0.01) << "axis type " << axis_type;
        EXPECT_GT(plain_hue, 5.0 * smooth_hue) << "axis type " << axis_type;
    }
}

}  // namespace
