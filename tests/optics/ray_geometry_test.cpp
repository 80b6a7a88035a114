#include "optics/ray_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "optics/figure_computation.h"
#include "optics/interference_colour.h"

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDeg = kPi / 180.0;

ParameterRecord default_record(int side) {
    ParameterRecord record{};
    set_default_parameters(record);
    record.image_size = static_cast<float>(side);
    return record;
}

// The polar angle inside the plate of a pixel at r pixels from the centre, by inverse
// trigonometry: the projection's inverse (asin, or 2 atan for Wulff's net) at r / ρ in the
// full range; in the microscope field at r over the radius that the aperture's angle in air
// projects to, then refracted into the plate at the mean index.
double reference_polar_angle(const DrawSetup& setup, double r) {
    const ParameterRecord& p = setup.params;
    const bool wulff = p.projection_kind == kWulffProjection;
    auto inverse = [&](double s) { return wulff ? 2 * std::atan(s) : std::asin(s); };
    auto forward = [&](double t) { return wulff ? std::tan(t / 2) : std::sin(t); };
    const double rho = setup.radius;
    if (p.draw_range == kFullRange)
        return inverse(r / rho);
    const double scale = rho / forward(std::asin(double(p.numerical_aperture)));
    return std::asin(std::sin(inverse(r / scale)) / setup.mean_index);
}

TEST(RayGeometry, PixelOffsetsForEvenAndOddSides) {
    struct Case {
        int side, column, row;
        double x, y;
    };
    const Case cases[] = {{200, 0, 0, -99.5, 99.5},  {200, 100, 100, 0.5, -0.5},
                          {200, 99, 99, -0.5, 0.5},  {200, 199, 0, 99.5, 99.5},
                          {201, 100, 100, 0.0, 0.0}, {201, 0, 100, -100.0, 0.0}};
    for (const Case& c : cases) {
        const PixelOffset p = pixel_offset(c.side / 2.0f, c.column, c.row);
        EXPECT_EQ(p.x, c.x) << c.side << " " << c.column << " " << c.row;
        EXPECT_EQ(p.y, c.y) << c.side << " " << c.column << " " << c.row;
    }
    // The corner of a 200-pixel figure lies outside its circle.
    const PixelOffset corner = pixel_offset(100.0f, 0, 0);
    EXPECT_NEAR(std::hypot(corner.x, corner.y), 140.7, 0.05);
}

TEST(RayGeometry, PolarAnglesOfWorkedRadii) {
    struct Case {
        int range, projection;
        double r_fraction;  // of ρ
        double theta;       // degrees
        double tolerance;
    };
    // The rim of the microscope field: sin θ = 0.65 / n̄, n̄ = √(1.544 × 1.553) ≈ 1.5485
    // (to the single precision in which the record holds NA and n̄).
    const double rim = std::asin(0.65 / std::sqrt(1.544 * 1.553)) / kDeg;
    const Case cases[] = {
        {kMicroscopeField, kSineProjection, 1.0, 24.8, 0.05},
        {kMicroscopeField, kSineProjection, 1.0, rim, 1e-5},
        {kMicroscopeField, kWulffProjection, 1.0, rim, 1e-5},
        {kMicroscopeField, kSineProjection, 0.0, 0.0, 1e-12},
        {kFullRange, kSineProjection, 0.5, 30.0, 1e-9},
        {kFullRange, kWulffProjection, 0.5, 53.1301, 1e-4},
        {kFullRange, kSineProjection, 1.0, 90.0, 1e-9},
        {kFullRange, kWulffProjection, 1.0, 90.0, 1e-9},
    };
    for (const Case& c : cases) {
        ParameterRecord record = default_record(200);
        record.draw_range = c.range;
        record.projection_kind = c.projection;
        const RayGeometry geometry(prepare_draw(record));
        const PolarAngle angle = geometry.polar(c.r_fraction * 100.0);
        const double theta = std::atan2(angle.sine, angle.cosine);
        EXPECT_NEAR(theta / kDeg, c.theta, c.tolerance) << c.range << c.projection;
        EXPECT_NEAR(std::hypot(angle.sine, angle.cosine), 1.0, 1e-14);
    }
}

TEST(RayGeometry, SineAndCosineFormAgreesWithTheAngle) {
    for (int range : {kMicroscopeField, kFullRange}) {
        for (int projection : {kSineProjection, kWulffProjection}) {
            ParameterRecord record = default_record(188);
            record.draw_range = range;
            record.projection_kind = projection;
            record.numerical_aperture = 0.93f;
            const DrawSetup setup = prepare_draw(record);
            const RayGeometry geometry(setup);
            for (double r = 0; r <= 94.0; r += 0.0625) {
                const double theta = reference_polar_angle(setup, r);
                const PolarAngle fast = geometry.polar(r);
                ASSERT_NEAR(fast.sine, std::sin(theta), 1e-13) << r;
                ASSERT_NEAR(fast.cosine, std::cos(theta), 1e-12) << r;
            }
        }
    }
}

