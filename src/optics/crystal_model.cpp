#include "optics/crystal_model.h"

#include <numbers>

#include "optics/vector_lanes.h"

namespace {

// cos(two_vz) of a right optic axial angle is about 6e-17, not zero; the nearest other
// angle a float can hold gives about 1e-7. Anything in between is the right angle itself.
constexpr double kRightAngleCosine = 1e-12;

struct UniaxialConstants {
    Vector3 c;
    double epsilon, omega2, epsilon2, omega_birefringence, thickness_nm;
    double omega;
};

// Four wave normals at a time. ψ is the angle of the wave normal to C. The retardation is
// n_e(ψ) − ω written as ω(ε² − ω²) sin²ψ / (√Q (ε + √Q)), Q = ω² sin²ψ + ε² cos²ψ: the same
// value as ωε/√Q − ω, but exactly zero for an isotropic plate (ω = ε), where the plain
// difference leaves rounding noise that the normalisation to the brightest value would blow
// up into white speckles. The factor is sin 2χ of the extraordinary vibration, which lies
// along the projection of C on the wavefront; along C that projection vanishes and there is
// no vibration azimuth: the factor is 0 there.
template <bool kVibrations>
LANES_INLINE void uniaxial_lanes(const UniaxialConstants& m, const WaveGroup* groups,
                                 std::size_t count, double* retardation, double* factor,
                                 VibrationLanes* vibrations) {
    const Lanes zero = splat(0.0), one = splat(1.0);
    for (std::size_t g = 0; g < count; ++g) {
        const WaveGroup& f = groups[g];
        const std::size_t i = g * kLaneCount;
        const Lanes cos_psi =
            load_lanes(f.kx) * m.c.x + load_lanes(f.ky) * m.c.y + load_lanes(f.kz) * m.c.z;
        const Lanes u_c =
            load_lanes(f.ux) * m.c.x + load_lanes(f.uy) * m.c.y + load_lanes(f.uz) * m.c.z;
        const Lanes v_c =
            load_lanes(f.vx) * m.c.x + load_lanes(f.vy) * m.c.y + load_lanes(f.vz) * m.c.z;
        const Lanes path = m.thickness_nm * load_lanes(f.path_factor);

        Lanes sin2 = one - cos_psi * cos_psi;
        sin2 = sin2 > zero ? sin2 : zero;
        const Lanes root_q = sqrt_lanes(m.omega2 * sin2 + m.epsilon2 * cos_psi * cos_psi);
        store_lanes(&retardation[i],
                    m.omega_birefringence * sin2 / (root_q * (m.epsilon + root_q)) * path);

        const Lanes projected2 = u_c * u_c + v_c * v_c;
        Lanes a = 2.0 * u_c * v_c / projected2;
        a = a > one ? one : a;
        a = a < -one ? -one : a;
        store_lanes(&factor[i], projected2 > zero ? a : zero);
        if constexpr (kVibrations) {
            VibrationLanes& out = vibrations[g];
            store_lanes(out.described_index, m.omega * m.epsilon / root_q);
            store_lanes(out.other_index, splat(m.omega));
            const Lanes c = (u_c * u_c - v_c * v_c) / projected2;
            store_lanes(out.cos_two_chi, projected2 > zero ? c : zero);
        }
    }
}

LUMITRA_VECTOR_CLONES
void evaluate_uniaxial(const UniaxialConstants& m, const WaveGroup* groups, std::size_t count,
                       double* retardation, double* factor) {
    uniaxial_lanes<false>(m, groups, count, retardation, factor, nullptr);
}

LUMITRA_VECTOR_CLONES
void evaluate_uniaxial_vibrations(const UniaxialConstants& m, const WaveGroup* groups,
                                  std::size_t count, double* retardation, double* factor,
                                  VibrationLanes* vibrations) {
    uniaxial_lanes<true>(m, groups, count, retardation, factor, vibrations);
}

struct BiaxialConstants {
    Vector3 a, b;
    double p, s, d, thickness_nm;
};

// Four wave normals at a time. With ψA and ψB the angles of the wave normal to the optic
// axes, the two indices n′ (slow) and n″ (fast) follow from
// 1/n² = ½(1/α² + 1/γ²) + ½(1/α² − 1/γ²) cos(ψA ± ψB), + for n′ and − for n″; here
// p = αγ, s = α² + γ², d = γ² − α². The vibration directions bisect the projections of A
// and B on the wavefront, so the factor is sin(χA + χB); along either optic axis its
// projection vanishes and the factor is 0.
template <bool kVibrations>
LANES_INLINE void biaxial_lanes(const BiaxialConstants& m, const WaveGroup* groups,
                                std::size_t count, double* retardation, double* factor,
                                VibrationLanes* vibrations) {
    const Lanes zero = splat(0.0), one = splat(1.0);
    for (std::size_t g = 0; g < count; ++g) {
        const WaveGroup& f = groups[g];
        const std::size_t i = g * kLaneCount;
        const Lanes kx = load_lanes(f.kx), ky = load_lanes(f.ky), kz = load_lanes(f.kz);
        const Lanes ux = load_lanes(f.ux), uy = load_lanes(f.uy), uz = load_lanes(f.uz);
        const Lanes vx = load_lanes(f.vx), vy = load_lanes(f.vy), vz = load_lanes(f.vz);
        const Lanes path = m.thickness_nm * load_lanes(f.path_factor);
        const Lanes cos_a = kx * m.a.x + ky * m.a.y + kz * m.a.z;
        const Lanes cos_b = kx * m.b.x + ky * m.b.y + kz * m.b.z;
        const Lanes u_a = ux * m.a.x + uy * m.a.y + uz * m.a.z;
        const Lanes v_a = vx * m.a.x + vy * m.a.y + vz * m.a.z;
        const Lanes u_b = ux * m.b.x + uy * m.b.y + uz * m.b.z;
        const Lanes v_b = vx * m.b.x + vy * m.b.y + vz * m.b.z;

        Lanes sin2_a = one - cos_a * cos_a, sin2_b = one - cos_b * cos_b;
        sin2_a = sin2_a > zero ? sin2_a : zero;
        sin2_b = sin2_b > zero ? sin2_b : zero;
        const Lanes cc = cos_a * cos_b;
        const Lanes ss = sqrt_lanes(sin2_a) * sqrt_lanes(sin2_b);
        const Lanes slow = m.p * sqrt_lanes(2.0 / (m.d * (cc - ss) + m.s));
        const Lanes fast = m.p * sqrt_lanes(2.0 / (m.d * (cc + ss) + m.s));
        store_lanes(&retardation[i], (slow - fast) * path);

        const Lanes norm2 = (u_a * u_a + v_a * v_a) * (u_b * u_b + v_b * v_b);
        const Lanes a = (v_a * u_b + u_a * v_b) / sqrt_lanes(norm2);
        store_lanes(&factor[i], norm2 > zero ? a : zero);
        if constexpr (kVibrations) {
            VibrationLanes& out = vibrations[g];
            store_lanes(out.described_index, slow);
            store_lanes(out.other_index, fast);
            const Lanes c = (u_a * u_b - v_a * v_b) / sqrt_lanes(norm2);
            store_lanes(out.cos_two_chi, norm2 > zero ? c : zero);
        }
    }
}

LUMITRA_VECTOR_CLONES
void evaluate_biaxial(const BiaxialConstants& m, const WaveGroup* groups, std::size_t count,
                      double* retardation, double* factor) {
    biaxial_lanes<false>(m, groups, count, retardation, factor, nullptr);
}

LUMITRA_VECTOR_CLONES
void evaluate_biaxial_vibrations(const BiaxialConstants& m, const WaveGroup* groups,
                                 std::size_t count, double* retardation, double* factor,
                                 VibrationLanes* vibrations) {
    biaxial_lanes<true>(m, groups, count, retardation, factor, vibrations);
}

}  // namespace

