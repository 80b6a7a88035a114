// The optical model of the crystal for one frame: where its optic axes lie on the turned
// stage, and for any wave normal inside the plate the retardation and the orientation of
// the two vibration directions against the crossed polarizers. The indicatrix is never
// built as a matrix; the indices come in closed form from the angles to the optic axes.
// Angles are radians here, degrees only where they are read from the record.
#pragma once

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

// What the pixel loop knows of four wave normals besides the colour's inputs: the index of
// the vibration whose factor it gives (the extraordinary one of a uniaxial crystal, the slow
// one of a biaxial crystal), the index of the other vibration, and cos 2χ of the former, which
// with A = sin 2χ fixes its azimuth on the wavefront (from the stage x axis towards y).
struct VibrationLanes {
    double described_index[WaveGroup::kSize];
    double other_index[WaveGroup::kSize];
    double cos_two_chi[WaveGroup::kSize];
};

class CrystalModel {
  public:
    virtual ~CrystalModel() = default;

    // Turns the crystal with the stage for frame k (ignored in the single-image mode).
    virtual void orient_for_frame(int k) = 0;
    // The per-frame constants of the pixel loop.
    virtual void prepare_frame() = 0;
    // For the wave normals of count groups (4 × count lanes, after prepare_frame): Γ in nm,
    // the index difference times the path length through the plate, and A = sin 2χ of the
    // vibration direction that the colour synthesis treats as slow. Reads nothing but the
    // frame's constants, so workers may share one prepared model.
    virtual void evaluate(const WaveGroup* groups, std::size_t count, double* retardation,
                          double* factor) const = 0;
    // evaluate's values by the same code, and the vibrations of each lane besides.
    virtual void evaluate_vibrations(const WaveGroup* groups, std::size_t count,
                                     double* retardation, double* factor,
                                     VibrationLanes* vibrations) const = 0;
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
    void evaluate(const WaveGroup* groups, std::size_t count, double* retardation,
                  double* factor) const override;
    void evaluate_vibrations(const WaveGroup* groups, std::size_t count, double* retardation,
                             double* factor, VibrationLanes* vibrations) const override;
    std::vector<ProjectedAxis> projected_axes() const override;

  private:
    double theta_c_ = 0, phi_c_ = 0;
    Vector3 c_{0, 0, 1};
    double omega_ = 0, epsilon_ = 0, omega2_ = 0, epsilon2_ = 0;
    double omega_birefringence_ = 0;  // ω(ε² − ω²)
};

class BiaxialModel final : public OrientedModel {
  public:
    explicit BiaxialModel(const DrawSetup& setup) : OrientedModel(setup) {}

    void orient_for_frame(int k) override;
    void prepare_frame() override;
    void evaluate(const WaveGroup* groups, std::size_t count, double* retardation,
                  double* factor) const override;
    void evaluate_vibrations(const WaveGroup* groups, std::size_t count, double* retardation,
                             double* factor, VibrationLanes* vibrations) const override;
    std::vector<ProjectedAxis> projected_axes() const override;

  private:
    double turn_ = 0;  // the stage rotation of the frame
    double theta_a_ = 0, phi_a_ = 0, theta_b_ = 0, phi_b_ = 0;
    Vector3 a_{0, 0, 1}, b_{0, 0, 1};
    double p_ = 0, s_ = 0, d_ = 0;
};

// The model of the record's crystal kind, set up for the Draw but not yet oriented.
std::unique_ptr<CrystalModel> make_crystal_model(const DrawSetup& setup);