// ---- the pixel loop against the steps written out one by one ----

struct ReferencePixel {
    bool inside;
    float rgb[3];
};

// The frame as the steps read: asin/atan for θ, atan2 for φ, the wavefront basis, cos ψ
// and the χ of every axis, the indices as plain differences, then the colour operation.
std::vector<ReferencePixel> reference_frame(const DrawSetup& setup, int k) {
    const ParameterRecord& p = setup.params;
    const int n = setup.side;
    const double rho = setup.radius;
    const double turn = p.draw_mode == kSingleImage ? 0.0 : 2 * kPi * k / setup.frame_count_real;

    std::vector<Vector3> axes;
    if (p.axis_type == kUniaxial) {
        axes.push_back(unit_vector(p.c_axis_theta * kDeg, p.c_axis_phi * kDeg + turn));
    } else {
        double ta = p.a_axis_theta * kDeg, pa = p.a_axis_phi * kDeg + turn;
        double tb = p.b_axis_theta * kDeg, pb = p.b_axis_phi * kDeg + turn;
        const double cos_ab =
            std::cos(ta) * std::cos(tb) + std::sin(ta) * std::sin(tb) * std::cos(pa - pb);
        if (std::cos(p.two_vz * kDeg) * cos_ab < 0) {
            tb = kPi - tb;
            pb += kPi;
        }
        axes.push_back(unit_vector(ta, pa));
        axes.push_back(unit_vector(tb, pb));
    }

    std::vector<ReferencePixel> out(std::size_t(n) * n);
    for (int i = 0; i < n * n; ++i) {
        const double x = i % n - (rho - 0.5), y = (rho - 0.5) - i / n;
        const double r = std::sqrt(x * x + y * y);
        ReferencePixel& px = out[i];
        px.inside = r <= rho;
        if (!px.inside)
            continue;
        const double theta = reference_polar_angle(setup, r);
        const double phi = r == 0 ? kPi / 2 : std::atan2(y, x);
        const double st = std::sin(theta), ct = std::cos(theta);
        const double sp = std::sin(phi), cp = std::cos(phi);
        const Vector3 kv{st * cp, st * sp, ct};
        const Vector3 u{sp * sp + ct * cp * cp, sp * cp * (ct - 1), -st * cp};
        const Vector3 v{sp * cp * (ct - 1), cp * cp + ct * sp * sp, -st * sp};
        const double length = p.thickness * 1000.0 / ct;
        double cos_psi[2], sin_psi[2], cos_chi[2], sin_chi[2];
        for (std::size_t a = 0; a < axes.size(); ++a) {
            cos_psi[a] = dot(kv, axes[a]);
            sin_psi[a] = std::sqrt(1 - cos_psi[a] * cos_psi[a]);
            cos_chi[a] = dot(u, axes[a]) / sin_psi[a];
            sin_chi[a] = dot(v, axes[a]) / sin_psi[a];
        }
        double gamma, factor;
        if (p.axis_type == kUniaxial) {
            const double w = p.omega, e = p.epsilon;
            const double ne =
                w * e /
                std::sqrt(w * w * sin_psi[0] * sin_psi[0] + e * e * cos_psi[0] * cos_psi[0]);
            gamma = (ne - w) * length;
            factor = std::clamp(2 * sin_chi[0] * cos_chi[0], -1.0, 1.0);
        } else {
            const double a = p.alpha, g = p.gamma;
            const double pp = a * g, s = a * a + g * g, d = g * g - a * a;
            const double cc = cos_psi[0] * cos_psi[1], ss = sin_psi[0] * sin_psi[1];
            gamma = (pp * std::sqrt(2 / (d * (cc - ss) + s)) -
                     pp * std::sqrt(2 / (d * (cc + ss) + s))) *
                    length;
            factor = sin_chi[0] * cos_chi[1] + cos_chi[0] * sin_chi[1];
        }
        if (p.no_test_plate)
            colour_without_plate(gamma, factor, px.rgb);
        else
            colour_with_plate(gamma, factor, px.rgb);
    }
    return out;
}

