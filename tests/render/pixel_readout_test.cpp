#include "render/pixel_readout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "model/derived_values.h"
#include "optics/figure_computation.h"
#include "support/default_record.h"
#include "support/scripted_progress.h"

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

Figure figure_of(ParameterRecord record) {
    record.mean_index = mean_index(record);
    ScriptedProgress progress;
    return compute_figure(prepare_draw(record), progress).value_or(Figure{});
}

// The distance of two line directions in degrees (0 and 180 are the same line).
double line_difference(double a, double b) {
    const double d = std::fmod(std::abs(a - b), 180.0);
    return std::min(d, 180.0 - d);
}

TEST(PixelReadout, UniaxialCentre_NoRetardationAlongTheMicroscopeAxis) {
    const Figure figure = figure_of(record_for(kSingleImage, 201));
    const PixelReadout centre = read_pixel(figure, 0, 100, 100);
    ASSERT_TRUE(centre.inside);
    EXPECT_NEAR(centre.theta_deg, 0.0, 1e-9);
    EXPECT_NEAR(centre.incidence_deg, 0.0, 1e-9);
    EXPECT_NEAR(centre.retardation_nm, 0.0, 1e-9);
    EXPECT_EQ(order_numeral(centre.retardation_nm), "I");
    // Along the optic axis both waves travel at the ordinary index.
    EXPECT_NEAR(centre.n_slow, 1.544, 1e-6);
    EXPECT_NEAR(centre.n_fast, 1.544, 1e-6);
    for (const auto& [x, y] : {std::pair{0, 0}, {200, 200}, {-1, 100}, {201, 100}})
        EXPECT_FALSE(read_pixel(figure, 0, x, y).inside) << x << "," << y;
}

// Γ along a pixel's radius, from the default section (ω 1.544, ε 1.553, 30 µm, C vertical,
// NA 0.65) worked out by hand: sin θair = NA · r / ρ in the sine projection, Snell's law at
// n̄ = √(ωε), and Γ = (n_e(θ) − ω) t / cos θ with 1/n_e² = cos²θ/ω² + sin²θ/ε².
TEST(PixelReadout, UniaxialRetardationRisesFromCentreToRim) {
    const Figure figure = figure_of(record_for(kSingleImage, 201));
    const double omega = 1.544, epsilon = 1.553, mean = std::sqrt(omega * epsilon);
    for (const int r : {10, 40, 70, 100}) {
        const PixelReadout read = read_pixel(figure, 0, 100 + r, 100);
        const double theta = std::asin(0.65 * r / 100.5 / mean);
        const double ne = 1 / std::sqrt(std::pow(std::cos(theta) / omega, 2) +
                                        std::pow(std::sin(theta) / epsilon, 2));
        const double expected = (ne - omega) * 30000.0 / std::cos(theta);
        EXPECT_NEAR(read.retardation_nm, expected, 1e-3 * expected + 1e-6) << "r " << r;
        EXPECT_NEAR(read.theta_deg, theta / kDeg, 1e-4) << "r " << r;
        EXPECT_NEAR(read.order, expected / 550.0, 1e-3) << "r " << r;
    }
}

TEST(PixelReadout, RimOfTheFieldIsTheApertureAngleInAir) {
    struct Case {
        ProjectionKind projection;
        float aperture;
    };
    for (const Case c : {Case{kSineProjection, 0.65f},
                         {kWulffProjection, 0.65f},
                         {kSineProjection, 0.3f},
                         {kWulffProjection, 0.95f}}) {
        ParameterRecord record = record_for(kSingleImage, 1001);
        record.projection_kind = c.projection;
        record.numerical_aperture = c.aperture;
        const Figure figure = figure_of(record);
        // The rim pixel's centre lies half a pixel inside the circle of radius 500.5.
        const PixelReadout rim = read_pixel(figure, 0, 1000, 500);
        ASSERT_TRUE(rim.inside);
        EXPECT_NEAR(rim.incidence_deg, std::asin(double(c.aperture)) / kDeg, 0.1)
            << c.projection << " NA " << c.aperture;
        EXPECT_NEAR(rim.phi_deg, 0.0, 1e-9);
    }
    // In the full range the rim is 90° inside the plate, which no ray from air reaches.
    ParameterRecord record = record_for(kSingleImage, 201);
    record.draw_range = kFullRange;
    const PixelReadout rim = read_pixel(figure_of(record), 0, 100, 0);
    EXPECT_NEAR(rim.theta_deg, 90.0, 6.0);
    EXPECT_NEAR(rim.phi_deg, 90.0, 1e-9);
    EXPECT_TRUE(std::isnan(rim.incidence_deg));
}

