// The optical model of the crystal for one frame: where its optic axes lie on the turned
// stage, and for any wave normal inside the plate the retardation and the orientation of
// the two vibration directions against the crossed polarizers. The indicatrix is never
// built as a matrix; the indices come in closed form from the angles to the optic axes.
// Angles are radians here, degrees only where they are read from the record.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <memory>
#include <vector>

#include "model/angles.h"
#include "optics/figure_buffer.h"
#include "optics/optic_axes.h"
#include "optics/projection.h"

struct Vector3 {
    double x;
    double y;
    double z;
};

inline double dot(const Vector3& a, const Vector3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// (sin θ cos φ, sin θ sin φ, cos θ): y is the top of the figure, z the microscope axis.
inline Vector3 unit_vector(double theta, double phi) {
    return {std::sin(theta) * std::cos(phi), std::sin(theta) * std::sin(phi), std::cos(theta)};
}

// A wave normal k with the stage x and y axes carried onto its wavefront (u and v, by the
// rotation through θ about the horizontal axis (−sin φ, cos φ, 0)), and 1/cos θ, which
// turns the thickness into the path length through the plate.
struct WaveFrame {
    Vector3 k;
    Vector3 u;
    Vector3 v;
    double path_factor;
};

inline WaveFrame wave_frame(double sin_theta, double cos_theta, double sin_phi, double cos_phi) {
    const double sc = sin_phi * cos_phi * (cos_theta - 1.0);
    return {{sin_theta * cos_phi, sin_theta * sin_phi, cos_theta},
            {sin_phi * sin_phi + cos_theta * cos_phi * cos_phi, sc, -sin_theta * cos_phi},
            {sc, cos_phi * cos_phi + cos_theta * sin_phi * sin_phi, -sin_theta * sin_phi},
            1.0 / cos_theta};
}

// Four wave normals at once, one array of four per component, so that the vector unit
// takes them together. A row of the figure is padded to whole groups with the plate normal.
struct WaveGroup {
    static constexpr int kSize = 4;
    double kx[kSize], ky[kSize], kz[kSize];
    double ux[kSize], uy[kSize], uz[kSize];
    double vx[kSize], vy[kSize], vz[kSize];
    double path_factor[kSize];

    void set(int lane, const WaveFrame& w);
    // The plate normal with the stage axes as its wavefront axes.
    void set_plate_normal(int lane);
};

class CrystalModel {
  public:
    virtual ~CrystalModel() = default;

    // Turns the crystal with the stage for frame k (ignored in the single-image mode).
    virtual void orient_for_frame(int k) = 0;
    // The per-frame constants of the pixel loop.
    virtual void prepare_frame() = 0;
    // The wave normal inside the plate, θ from the microscope axis and φ from x.
    virtual void set_wave_normal(double theta, double phi) = 0;
    // Γ in nm: index difference times path length.
    virtual double retardation() const = 0;
    // sin 2χ of the vibration direction that the colour synthesis treats as slow.
    virtual double orientation_factor() const = 0;
    // Γ and A of the wave normals of count groups, as retardation and orientation_factor give
    // them one at a time; the pixel loop's form, after prepare_frame. Reads nothing but the
    // frame's constants, so workers may share one prepared model.
    virtual void evaluate(const WaveGroup* groups, std::size_t count, double* retardation,
                          double* factor) const = 0;
    // Where the frame's optic axes emerge in the projection of the Draw.
    virtual std::vector<ProjectedAxis> projected_axes() const = 0;
};

// The parts shared by both models: the stage rotation of the frame and the projection.
class OrientedModel : public CrystalModel {
  public:
    explicit OrientedModel(const DrawSetup& setup);

  protected:
    // The stage azimuth of frame k in radians: 2πk/n outside the single-image mode.
    double stage_rotation(int k) const;
    ProjectedAxis project(double theta, double phi) const;

    const ParameterRecord params_;
    const float frame_count_real_;
    const Projection projection_;
    double thickness_nm_ = 0;
};

class UniaxialModel final : public OrientedModel {
  public:
    explicit UniaxialModel(const DrawSetup& setup) : OrientedModel(setup) {}

    void orient_for_frame(int k) override;
    void prepare_frame() override;
    void set_wave_normal(double theta, double phi) override;
    void evaluate(const WaveGroup* groups, std::size_t count, double* retardation,
                  double* factor) const override;
    std::vector<ProjectedAxis> projected_axes() const override;

    // set_wave_normal with the wave normal already resolved into its frame.
    void set_wave_frame(const WaveFrame& w) {
        cos_psi_ = dot(w.k, c_);
        u_c_ = dot(w.u, c_);
        v_c_ = dot(w.v, c_);
        path_ = thickness_nm_ * w.path_factor;
    }

    // n_e(ψ) − ω written as ω(ε² − ω²) sin²ψ / (√Q (ε + √Q)), Q = ω² sin²ψ + ε² cos²ψ:
    // the same value as ωε/√Q − ω, but exactly zero for an isotropic plate (ω = ε), where
    // the plain difference leaves rounding noise that the normalisation to the brightest
    // value would blow up into white speckles.
    double retardation() const override {
        const double sin2 = std::max(0.0, 1.0 - cos_psi_ * cos_psi_);
        const double root_q = std::sqrt(omega2_ * sin2 + epsilon2_ * cos_psi_ * cos_psi_);
        return omega_birefringence_ * sin2 / (root_q * (epsilon_ + root_q)) * path_;
    }

    // sin 2χ of the extraordinary vibration, the projection of C on the wavefront. Along C
    // that projection vanishes and there is no vibration azimuth: the factor is 0 there.
    double orientation_factor() const override {
        const double sin2 = u_c_ * u_c_ + v_c_ * v_c_;
        if (!(sin2 > 0.0))
            return 0.0;
        return std::clamp(2.0 * u_c_ * v_c_ / sin2, -1.0, 1.0);
    }

  private:
    double theta_c_ = 0, phi_c_ = 0;
    Vector3 c_{0, 0, 1};
    double epsilon_ = 0, omega2_ = 0, epsilon2_ = 0;
    double omega_birefringence_ = 0;  // ω(ε² − ω²)
    double cos_psi_ = 1, u_c_ = 0, v_c_ = 0, path_ = 0;
};

class BiaxialModel final : public OrientedModel {
  public:
    explicit BiaxialModel(const DrawSetup& setup) : OrientedModel(setup) {}

    void orient_for_frame(int k) override;
    void prepare_frame() override;
    void set_wave_normal(double theta, double phi) override;
    void evaluate(const WaveGroup* groups, std::size_t count, double* retardation,
                  double* factor) const override;
    std::vector<ProjectedAxis> projected_axes() const override;

    void set_wave_frame(const WaveFrame& w) {
        cos_a_ = dot(w.k, a_);
        cos_b_ = dot(w.k, b_);
        u_a_ = dot(w.u, a_);
        v_a_ = dot(w.v, a_);
        u_b_ = dot(w.u, b_);
        v_b_ = dot(w.v, b_);
        path_ = thickness_nm_ * w.path_factor;
    }

    struct Indices {
        double slow;  // n′
        double fast;  // n″
    };
    // 1/n² = ½(1/α² + 1/γ²) + ½(1/α² − 1/γ²) cos(ψA ± ψB), + for n″ and − for n′.
    Indices indices() const {
        const double sin_a = std::sqrt(std::max(0.0, 1.0 - cos_a_ * cos_a_));
        const double sin_b = std::sqrt(std::max(0.0, 1.0 - cos_b_ * cos_b_));
        const double cc = cos_a_ * cos_b_;
        const double ss = sin_a * sin_b;
        return {p_ * std::sqrt(2.0 / (d_ * (cc - ss) + s_)),
                p_ * std::sqrt(2.0 / (d_ * (cc + ss) + s_))};
    }

    double retardation() const override {
        const Indices n = indices();
        return (n.slow - n.fast) * path_;
    }

    // sin(χA + χB): the vibration directions bisect the projections of A and B on the
    // wavefront. Along either optic axis its projection vanishes and the factor is 0.
    double orientation_factor() const override {
        const double norm2 = (u_a_ * u_a_ + v_a_ * v_a_) * (u_b_ * u_b_ + v_b_ * v_b_);
        if (!(norm2 > 0.0))
            return 0.0;
        return (v_a_ * u_b_ + u_a_ * v_b_) / std::sqrt(norm2);
    }

    // The axes of the frame after the end of B is chosen (radians).
    double a_theta() const { return theta_a_; }
    double a_phi() const { return phi_a_; }
    double b_theta() const { return theta_b_; }
    double b_phi() const { return phi_b_; }

  private:
    double turn_ = 0;  // the stage rotation of the frame
    double theta_a_ = 0, phi_a_ = 0, theta_b_ = 0, phi_b_ = 0;
    Vector3 a_{0, 0, 1}, b_{0, 0, 1};
    double p_ = 0, s_ = 0, d_ = 0;
    double cos_a_ = 1, cos_b_ = 1, u_a_ = 0, v_a_ = 0, u_b_ = 0, v_b_ = 0, path_ = 0;
};

// The model of the record's crystal kind, set up for the Draw but not yet oriented.
std::unique_ptr<CrystalModel> make_crystal_model(const DrawSetup& setup);
