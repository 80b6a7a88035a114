#include "optics/crystal_model.h"

#include <numbers>

namespace {

// cos(two_vz) of a right optic axial angle is about 6e-17, not zero; the nearest other
// angle a float can hold gives about 1e-7. Anything in between is the right angle itself.
constexpr double kRightAngleCosine = 1e-12;

}  // namespace

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
    axes_ = {project(theta_c_, phi_c_)};
}

void UniaxialModel::prepare_frame() {
    const double omega = params_.omega;
    const double epsilon = params_.epsilon;
    c_ = unit_vector(theta_c_, phi_c_);
    epsilon_ = epsilon;
    omega2_ = omega * omega;
    epsilon2_ = epsilon * epsilon;
    omega_birefringence_ = omega * (epsilon2_ - omega2_);
    thickness_nm_ = params_.thickness * 1000.0;
}

void UniaxialModel::set_wave_normal(double theta, double phi) {
    set_wave_frame(wave_frame(std::sin(theta), std::cos(theta), std::sin(phi), std::cos(phi)));
}

void BiaxialModel::orient_for_frame(int k) {
    const double turn = stage_rotation(k);
    theta_a_ = params_.a_axis_theta * kRadiansPerDegree;
    phi_a_ = params_.a_axis_phi * kRadiansPerDegree + turn;
    theta_b_ = params_.b_axis_theta * kRadiansPerDegree;
    phi_b_ = params_.b_axis_phi * kRadiansPerDegree + turn;
    axes_ = {project(theta_a_, phi_a_), project(theta_b_, phi_b_)};

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

void BiaxialModel::set_wave_normal(double theta, double phi) {
    set_wave_frame(wave_frame(std::sin(theta), std::cos(theta), std::sin(phi), std::cos(phi)));
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