// Along Z the two waves vibrate along X (α) and Y (β), with 1/β² = cos²Vz/α² + sin²Vz/γ²;
// the slow one along Y, which the default axes put at azimuth 90°.
TEST(PixelReadout, BiaxialAlongTheBisectrix_AlphaAndBeta) {
    ParameterRecord record = record_for(kSingleImage, 201);
    record.axis_type = kBiaxial;
    const PixelReadout centre = read_pixel(figure_of(record), 0, 100, 100);
    const double alpha = 1.552, gamma = 1.587, vz = 15.0 * kDeg;
    const double beta =
        1 / std::sqrt(std::pow(std::cos(vz) / alpha, 2) + std::pow(std::sin(vz) / gamma, 2));
    ASSERT_TRUE(centre.inside);
    EXPECT_NEAR(centre.n_slow, beta, 1e-6);
    EXPECT_NEAR(centre.n_fast, alpha, 1e-6);
    EXPECT_LT(line_difference(centre.slow_azimuth_deg, 90.0), 1e-6);
    EXPECT_NEAR(centre.retardation_nm, (beta - alpha) * 30000.0, 1e-3);
}

// The extraordinary vibration lies in the plane of the wave normal and the vertical optic
// axis: radial. It is the slow one of a positive crystal and the fast one of a negative one.
// With the first-order plate (slow NE–SW) a slow direction NE–SW adds, NW–SE subtracts.
TEST(PixelReadout, UniaxialSlowDirectionRadialWhenPositive) {
    struct Case {
        float omega, epsilon;
        int dx, dy;  // from the centre, y up
        double azimuth;
        AccessoryEffect effect;
    };
    const Case cases[] = {
        {1.544f, 1.553f, 60, 0, 0, AccessoryEffect::kNone},
        {1.544f, 1.553f, -60, 0, 0, AccessoryEffect::kNone},
        {1.544f, 1.553f, 0, 60, 90, AccessoryEffect::kNone},
        {1.544f, 1.553f, 40, 40, 45, AccessoryEffect::kAddition},
        {1.544f, 1.553f, -40, 40, 135, AccessoryEffect::kSubtraction},
        {1.658f, 1.486f, 60, 0, 90, AccessoryEffect::kNone},
        {1.658f, 1.486f, 40, 40, 135, AccessoryEffect::kSubtraction},
        {1.658f, 1.486f, -40, -40, 135, AccessoryEffect::kSubtraction},
    };
    for (const Case& c : cases) {
        ParameterRecord record = record_for(kSingleImage, 201);
        record.omega = c.omega;
        record.epsilon = c.epsilon;
        record.no_test_plate = kFirstOrderPlate;
        const PixelReadout read = read_pixel(figure_of(record), 0, 100 + c.dx, 100 - c.dy);
        ASSERT_TRUE(read.inside);
        EXPECT_LT(line_difference(read.slow_azimuth_deg, c.azimuth), 1e-6)
            << c.omega << " " << c.dx << "," << c.dy << ": " << read.slow_azimuth_deg;
        EXPECT_NEAR(read.a, std::sin(2 * c.azimuth * kDeg), 1e-9);
        EXPECT_GT(read.n_slow, read.n_fast);
        if (c.effect != AccessoryEffect::kNone) {  // on the polarizers' lines A is only nearly 0
            EXPECT_EQ(read.effect, c.effect) << c.dx << "," << c.dy;
        }
    }
}

// In the rotation image the pointer reads the sub-image it is over: sub-image k sits on a
// ring about the canvas centre, at 360k/n degrees counter-clockwise from the right.
TEST(PixelReadout, RotationImageReadsTheSubImageUnderThePointer) {
    ParameterRecord record = record_for(kRotationImage, 61, 30);
    record.c_axis_theta = 20;
    const Figure figure = figure_of(record);
    const int n = 12;
    const double centre = figure.side / 2.0, ring = (figure.side - 61) / 2.0;
    for (int k = 0; k < n; ++k) {
        const double a = 2 * std::numbers::pi * k / n;
        const int x = static_cast<int>(std::floor(centre + ring * std::cos(a)));
        const int y = static_cast<int>(std::floor(centre - ring * std::sin(a)));
        const PixelReadout read = read_pixel(figure, 0, x, y);
        ASSERT_TRUE(read.inside) << k;
        EXPECT_EQ(read.frame, k);
        EXPECT_NEAR(read.theta_deg, 0.0, 1.0);
    }
    EXPECT_FALSE(read_pixel(figure, 0, figure.side / 2, figure.side / 2).inside);
}

}  // namespace
