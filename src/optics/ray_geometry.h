// Every pixel of the figure is one direction of the light cone through the plate: its
// distance from the centre gives the polar angle through the projection (and, in the
// microscope field, through refraction at the mean index), its azimuth is the azimuth of
// the wave normal.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "optics/crystal_model.h"
#include "optics/figure_buffer.h"

// Offsets of a pixel centre from the figure centre, x to the right, y upwards. For an even
// side the centre lies between pixels, for an odd side on the middle pixel.
struct PixelOffset {
    double x;
    double y;
};

inline PixelOffset pixel_offset(float radius, int column, int row) {
    const double centre = double(radius) - 0.5;
    return {column - centre, centre - row};
}

struct PolarAngle {
    double sine;
    double cosine;
};

class RayGeometry {
  public:
    explicit RayGeometry(const DrawSetup& setup);

    // The polar angle of the wave normal inside the plate for a pixel at distance r
    // (pixels, r ≤ ρ) from the centre, in radians.
    double polar_angle(double r) const;

    // The same angle as its sine and cosine, without inverse trigonometry: the pixel loop's
    // form.
    PolarAngle polar(double r) const {
        const double s = r * inverse_scale_;
        double sine, cosine;
        if (wulff_) {
            // θ = 2 atan s
            const double q = 1.0 / (1.0 + s * s);
            sine = 2.0 * s * q;
            cosine = (1.0 - s * s) * q;
        } else {
            sine = s;
            cosine = std::sqrt((1.0 - s) * (1.0 + s));
        }
        if (refracted_) {
            // Snell's law at the mean index: sin θ = sin θair / n̄.
            sine *= inverse_mean_index_;
            cosine = std::sqrt((1.0 - sine) * (1.0 + sine));
        }
        return {sine, cosine};
    }

    float radius() const { return radius_; }
    // Pixels per unit of projected value: ρ in the full range, ρ / g(asin NA) in the field.
    double scale() const { return scale_; }

  private:
    float radius_;
    bool wulff_;
    bool refracted_;
    double scale_;
    double inverse_scale_;
    double inverse_mean_index_;
    Projection projection_;
    double mean_index_;
};

// The pixel loop of one Draw. The wave normal of every pixel inside the figure circle is
// the same in every frame (only the crystal turns), so it is resolved once; each frame then
// costs the crystal model and the colour of each inside pixel.
class FrameComputer {
  public:
    explicit FrameComputer(const DrawSetup& setup);

    // Fills values (N × N × 3 linear channels, row 0 at the top; −1 in all three outside
    // the figure circle) for the frame to which model has been oriented, and returns the
    // largest channel inside the circle (0 if there is none).
    float compute_frame(CrystalModel& model, std::span<float> values);

    std::size_t inside_count() const { return pixels_.size(); }

  private:
    int side_;
    bool test_plate_;
    std::vector<std::uint32_t> pixels_;  // row-major index of each inside pixel
    WaveFrames frames_;
    std::vector<double> retardation_;
    std::vector<double> factor_;
};

// One frame on its own (the figure computation keeps a FrameComputer for all frames).
float compute_frame(const DrawSetup& setup, CrystalModel& model, std::span<float> values);
