#include "optics/ray_geometry.h"

#include <algorithm>

#include "optics/interference_colour.h"

RayGeometry::RayGeometry(const DrawSetup& setup)
    : radius_(setup.radius),
      wulff_(setup.params.projection_kind == kWulffProjection),
      refracted_(setup.params.draw_range == kMicroscopeField),
      projection_(projection_for(setup.params.projection_kind)),
      mean_index_(setup.mean_index) {
    scale_ = radius_;
    if (refracted_)
        scale_ = radius_ / projection_.forward(std::asin(double(setup.params.numerical_aperture)));
    inverse_scale_ = 1.0 / scale_;
    inverse_mean_index_ = 1.0 / mean_index_;
}

double RayGeometry::polar_angle(double r) const {
    if (!refracted_)
        return projection_.inverse(r / radius_);
    const double theta_air = projection_.inverse(r / scale_);
    return std::asin(std::sin(theta_air) / mean_index_);
}

namespace {

template <class Colour>
float colour_pixels(const Colour& colour, const std::vector<std::uint32_t>& pixels,
                    const double* retardation, const double* factor, float* values) {
    float largest = 0.0f;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        float* out = values + 3 * std::size_t(pixels[i]);
        colour(retardation[i], factor[i], out);
        largest = std::max({largest, out[0], out[1], out[2]});
    }
    return largest;
}

}  // namespace

FrameComputer::FrameComputer(const DrawSetup& setup)
    : side_(setup.side), test_plate_(setup.params.no_test_plate == 0) {
    const RayGeometry geometry(setup);
    const double rho = geometry.radius();
    std::vector<WaveFrame> inside;
    for (int row = 0; row < side_; ++row) {
        for (int column = 0; column < side_; ++column) {
            const PixelOffset p = pixel_offset(geometry.radius(), column, row);
            const double r = std::sqrt(p.x * p.x + p.y * p.y);
            if (r > rho)
                continue;
            const PolarAngle theta = geometry.polar(r);
            // At the centre the azimuth is taken as π/2.
            const double sin_phi = r > 0.0 ? p.y / r : 1.0;
            const double cos_phi = r > 0.0 ? p.x / r : 0.0;
            pixels_.push_back(static_cast<std::uint32_t>(row * side_ + column));
            inside.push_back(wave_frame(theta.sine, theta.cosine, sin_phi, cos_phi));
        }
    }
    frames_.reset(inside.size());
    for (std::size_t i = 0; i < inside.size(); ++i)
        frames_.set(i, inside[i]);
    retardation_.resize(frames_.count);
    factor_.resize(frames_.count);
}

float FrameComputer::compute_frame(CrystalModel& model, std::span<float> values) {
    model.prepare_frame();
    model.evaluate(frames_, retardation_.data(), factor_.data());
    std::fill(values.begin(), values.begin() + std::size_t(3) * side_ * side_, -1.0f);
    const ColourTable& table = retardation_colour_table();
    if (test_plate_)
        return colour_pixels(WithPlate{table}, pixels_, retardation_.data(), factor_.data(),
                             values.data());
    return colour_pixels(WithoutPlate{table}, pixels_, retardation_.data(), factor_.data(),
                         values.data());
}

float compute_frame(const DrawSetup& setup, CrystalModel& model, std::span<float> values) {
    return FrameComputer(setup).compute_frame(model, values);
}
