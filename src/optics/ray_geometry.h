// Every pixel of the figure is one direction of the light cone through the plate: its
// distance from the centre gives the polar angle through the projection (and, in the
// microscope field, through refraction at the mean index), its azimuth is the azimuth of
// the wave normal.
#pragma once

#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

#include "optics/bulk_memory.h"
#include "optics/crystal_model.h"
#include "optics/figure_buffer.h"
#include "optics/projection.h"

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

class RayGeometry {
  public:
    explicit RayGeometry(const DrawSetup& setup);

    // Whether the pixel centre at offset p lies in the figure circle (the rim included).
    bool inside(PixelOffset p) const {
        return !(std::sqrt(p.x * p.x + p.y * p.y) > double(radius_));
    }

    // The polar angle of the wave normal inside the plate for a pixel at distance r
    // (pixels, r ≤ ρ) from the centre, as its sine and cosine.
    PolarAngle polar(double r) const {
        PolarAngle angle = projection_.polar(r * inverse_scale_);
        if (refracted_) {
            // Snell's law at the mean index: sin θ = sin θair / n̄.
            angle.sine *= inverse_mean_index_;
            angle.cosine = std::sqrt((1.0 - angle.sine) * (1.0 + angle.sine));
        }
        return angle;
    }

    // sin θair of the ray in air that enters the plate as the wave normal at distance r: in
    // the microscope field the projection's own value, in the full range n̄ sin θ, which
    // exceeds 1 where no ray from air reaches the direction.
    double air_sine(double r) const {
        const double s = projection_.polar(r * inverse_scale_).sine;
        return refracted_ ? s : s * mean_index_;
    }

    // The wave normal through the point at offset p (pixels, |p| ≤ ρ) from the centre.
    WaveFrame wave_at(PixelOffset p) const {
        const double r = std::sqrt(p.x * p.x + p.y * p.y);
        const PolarAngle theta = polar(r);
        // At the centre the azimuth is taken as π/2.
        const double sin_phi = r > 0.0 ? p.y / r : 1.0;
        const double cos_phi = r > 0.0 ? p.x / r : 0.0;
        return wave_frame(theta.sine, theta.cosine, sin_phi, cos_phi);
    }

    float radius() const { return radius_; }
    // Pixels per unit of projected value: ρ in the full range, ρ / g(asin NA) in the field.
    double scale() const { return scale_; }

  private:
    float radius_;
    bool refracted_;
    Projection projection_;
    double scale_;
    double inverse_scale_;
    double inverse_mean_index_;
    double mean_index_;
};

// Where the pixels inside the figure circle lie in a row: columns first … first + width − 1,
// and their wave normals from slot onwards in the groups and value arrays of the Draw (each
// row starts a new group of four, so that rows are independent of each other).
struct RowSpan {
    int first = 0;
    int width = 0;
    std::size_t slot = 0;
};

// Each inside pixel's retardation and orientation factor at its slot, for antialiasing.
struct PointSamples {
    explicit PointSamples(std::size_t slots = 0) : retardation(slots), factor(slots) {}
    BulkVector<double> retardation;
    BulkVector<double> factor;
};

// The pixel loop of one Draw. The wave normal of every pixel inside the figure circle is
// the same in every frame (only the crystal turns), so it is resolved once; each frame then
// costs the crystal model and the colour of each inside pixel. Rows are independent: after
// construction, workers may resolve and colour disjoint ranges of rows at the same time.
class FrameComputer {
  public:
    // Finds the inside pixels of every row; their wave normals are resolved by resolve_rows.
    explicit FrameComputer(const DrawSetup& setup);

    // Resolves the wave normals of rows first … last − 1.
    void resolve_rows(int first, int last);

    // Colours rows first … last − 1 (resolved) for the frame to which model has been
    // oriented and prepared: three linear channels for each inside pixel at 3 × its slot
    // in values (value_count() long). Returns the largest channel of those rows (0 if none).
    float colour_rows(const CrystalModel& model, int first, int last, float* values) const;

    // With antialiasing, the frame is coloured in two passes. First the retardation and
    // orientation factor of each pixel of rows first … last − 1 go to its slot in kept.
    void evaluate_rows(const CrystalModel& model, int first, int last, PointSamples& kept) const;
    // Then, once kept holds every row: the colours of rows first … last − 1 as colour_rows
    // gives them, except for each pixel whose retardation differs from one of its four
    // neighbours' by more than supersampling_threshold(). That pixel gets its mean colour over
    // the pixel, in linear light: up to four times the threshold from an n × n grid of wave
    // normals spread over the pixel, n the change over the threshold rounded up; beyond that
    // from the retardations the pixel spans. Returns the largest channel of the point-sampled
    // colours, as colour_rows does, so that every other pixel is encoded as without
    // antialiasing.
    float colour_rows_antialiased(const CrystalModel& model, int first, int last,
                                  const PointSamples& kept, float* values) const;

    int side() const { return side_; }
    const RowSpan& row(int r) const { return rows_[std::size_t(r)]; }
    std::size_t inside_count() const { return inside_; }
    std::size_t value_count() const { return 3 * groups_.size() * WaveGroup::kSize; }

    // The values of colour_rows laid out as the whole figure, N × N × 3 from the top row, −1
    // in all three channels outside the circle.
    void spread_values(const float* values, std::span<float> figure) const;

  private:
    int side_;
    double plate_;  // the accessory's retardation (nm), 0 without one
    RayGeometry geometry_;
    std::vector<RowSpan> rows_;
    std::size_t inside_ = 0;
    BulkVector<WaveGroup> groups_;
};

// The change of retardation from a pixel to its neighbour (nm) above which the pixel is
// supersampled: a quarter of the shortest wavelength of the colour table, where the finest
// rings are four pixels apart and point sampling begins to show false patterns.
double supersampling_threshold();

// One frame on its own, laid out as spread_values does; returns its largest channel (the
// figure computation keeps a FrameComputer for all frames).
float compute_frame(const DrawSetup& setup, CrystalModel& model, std::span<float> values);
