#include "optics/crystal_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <random>

#include "optics/figure_computation.h"

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDeg = kPi / 180.0;

DrawSetup default_setup(AxisType kind) {
    ParameterRecord record{};
    set_default_parameters(record);
    record.image_size = record.image_size_single;
    record.axis_type = kind;
    return prepare_draw(record);
}

Vector3 scaled(const Vector3& a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
Vector3 sum(const Vector3& a, const Vector3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vector3 cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vector3 normalised(const Vector3& a) {
    return scaled(a, 1 / std::sqrt(dot(a, a)));
}

// The wave normal at θ from the microscope axis and φ from x, with the stage x and y axes
// carried onto its wavefront by the rotation that takes z to it (Rodrigues' formula about
// z × k), and the path factor 1 / cos θ.
WaveFrame rotated_wave(double theta, double phi) {
    const Vector3 axis{-std::sin(phi), std::cos(phi), 0};
    const double c = std::cos(theta), s = std::sin(theta);
    auto rotate = [&](const Vector3& p) {
        return sum(sum(scaled(p, c), scaled(cross(axis, p), s)),
                   scaled(axis, dot(axis, p) * (1 - c)));
    };
    return {rotate({0, 0, 1}), rotate({1, 0, 0}), rotate({0, 1, 0}), 1 / c};
}

// The wave normal along a unit direction in the upper hemisphere.
WaveFrame wave_along(const Vector3& k) {
    return rotated_wave(std::acos(std::min(1.0, k.z)), std::atan2(k.y, k.x));
}

struct Evaluated {
    double retardation;
    double factor;
};

// The model's vector code on one wave normal, in the given lane of a group whose other lanes
// hold the plate normal.
Evaluated evaluate_one(const CrystalModel& model, const WaveFrame& wave, int lane = 0) {
    WaveGroup group;
    for (int l = 0; l < WaveGroup::kSize; ++l)
        group.set_plate_normal(l);
    group.set(lane, wave);
    double retardation[WaveGroup::kSize], factor[WaveGroup::kSize];
    model.evaluate(&group, 1, retardation, factor);
    return {retardation[lane], factor[lane]};
}

// β of a biaxial crystal whose optic axes lie at Vz from Z: 1/β² = cos²Vz/α² + sin²Vz/γ².
double beta_of(double alpha, double gamma, double vz) {
    return 1 / std::sqrt(std::pow(std::cos(vz) / alpha, 2) + std::pow(std::sin(vz) / gamma, 2));
}

// ---- worked numbers ----

TEST(UniaxialModel, DefaultPlateAtThirtyDegreesRetardsAbout77Nanometres) {
    DrawSetup setup = default_setup(kUniaxial);
    UniaxialModel model(setup);
    model.orient_for_frame(0);
    model.prepare_frame();
    for (int lane = 0; lane < WaveGroup::kSize; ++lane) {
        const double phi = 0.7 + 1.3 * lane;
        const double gamma = evaluate_one(model, rotated_wave(30 * kDeg, phi), lane).retardation;
        EXPECT_NEAR(gamma, 77.43, 0.01) << phi;
        // index difference ≈ 0.0022353 over the path 30000 / cos 30° nm
        EXPECT_NEAR(gamma * std::cos(30 * kDeg) / 30000.0, 0.0022353, 1e-7);
    }
}

TEST(UniaxialModel, SignOfRetardationFollowsOpticSignAndIsotropicPlateIsExactlyZero) {
    struct Case {
        float omega, epsilon;
        int sign;
    };
    const Case cases[] = {{1.544f, 1.553f, +1}, {1.658f, 1.486f, -1}, {1.6f, 1.6f, 0},
                          {1.0f, 1.0f, 0},      {2.5f, 2.5f, 0},      {1.731f, 1.731f, 0}};
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (const Case& c : cases) {
        DrawSetup setup = default_setup(kUniaxial);
        setup.params.omega = c.omega;
        setup.params.epsilon = c.epsilon;
        setup.params.c_axis_theta = 37.0f;
        setup.params.c_axis_phi = 121.0f;
        setup.params.thickness = 3000.0f;
        UniaxialModel model(setup);
        model.orient_for_frame(0);
        model.prepare_frame();
        for (int i = 0; i < 2000; ++i) {
            const WaveFrame wave = rotated_wave(unit(random) * 89.9 * kDeg, unit(random) * 2 * kPi);
            const double gamma = evaluate_one(model, wave, i % WaveGroup::kSize).retardation;
            if (c.sign == 0) {
                ASSERT_EQ(gamma, 0.0) << c.omega;
            } else {
                ASSERT_GE(gamma * c.sign, 0.0) << c.omega;
            }
        }
    }
}

TEST(BiaxialModel, DefaultPlateAlongBisectorHasWorkedIndices) {
    // A and B at 15° either side of the plate normal, which is Z: the wave along it vibrates
    // along X and Y, with the indices α and β.
    DrawSetup setup = default_setup(kBiaxial);
    BiaxialModel model(setup);
    model.orient_for_frame(0);
    model.prepare_frame();
    const double alpha = 1.552f, gamma = 1.587f;
    const double beta = beta_of(alpha, gamma, 15 * kDeg);
    EXPECT_NEAR(beta, 1.554273, 1e-6);
    const double retardation = evaluate_one(model, rotated_wave(0, kPi / 2)).retardation;
    EXPECT_NEAR(retardation, (beta - alpha) * 30000, 1e-7);
    EXPECT_NEAR(retardation, 68.18, 0.01);
}

TEST(BiaxialModel, EndOfAxisBFollowsTheOpticAxialAngle) {
    // An optic axis is a line; Z must bisect A and the end of B that makes their angle as
    // acute or obtuse as 2Vz. Along Z the wave normal's indices are α and β, along X β and γ:
    // the wrong end would swap them.
    struct Case {
        float two_vz;
        float b_theta, b_phi;
        double expect_theta, expect_phi;  // the end of B about which Z lies (degrees)
    };
    const Case cases[] = {
        {30.0f, 15.0f, 180.0f, 15.0, 180.0},    // acute angle AB, as 2V: unchanged
        {150.0f, 15.0f, 180.0f, 165.0, 360.0},  // obtuse 2V: the other end of B
        {89.0f, 15.0f, 180.0f, 15.0, 180.0},   {91.0f, 15.0f, 180.0f, 165.0, 360.0},
        {150.0f, 75.0f, 0.0f, 105.0, 180.0},  // A (15, 0) and B (75, 0) make 60°
        {30.0f, 75.0f, 0.0f, 75.0, 0.0},
    };
    const double alpha = 1.552f, gamma = 1.587f;
    for (const Case& c : cases) {
        DrawSetup setup = default_setup(kBiaxial);
        setup.params.two_vz = c.two_vz;
        setup.params.b_axis_theta = c.b_theta;
        setup.params.b_axis_phi = c.b_phi;
        BiaxialModel model(setup);
        model.orient_for_frame(0);
        model.prepare_frame();
        const Vector3 a = unit_vector(15 * kDeg, 0);
        const Vector3 b = unit_vector(c.expect_theta * kDeg, c.expect_phi * kDeg);
        const Vector3 z = normalised(sum(a, b));
        const Vector3 x = normalised(sum(a, scaled(b, -1)));
        const double beta = beta_of(alpha, gamma, std::acos(dot(a, z)));
        int compared = 0;
        for (const auto& [axis, difference] : {std::pair{z, beta - alpha}, {x, gamma - beta}}) {
            const Vector3 k = axis.z < 0 ? scaled(axis, -1) : axis;
            if (k.z < 0.2)
                continue;  // beyond any figure
            const double retardation = evaluate_one(model, wave_along(k)).retardation;
            EXPECT_NEAR(retardation, difference * 30000 / k.z, 1e-6) << c.two_vz;
            ++compared;
        }
        EXPECT_GE(compared, 1) << c.two_vz;
    }
}

TEST(CrystalModels, WaveNormalAlongAnOpticAxisGivesNoNaN) {
    // An axis along the plate normal has no projection at all on the wavefront of the wave
    // along it (resolved as the pixel loop resolves it): the factor is 0 there. Along a
    // tilted axis rounding, and the fused multiply-adds of a vector unit that has them, leave
    // the projection a hair off zero: the factor is then some bounded value, and the
    // retardation vanishes either way.
    struct Case {
        AxisType kind;
        float theta, phi;  // of C, or of A with B across it at (90°, 0°)
        bool exact;
    };
    const Case cases[] = {{kUniaxial, 0, 0, true},     {kUniaxial, 0, 123, true},
                          {kBiaxial, 0, 0, true},      {kBiaxial, 0, 250, true},
                          {kBiaxial, 15, 0, false},    {kBiaxial, 15, 180, false},
                          {kUniaxial, 40, 200, false}, {kBiaxial, 63, 300, false}};
    for (const Case& c : cases) {
        DrawSetup setup = default_setup(c.kind);
        setup.params.c_axis_theta = c.theta;
        setup.params.c_axis_phi = c.phi;
        setup.params.a_axis_theta = c.theta;
        setup.params.a_axis_phi = c.phi;
        setup.params.b_axis_theta = 90;
        setup.params.b_axis_phi = 0;
        auto model = make_crystal_model(setup);
        model->orient_for_frame(0);
        model->prepare_frame();
        const double theta = c.theta * kDeg, phi = c.phi * kDeg;
        const Evaluated e = evaluate_one(
            *model, wave_frame(std::sin(theta), std::cos(theta), std::sin(phi), std::cos(phi)));
        ASSERT_TRUE(std::isfinite(e.factor) && std::isfinite(e.retardation))
            << c.theta << " " << c.phi;
        EXPECT_LE(std::abs(e.factor), 1.0);
        EXPECT_NEAR(e.retardation, 0.0, 1e-3);
        if (c.exact) {
            EXPECT_EQ(e.factor, 0.0) << c.theta << " " << c.phi;
        }
    }
}

TEST(CrystalModels, FactorVanishesOnIsogyresAndIsExtremeAtFortyFiveDegrees) {
    // C vertical: the extraordinary vibration is radial, so the factor is sin 2φ.
    DrawSetup setup = default_setup(kUniaxial);
    UniaxialModel model(setup);
    model.orient_for_frame(0);
    model.prepare_frame();
    const std::array<std::pair<double, double>, 6> cases = {
        {{0, 0}, {90, 0}, {180, 0}, {45, 1}, {135, -1}, {225, 1}}};
    for (const auto& [phi, factor] : cases)
        EXPECT_NEAR(evaluate_one(model, rotated_wave(20 * kDeg, phi * kDeg), 3).factor, factor,
                    1e-12)
            << phi;
}

TEST(CrystalModels, StageTurnsAxesByWholeStepsOutsideTheSingleImage) {
    ParameterRecord record{};
    set_default_parameters(record);
    record.axis_type = kBiaxial;
    record.image_size = 100;
    record.sampling_step = 7;
    record.draw_mode = kAnimation;
    const DrawSetup setup = prepare_draw(record);
    ASSERT_EQ(setup.frame_count, 51);
    const double g = std::sin(15 * kDeg);  // A and B at 15° from the plate normal
    for (int k : {0, 1, 17, 50}) {
        const auto axes = projected_optic_axes(setup, k);
        ASSERT_EQ(axes.size(), 2u);
        const double turn = 2 * kPi * k / 51;
        EXPECT_NEAR(axes[0].x, g * std::cos(turn), 1e-12) << k;
        EXPECT_NEAR(axes[0].y, g * std::sin(turn), 1e-12) << k;
        EXPECT_NEAR(axes[1].x, g * std::cos(kPi + turn), 1e-12) << k;
        EXPECT_NEAR(axes[1].y, g * std::sin(kPi + turn), 1e-12) << k;
    }
    record.draw_mode = kSingleImage;
    const auto still = projected_optic_axes(prepare_draw(record), 17);
    EXPECT_NEAR(still.at(0).x, g, 1e-12);
    EXPECT_EQ(still.at(0).y, 0.0);
}

TEST(ProjectedOpticAxes, FollowTheProjectionAndTheStage) {
    ParameterRecord record{};
    set_default_parameters(record);
    record.image_size = 120;
    record.draw_mode = kRotationImage;
    record.sampling_step = 30;
    record.c_axis_theta = 40;
    record.c_axis_phi = 10;
    for (int kind : {kSineProjection, kWulffProjection}) {
        record.projection_kind = kind;
        const double g = kind == kSineProjection ? std::sin(40 * kDeg) : std::tan(20 * kDeg);
        const DrawSetup setup = prepare_draw(record);
        for (int k : {0, 3, 11}) {
            const auto axes = projected_optic_axes(setup, k);
            ASSERT_EQ(axes.size(), 1u);
            const double phi = (10 + 30 * k) * kDeg;
            EXPECT_NEAR(axes[0].x, g * std::cos(phi), 1e-12);
            EXPECT_NEAR(axes[0].y, g * std::sin(phi), 1e-12);
        }
    }
    // Biaxial at 2V = 150°: B is marked where the record puts it, before its end is chosen.
    record.axis_type = kBiaxial;
    record.projection_kind = kSineProjection;
    record.two_vz = 150;
    const auto axes = projected_optic_axes(prepare_draw(record), 0);
    ASSERT_EQ(axes.size(), 2u);
    EXPECT_NEAR(axes[0].x, std::sin(15 * kDeg), 1e-12);
    EXPECT_NEAR(axes[1].x, -std::sin(15 * kDeg), 1e-12);
    EXPECT_NEAR(axes[1].y, 0.0, 1e-12);
}

// ---- the closed forms against the index ellipsoid itself ----

struct Frame3 {
    Vector3 x, y, z;
};

// A uniformly random rotation, from a random unit quaternion.
Frame3 random_frame(std::mt19937_64& random) {
    std::normal_distribution<double> normal;
    double q[4];
    double norm = 0;
    for (double& c : q) {
        c = normal(random);
        norm += c * c;
    }
    norm = std::sqrt(norm);
    const double w = q[0] / norm, a = q[1] / norm, b = q[2] / norm, c = q[3] / norm;
    return {{1 - 2 * (b * b + c * c), 2 * (a * b + w * c), 2 * (a * c - w * b)},
            {2 * (a * b - w * c), 1 - 2 * (a * a + c * c), 2 * (b * c + w * a)},
            {2 * (a * c + w * b), 2 * (b * c - w * a), 1 - 2 * (a * a + b * b)}};
}

// An axis as the record stores it: a line, in the upper hemisphere, in float degrees.
std::pair<float, float> as_record_axis(Vector3 e) {
    if (e.z < 0)
        e = scaled(e, -1);
    const double theta = std::acos(std::min(1.0, e.z)) / kDeg;
    double phi = std::atan2(e.y, e.x) / kDeg;
    if (phi < 0)
        phi += 360;
    return {static_cast<float>(theta), static_cast<float>(phi)};
}
Vector3 from_record_axis(float theta, float phi) {
    return unit_vector(double(theta) * kDeg, double(phi) * kDeg);
}

// The central section perpendicular to the wave normal of the index ellipsoid
// xᵀ B x = 1, B = Σ eᵢ eᵢᵀ / nᵢ²: its semi-axes are the wave-normal indices, its axes the
// vibration directions. In the wavefront basis (u, v) the section is a 2 × 2 form.
struct Section {
    double slow_index, fast_index;
    double slow_chi, fast_chi;  // azimuths of the vibrations from u towards v
};

Section central_section(const std::array<std::pair<Vector3, double>, 3>& principal,
                        const Vector3& u, const Vector3& v) {
    double buu = 0, buv = 0, bvv = 0;
    for (const auto& [e, n] : principal) {
        const double eu = dot(e, u), ev = dot(e, v), w = 1.0 / (n * n);
        buu += w * eu * eu;
        buv += w * eu * ev;
        bvv += w * ev * ev;
    }
    const double mean = (buu + bvv) / 2, half = std::hypot((buu - bvv) / 2, buv);
    const double small = mean - half, large = mean + half;  // eigenvalues 1/n²
    // The eigenvector of the smaller eigenvalue (the larger index, the slow wave).
    const double slow_chi = 0.5 * std::atan2(-2 * buv, bvv - buu);
    return {1 / std::sqrt(small), 1 / std::sqrt(large), slow_chi, slow_chi + kPi / 2};
}

TEST(CrystalModels, ClosedFormsAgreeWithTheIndexEllipsoid) {
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int compared_factors = 0;
    for (int sample = 0; sample < 4000; ++sample) {
        const Frame3 f = random_frame(random);
        const double theta = std::acos(unit(random) * 0.999 + 0.001);  // up to ~87.4°
        const double phi = unit(random) * 2 * kPi;
        const WaveFrame wave = rotated_wave(theta, phi);
        const Vector3 u = wave.u, v = wave.v;
        const double path = 30000.0 / std::cos(theta);
        const int lane = sample / 2 % WaveGroup::kSize;

        ParameterRecord record{};
        set_default_parameters(record);
        record.image_size = 100;
        if (sample % 2 == 0) {
            // Uniaxial, optically positive and negative.
            const bool positive = sample % 4 == 0;
            record.omega = positive ? 1.544f : 1.658f;
            record.epsilon = positive ? 1.553f : 1.486f;
            std::tie(record.c_axis_theta, record.c_axis_phi) = as_record_axis(f.z);
            // The ellipsoid of revolution about C as the record holds it (float degrees).
            const Vector3 c = from_record_axis(record.c_axis_theta, record.c_axis_phi);
            const Vector3 c_perp1 = normalised(cross(c, f.x));
            const Vector3 c_perp2 = cross(c, c_perp1);
            UniaxialModel model(prepare_draw(record));
            model.orient_for_frame(0);
            model.prepare_frame();
            const Evaluated e = evaluate_one(model, wave, lane);
            const double omega = record.omega, epsilon = record.epsilon;
            const Section s =
                central_section({{{c, epsilon}, {c_perp1, omega}, {c_perp2, omega}}}, u, v);
            const bool e_slow = epsilon > omega;
            const double ne = e_slow ? s.slow_index : s.fast_index;
            const double no = e_slow ? s.fast_index : s.slow_index;
            ASSERT_NEAR(no, omega, 1e-9);
            ASSERT_NEAR(e.retardation / path, ne - omega, 1e-9) << sample;
            if (s.slow_index - s.fast_index > 1e-5) {
                const double chi = e_slow ? s.slow_chi : s.fast_chi;
                ASSERT_NEAR(e.factor, std::sin(2 * chi), 1e-7) << sample;
                ++compared_factors;
            }
        } else {
            // Biaxial, β from 2Vz. Every fifth sample has a right optic axial angle.
            const float two_vz = sample % 5 == 1 ? 90.0f : static_cast<float>(unit(random) * 180);
            const double alpha = 1.552f, gamma = 1.587f, half = double(two_vz) / 2 * kDeg;
            record.axis_type = kBiaxial;
            record.two_vz = two_vz;
            const Vector3 a = sum(scaled(f.z, std::cos(half)), scaled(f.x, std::sin(half)));
            const Vector3 b = sum(scaled(f.z, std::cos(half)), scaled(f.x, -std::sin(half)));
            std::tie(record.a_axis_theta, record.a_axis_phi) = as_record_axis(a);
            std::tie(record.b_axis_theta, record.b_axis_phi) = as_record_axis(b);
            std::tie(record.x_axis_theta, record.x_axis_phi) = as_record_axis(f.x);
            std::tie(record.y_axis_theta, record.y_axis_phi) = as_record_axis(f.y);
            std::tie(record.z_axis_theta, record.z_axis_phi) = as_record_axis(f.z);
            // The indicatrix whose optic axes are exactly A and B as the record holds them:
            // Z is the bisector of whichever pair of their ends lies about the true Z.
            const Vector3 ra = from_record_axis(record.a_axis_theta, record.a_axis_phi);
            Vector3 rb = from_record_axis(record.b_axis_theta, record.b_axis_phi);
            if (dot(ra, f.z) * dot(rb, f.z) < 0)
                rb = scaled(rb, -1);
            const Vector3 z = normalised(sum(ra, rb));
            const Vector3 x = normalised(sum(ra, scaled(rb, -1)));
            const Vector3 y = cross(z, x);
            const double beta = beta_of(alpha, gamma, std::atan2(dot(ra, x), dot(ra, z)));
            BiaxialModel model(prepare_draw(record));
            model.orient_for_frame(0);
            model.prepare_frame();
            const Evaluated e = evaluate_one(model, wave, lane);
            const Section s = central_section({{{x, alpha}, {y, beta}, {z, gamma}}}, u, v);
            ASSERT_NEAR(e.retardation / path, s.slow_index - s.fast_index, 1e-9)
                << sample << " 2Vz " << two_vz;
            if (s.slow_index - s.fast_index > 1e-5) {
                ASSERT_NEAR(e.factor, std::sin(2 * s.slow_chi), 1e-7)
                    << sample << " 2Vz " << two_vz;
                ++compared_factors;
            }
        }
    }
    EXPECT_GT(compared_factors, 3900);
}

}  // namespace