static_assert(WaveGroup::kSize == kLaneCount);

void WaveGroup::set(int lane, const WaveFrame& w) {
    kx[lane] = w.k.x;
    ky[lane] = w.k.y;
    kz[lane] = w.k.z;
    ux[lane] = w.u.x;
    uy[lane] = w.u.y;
    uz[lane] = w.u.z;
    vx[lane] = w.v.x;
    vy[lane] = w.v.y;
    vz[lane] = w.v.z;
    path_factor[lane] = w.path_factor;
}

void WaveGroup::set_plate_normal(int lane) {
    set(lane, {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}, 1});
}

OrientedModel::OrientedModel(const DrawSetup& setup)
    : params_(setup.params),
      frame_count_real_(setup.frame_count_real),
      projection_(projection_for(setup.params.projection_kind)) {}

double OrientedModel::stage_rotation(int k) const {
    if (params_.draw_mode == kSingleImage)
        return 0.0;
    return 2.0 * std::numbers::pi * k / double(frame_count_real_);
}

ProjectedAxis OrientedModel::project(double theta, double phi) const {
    const double g = projection_.forward(theta);
    return {g * std::cos(phi), g * std::sin(phi)};
}

void UniaxialModel::orient_for_frame(int k) {
    theta_c_ = params_.c_axis_theta * kRadiansPerDegree;
    phi_c_ = params_.c_axis_phi * kRadiansPerDegree + stage_rotation(k);
}

std::vector<ProjectedAxis> UniaxialModel::projected_axes() const {
    return {project(theta_c_, phi_c_)};
}