TEST(ComputeFrame, AgreesWithTheStepsWrittenOutOnEveryVariant) {
    int compared = 0;
    for (int kind : {kUniaxial, kBiaxial})
        for (int plate : {0, 1})
            for (int range : {kMicroscopeField, kFullRange})
                for (int projection : {kSineProjection, kWulffProjection})
                    for (int side : {64, 77}) {
                        ParameterRecord record = default_record(side);
                        record.axis_type = kind;
                        record.no_test_plate = plate;
                        record.draw_range = range;
                        record.projection_kind = projection;
                        record.draw_mode = kAnimation;
                        record.sampling_step = 10;
                        // Axes off the centre, so that no pixel lies on one.
                        record.c_axis_theta = 23.3f;
                        record.c_axis_phi = 41.7f;
                        record.a_axis_theta = 31.1f;
                        record.b_axis_theta = 4.7f;
                        record.thickness = range == kFullRange ? 40.0f : 300.0f;
                        const DrawSetup setup = prepare_draw(record);
                        auto model = make_crystal_model(setup);
                        std::vector<float> values(3 * side * side);
                        for (int k : {0, 7}) {
                            model->orient_for_frame(k);
                            const float largest = compute_frame(setup, *model, values);
                            const auto expected = reference_frame(setup, k);
                            float expected_largest = 0;
                            for (int i = 0; i < side * side; ++i) {
                                if (!expected[i].inside) {
                                    ASSERT_EQ(values[3 * i], -1.0f);
                                    ASSERT_EQ(values[3 * i + 2], -1.0f);
                                    continue;
                                }
                                for (int q = 0; q < 3; ++q) {
                                    ASSERT_NEAR(values[3 * i + q], expected[i].rgb[q], 1e-6)
                                        << kind << plate << range << projection << side << " " << i;
                                    expected_largest =
                                        std::max(expected_largest, expected[i].rgb[q]);
                                }
                                ++compared;
                            }
                            EXPECT_NEAR(largest, expected_largest, 1e-6);
                        }
                    }
    EXPECT_GT(compared, 100000);
}

TEST(ComputeFrame, NoNaNOrInfinityInAnyVariantOrDegenerateCrystal) {
    struct Crystal {
        const char* what;
        AxisType kind;
        float omega, epsilon, alpha, gamma;
        float c_theta;
    };
    const Crystal crystals[] = {
        {"quartz-like, C vertical", kUniaxial, 1.544f, 1.553f, 0, 0, 0},
        {"omega = epsilon", kUniaxial, 1.6f, 1.6f, 0, 0, 0},
        {"vacuum-like, full aperture", kUniaxial, 1.0f, 1.0f, 0, 0, 0},
        {"negative, C tilted", kUniaxial, 2.5f, 1.0f, 0, 0, 30},
        {"biaxial default", kBiaxial, 0, 0, 1.552f, 1.587f, 0},
        {"alpha = gamma", kBiaxial, 0, 0, 1.7f, 1.7f, 0},
        {"extreme biaxial", kBiaxial, 0, 0, 1.0f, 2.5f, 0},
    };
    for (const Crystal& c : crystals)
        for (int plate : {0, 1})
            for (int range : {kMicroscopeField, kFullRange})
                for (int projection : {kSineProjection, kWulffProjection})
                    for (int side : {20, 21, 100, 101}) {
                        ParameterRecord record = default_record(side);
                        record.axis_type = c.kind;
                        if (c.kind == kUniaxial) {
                            record.omega = c.omega;
                            record.epsilon = c.epsilon;
                        } else {
                            record.alpha = c.alpha;
                            record.gamma = c.gamma;
                        }
                        record.c_axis_theta = c.c_theta;
                        record.no_test_plate = plate;
                        record.draw_range = range;
                        record.projection_kind = projection;
                        record.thickness = 3000;
                        record.numerical_aperture = 1.0f;
                        const DrawSetup setup = prepare_draw(record);
                        auto model = make_crystal_model(setup);
                        model->orient_for_frame(0);
                        std::vector<float> values(3 * side * side);
                        const float largest = compute_frame(setup, *model, values);
                        ASSERT_TRUE(std::isfinite(largest)) << c.what;
                        for (std::size_t i = 0; i < values.size(); ++i)
                            ASSERT_TRUE(values[i] == -1.0f || (values[i] >= 0 && values[i] <= 1))
                                << c.what << " plate " << plate << " range " << range
                                << " projection " << projection << " side " << side << " at " << i
                                << ": " << values[i];
                    }
}

TEST(ComputeFrame, IsotropicPlateWithoutTestPlateIsBlack) {
    for (int side : {100, 101}) {
        ParameterRecord record = default_record(side);
        record.omega = record.epsilon = 1.6f;
        record.c_axis_theta = 33;
        record.c_axis_phi = 12;
        const DrawSetup setup = prepare_draw(record);
        auto model = make_crystal_model(setup);
        model->orient_for_frame(0);
        std::vector<float> values(3 * side * side);
        EXPECT_EQ(compute_frame(setup, *model, values), 0.0f);
    }
}

TEST(ComputeFrame, CentreOfOddFigureIsThePlateNormal) {
    // C vertical, no plate: the melatope at the centre of an odd figure is black, and the
    // pixel beside it is not.
    ParameterRecord record = default_record(201);
    const DrawSetup setup = prepare_draw(record);
    auto model = make_crystal_model(setup);
    model->orient_for_frame(0);
    std::vector<float> values(3 * 201 * 201);
    compute_frame(setup, *model, values);
    const std::size_t centre = 3 * (100 * 201 + 100);
    EXPECT_EQ(values[centre], 0.0f);
    EXPECT_EQ(values[centre + 1], 0.0f);
    EXPECT_GT(values[centre + 3 * 201 + 3 + 1], 0.0f);  // diagonal neighbour, off the isogyres
}

}  // namespace
