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

// The pixel loop for one model and one colour operation, both fixed for the frame.
template <class Model, class Colour>
float fill_frame(const RayGeometry& geometry, int side, Model& model, const Colour& colour,
                 std::span<float> values) {
    const double rho = geometry.radius();
    float largest = 0.0f;
    float* out = values.data();
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column, out += 3) {
            const PixelOffset p = pixel_offset(geometry.radius(), column, row);
            const double r = std::sqrt(p.x * p.x + p.y * p.y);
            if (r > rho) {
                out[0] = out[1] = out[2] = -1.0f;
                continue;
            }
            const PolarAngle theta = geometry.polar(r);
            // At the centre the azimuth is taken as π/2.
            const double sin_phi = r > 0.0 ? p.y / r : 1.0;
            const double cos_phi = r > 0.0 ? p.x / r : 0.0;
            model.set_wave_frame(wave_frame(theta.sine, theta.cosine, sin_phi, cos_phi));
            colour(model.retardation(), model.orientation_factor(), out);
            largest = std::max({largest, out[0], out[1], out[2]});
        }
    }
    return largest;
}

template <class Model>
float fill_frame(const DrawSetup& setup, Model& model, std::span<float> values) {
    const RayGeometry geometry(setup);
    const ColourTable& table = retardation_colour_table();
    if (setup.params.no_test_plate)
        return fill_frame(geometry, setup.side, model, WithoutPlate{table}, values);
    return fill_frame(geometry, setup.side, model, WithPlate{table}, values);
}

}  // namespace

float compute_frame(const DrawSetup& setup, CrystalModel& model, std::span<float> values) {
    model.prepare_frame();
    if (model.kind() == kBiaxial)
        return fill_frame(setup, static_cast<BiaxialModel&>(model), values);
    return fill_frame(setup, static_cast<UniaxialModel&>(model), values);
}
