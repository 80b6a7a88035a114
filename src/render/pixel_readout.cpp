#include "render/pixel_readout.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "model/accessories.h"
#include "model/angles.h"
#include "optics/crystal_model.h"
#include "optics/figure_computation.h"
#include "optics/ray_geometry.h"

namespace {

double degrees_of(double radians) {
    return radians / kRadiansPerDegree;
}

// The angle modulo a period, in [0, period).
double wrapped(double angle, double period) {
    const double w = std::fmod(angle, period);
    return w < 0.0 ? w + period : w;
}

// Frame k's pixel at offset p from the centre of a figure of the setup's side.
void read_wave(const DrawSetup& setup, int frame, PixelOffset p, PixelReadout& out) {
    const RayGeometry geometry(setup);
    if (!geometry.inside(p))
        return;
    out.inside = true;
    out.frame = frame;
    const WaveFrame wave = geometry.wave_at(p);
    const double r = std::sqrt(p.x * p.x + p.y * p.y);
    const PolarAngle theta = geometry.polar(r);
    out.theta_deg = degrees_of(std::atan2(theta.sine, theta.cosine));
    out.phi_deg = wrapped(degrees_of(std::atan2(wave.k.y, wave.k.x)), 360.0);
    const double air = geometry.air_sine(r);
    out.incidence_deg = air <= 1.0 ? degrees_of(std::asin(air)) : std::nan("");

    const std::unique_ptr<CrystalModel> model = make_crystal_model(setup);
    model->orient_for_frame(frame);
    model->prepare_frame();
    WaveGroup group;
    for (int lane = 1; lane < WaveGroup::kSize; ++lane)
        group.set_plate_normal(lane);
    group.set(0, wave);
    double retardation[WaveGroup::kSize], factor[WaveGroup::kSize];
    model->evaluate(&group, 1, retardation, factor);
    VibrationLanes vibrations;
    double unused_retardation[WaveGroup::kSize], unused_factor[WaveGroup::kSize];
    model->evaluate_vibrations(&group, 1, unused_retardation, unused_factor, &vibrations);

    // The model describes one vibration; a negative retardation says it is the fast one.
    const bool described_slow = !(retardation[0] < 0.0);
    const double chi = 0.5 * std::atan2(factor[0], vibrations.cos_two_chi[0]);
    out.retardation_nm = std::abs(retardation[0]);
    out.order = out.retardation_nm / kOrderRetardation;
    out.n_slow = described_slow ? vibrations.described_index[0] : vibrations.other_index[0];
    out.n_fast = described_slow ? vibrations.other_index[0] : vibrations.described_index[0];
    out.a = described_slow ? factor[0] : -factor[0];
    out.slow_azimuth_deg = wrapped(degrees_of(chi) + (described_slow ? 0.0 : 90.0), 180.0);
    if (accessory_retardation(setup.params) > 0.0 && out.a != 0.0)
        out.effect = out.a > 0.0 ? AccessoryEffect::kAddition : AccessoryEffect::kSubtraction;
}

}  // namespace

PixelReadout read_pixel(const Figure& figure, int frame, int x, int y) {
    PixelReadout out;
    const DrawSetup& setup = figure.setup;
    const bool composed = setup.params.draw_mode == kRotationImage;
    const int stored = composed ? 0 : frame;
    if (x < 0 || y < 0 || x >= figure.side || y >= figure.side || stored < 0 ||
        stored >= figure.frames)
        return out;
    if (!composed) {
        read_wave(setup, frame, pixel_offset(setup.radius, x, y), out);
    } else {
        for (int k = 0; k < setup.frame_count && !out.inside; ++k) {
            const auto [x0, y0] =
                rotation_image_origin(figure.side, setup.side, setup.frame_count, k);
            const int column = x - x0, row = y - y0;
            if (column >= 0 && row >= 0 && column < setup.side && row < setup.side)
                read_wave(setup, k, pixel_offset(setup.radius, column, row), out);
        }
    }
    if (out.inside) {
        const std::uint8_t* rgb =
            &figure.frame(stored)[3 * (std::size_t(y) * std::size_t(figure.side) + std::size_t(x))];
        out.levels = {rgb[0], rgb[1], rgb[2]};
    }
    return out;
}

std::string order_numeral(double retardation_nm) {
    static constexpr struct {
        int value;
        const char* letters;
    } kDigits[] = {{100, "C"}, {90, "XC"}, {50, "L"}, {40, "XL"}, {10, "X"},
                   {9, "IX"},  {5, "V"},   {4, "IV"}, {1, "I"}};
    int order = 1 + static_cast<int>(std::floor(std::max(retardation_nm, 0.0) / kOrderRetardation));
    if (order >= 400)  // beyond any section the controls allow
        return std::to_string(order);
    std::string numeral;
    for (const auto& digit : kDigits) {
        for (; order >= digit.value; order -= digit.value)
            numeral += digit.letters;
    }
    return numeral;
}