void UniaxialModel::prepare_frame() {
    const double omega = params_.omega;
    const double epsilon = params_.epsilon;
    c_ = unit_vector(theta_c_, phi_c_);
    epsilon_ = epsilon;
    omega_ = omega;
    omega2_ = omega * omega;
    epsilon2_ = epsilon * epsilon;
    omega_birefringence_ = omega * (epsilon2_ - omega2_);
    thickness_nm_ = params_.thickness * 1000.0;
}

void UniaxialModel::evaluate(const WaveGroup* groups, std::size_t count, double* retardation,
                             double* factor) const {
    evaluate_uniaxial(
        {c_, epsilon_, omega2_, epsilon2_, omega_birefringence_, thickness_nm_, omega_}, groups,
        count, retardation, factor);
}

void UniaxialModel::evaluate_vibrations(const WaveGroup* groups, std::size_t count,
                                        double* retardation, double* factor,
                                        VibrationLanes* vibrations) const {
    evaluate_uniaxial_vibrations(
        {c_, epsilon_, omega2_, epsilon2_, omega_birefringence_, thickness_nm_, omega_}, groups,
        count, retardation, factor, vibrations);
}

void BiaxialModel::orient_for_frame(int k) {
    const double turn = stage_rotation(k);
    turn_ = turn;
    theta_a_ = params_.a_axis_theta * kRadiansPerDegree;
    phi_a_ = params_.a_axis_phi * kRadiansPerDegree + turn;
    theta_b_ = params_.b_axis_theta * kRadiansPerDegree;
    phi_b_ = params_.b_axis_phi * kRadiansPerDegree + turn;

    // An optic axis is a line: take the end of B that makes the angle AB acute or obtuse
    // as 2Vz is, so that Z always bisects A and B.
    const double cos_ab = std::cos(theta_a_) * std::cos(theta_b_) +
                          std::sin(theta_a_) * std::sin(theta_b_) * std::cos(phi_a_ - phi_b_);
    const double cos_2v = std::cos(params_.two_vz * kRadiansPerDegree);
    bool flip = cos_2v * cos_ab < 0.0;
    if (std::abs(cos_2v) < kRightAngleCosine) {
        // At 2Vz = 90° the rule above multiplies two rounding noises. Ask the record's Z
        // instead: it bisects A and B when both make the same angle with it.
        const double turn_z = params_.z_axis_phi * kRadiansPerDegree + turn;
        const Vector3 z = unit_vector(params_.z_axis_theta * kRadiansPerDegree, turn_z);
        const double a_z = dot(unit_vector(theta_a_, phi_a_), z);
        const double b_z = dot(unit_vector(theta_b_, phi_b_), z);
        flip = a_z * b_z < 0.0;
    }
    if (flip) {
        theta_b_ = std::numbers::pi - theta_b_;
        phi_b_ += std::numbers::pi;
    }
}

// B as the record gives it, before the end is chosen.
std::vector<ProjectedAxis> BiaxialModel::projected_axes() const {
    return {project(theta_a_, phi_a_), project(params_.b_axis_theta * kRadiansPerDegree,
                                               params_.b_axis_phi * kRadiansPerDegree + turn_)};
}

void BiaxialModel::prepare_frame() {
    const double alpha = params_.alpha;
    const double gamma = params_.gamma;
    a_ = unit_vector(theta_a_, phi_a_);
    b_ = unit_vector(theta_b_, phi_b_);
    p_ = alpha * gamma;
    s_ = alpha * alpha + gamma * gamma;
    d_ = gamma * gamma - alpha * alpha;
    thickness_nm_ = params_.thickness * 1000.0;
}

void BiaxialModel::evaluate(const WaveGroup* groups, std::size_t count, double* retardation,
                            double* factor) const {
    evaluate_biaxial({a_, b_, p_, s_, d_, thickness_nm_}, groups, count, retardation, factor);
}

void BiaxialModel::evaluate_vibrations(const WaveGroup* groups, std::size_t count,
                                       double* retardation, double* factor,
                                       VibrationLanes* vibrations) const {
    evaluate_biaxial_vibrations({a_, b_, p_, s_, d_, thickness_nm_}, groups, count, retardation,
                                factor, vibrations);
}

std::unique_ptr<CrystalModel> make_crystal_model(const DrawSetup& setup) {
    if (setup.params.axis_type == kBiaxial)
        return std::make_unique<BiaxialModel>(setup);
    return std::make_unique<UniaxialModel>(setup);
}

std::vector<ProjectedAxis> projected_optic_axes(const DrawSetup& setup, int frame) {
    const std::unique_ptr<CrystalModel> model = make_crystal_model(setup);
    model->orient_for_frame(frame);
    return model->projected_axes();
}
