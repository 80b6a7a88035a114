// The figure computed the plain way, as a yardstick for lumitra-render's whole run: the same
// command line, every pixel of every frame in turn on one thread, in double precision with
// no vector code and no shortcuts, the colour table summed wavelength by wavelength, and the
// chosen frame written as the same PPM (byte for byte; the full range's overlay is left
// out). Only the data tables (the light source and the observer) and the display's tone
// table come from the program.
//   plain_figure --axis-type 1 --draw-mode 2 --image-size-animation 188 --out plain.ppm
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

#include "app/render_options.h"
#include "model/accessories.h"
#include "optics/figure_buffer.h"
#include "optics/interference_colour.h"
#include "output/still_writers.h"
#include "render/tone_table.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kRadian = kPi / 180.0;

struct Vector {
    double x, y, z;
};
double dot(const Vector& a, const Vector& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vector direction(double theta, double phi) {
    return {std::sin(theta) * std::cos(phi), std::sin(theta) * std::sin(phi), std::cos(theta)};
}

long round_half_away(double x) {
    return x < 0 ? -long(-x + 0.5) : long(x + 0.5);
}

// The spectral sum at every whole retardation from 0 to 9999 nm, signed: an accessory mixes
// sums with negative weights, and only the light that passes is clipped.
std::vector<float> colour_table() {
    const SpectralWeights& w = spectral_weights();
    std::vector<float> table(3 * kColourTableSize);
    for (int j = 0; j < kColourTableSize; ++j) {
        double sum[3] = {0, 0, 0};
        for (int i = 0; i < kWavelengthCount; ++i) {
            const double s = std::sin(kPi * j / w.wavelength[i]);
            sum[0] += s * s * w.red[i];
            sum[1] += s * s * w.green[i];
            sum[2] += s * s * w.blue[i];
        }
        for (int q = 0; q < 3; ++q)
            table[3 * j + q] = float(sum[q] / w.normaliser);
    }
    return table;
}

// The colour at retardation r; without an accessory each sum is clipped to light that
// passes before it is interpolated.
void colour_of(const std::vector<float>& table, double r, float* out, bool clipped) {
    if (r >= kTableBound) {
        (clipped ? spectral_colour : signed_spectral_colour)(r, out);
        return;
    }
    const int whole = int(std::floor(r));
    const double f = r - whole;
    for (int q = 0; q < 3; ++q) {
        float lower = table[3 * whole + q], upper = table[3 * whole + 3 + q];
        if (clipped) {
            lower = std::max(lower, 0.0f);
            upper = std::max(upper, 0.0f);
        }
        out[q] = float((1.0 - f) * lower + f * upper);
    }
}

float clamp(float v) {
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const ParsedRenderOptions parsed = parse_render_options(arguments);
    if (!parsed.options || parsed.options->out.empty()) {
        std::fprintf(stderr, "plain_figure: %s\n",
                     parsed.options ? "--out FILE is missing" : parsed.error.c_str());
        return 2;
    }
    const ParameterRecord& p = parsed.options->record;
    const bool biaxial = p.axis_type == kBiaxial;
    const bool full_range = p.draw_range == kFullRange;
    const int n = p.draw_mode == kSingleImage ? 1 : int(360.0f / p.sampling_step);
    const float n_real = float(n);
    const int N = int(p.image_size);
    const float rho = float(N) / 2.0f;
    const float mean_index =
        biaxial ? std::sqrt(p.alpha * p.gamma) : std::sqrt(p.omega * p.epsilon);
    const double t = p.thickness * 1000.0;
    const double K = rho / std::sin(std::asin(double(p.numerical_aperture)));
    const std::vector<float> table = colour_table();

    std::vector<float> values(std::size_t(N) * N * 3);
    std::vector<std::uint8_t> bytes(values.size() * n);
    std::vector<float> maxima(n);
    float v_max = 0;
    for (int k = 0; k < n; ++k) {
        const double turn = p.draw_mode == kSingleImage ? 0.0 : 2.0 * kPi * k / n_real;
        double theta_a = p.a_axis_theta * kRadian, phi_a = p.a_axis_phi * kRadian + turn;
        double theta_b = p.b_axis_theta * kRadian, phi_b = p.b_axis_phi * kRadian + turn;
        const double cos_ab = std::cos(theta_a) * std::cos(theta_b) +
                              std::sin(theta_a) * std::sin(theta_b) * std::cos(phi_a - phi_b);
        if (std::cos(p.two_vz * kRadian) * cos_ab < 0) {
            theta_b = kPi - theta_b;
            phi_b += kPi;
        }
        const Vector a = biaxial
                             ? direction(theta_a, phi_a)
                             : direction(p.c_axis_theta * kRadian, p.c_axis_phi * kRadian + turn);
        const Vector b = direction(theta_b, phi_b);
        float m = 0;
        for (int i = 0; i < N * N; ++i) {
            float* out = &values[3 * std::size_t(i)];
            const double x = (i % N) - (rho - 0.5), y = (rho - 0.5) - (i / N);
            const double r = std::sqrt(x * x + y * y);
            if (r > rho) {
                out[0] = out[1] = out[2] = -1;
                continue;
            }
            const double theta = full_range ? std::asin(r / rho) : std::asin((r / K) / mean_index);
            const double phi = r == 0 ? kPi / 2 : std::atan2(y, x);
            const double ct = std::cos(theta), st = std::sin(theta);
            const double cp = std::cos(phi), sp = std::sin(phi);
            const Vector wave = {st * cp, st * sp, ct};
            const Vector u = {sp * sp + ct * cp * cp, sp * cp * (ct - 1), -st * cp};
            const Vector v = {sp * cp * (ct - 1), cp * cp + ct * sp * sp, -st * sp};
            const double length = t / ct;
            double retardation, factor;
            // The angle to an optic axis and the azimuth of its projection on the wavefront.
            auto angles = [&](const Vector& e, double& cos_psi, double& sin_psi, double& cos_chi,
                              double& sin_chi) {
                cos_psi = dot(wave, e);
                sin_psi = std::sqrt(std::max(0.0, 1 - cos_psi * cos_psi));
                cos_chi = sin_psi > 0 ? dot(u, e) / sin_psi : 0;
                sin_chi = sin_psi > 0 ? dot(v, e) / sin_psi : 0;
            };
            double ca, sa, cxa, sxa;
            angles(a, ca, sa, cxa, sxa);
            if (biaxial) {
                double cb, sb, cxb, sxb;
                angles(b, cb, sb, cxb, sxb);
                const double P = double(p.alpha) * p.gamma;
                const double S = double(p.alpha) * p.alpha + double(p.gamma) * p.gamma;
                const double D = double(p.gamma) * p.gamma - double(p.alpha) * p.alpha;
                const double slow = P * std::sqrt(2 / (D * (ca * cb - sa * sb) + S));
                const double fast = P * std::sqrt(2 / (D * (ca * cb + sa * sb) + S));
                retardation = (slow - fast) * length;
                factor = sxa * cxb + cxa * sxb;
            } else {
                const double oe = double(p.omega) * p.epsilon;
                const double ne = oe / std::sqrt(double(p.omega) * p.omega * sa * sa +
                                                 double(p.epsilon) * p.epsilon * ca * ca);
                retardation = (ne - p.omega) * length;
                factor = std::clamp(2 * sxa * cxa, -1.0, 1.0);
            }
            if (const double plate_retardation = accessory_retardation(p);
                plate_retardation == 0.0) {
                float c[3];
                colour_of(table, std::abs(retardation), c, true);
                for (int q = 0; q < 3; ++q)
                    out[q] = clamp(float(factor * factor * c[q]));
            } else {
                float add[3], subtract[3], plate[3];
                colour_of(table, std::abs(retardation + plate_retardation), add, false);
                colour_of(table, std::abs(retardation - plate_retardation), subtract, false);
                colour_of(table, plate_retardation, plate, false);
                const float a2 = float(factor * factor);
                const float w1 = (a2 + float(factor)) / 2, w2 = (a2 - float(factor)) / 2;
                for (int q = 0; q < 3; ++q)
                    out[q] = clamp(w1 * add[q] + w2 * subtract[q] + (1 - a2) * plate[q]);
            }
            m = std::max({m, out[0], out[1], out[2]});
        }
        maxima[k] = m;
        v_max = std::max(v_max, m);
        std::uint8_t* frame = &bytes[values.size() * k];
        for (std::size_t i = 0; i < values.size(); ++i)
            frame[i] = values[i] < 0 ? 255
                       : m > 0       ? std::uint8_t(round_half_away(
                                           254 * std::pow(values[i] / m, 1 / double(kEncodingGamma))))
                                     : 0;
    }
    for (int k = 0; k < n && v_max > 0; ++k) {
        const float f = float(std::pow(maxima[k] / v_max, 1 / double(kEncodingGamma)));
        std::uint8_t* frame = &bytes[values.size() * k];
        for (std::size_t i = 0; i < values.size(); ++i)
            if (frame[i] < 255)
                frame[i] = std::uint8_t(round_half_away(frame[i] * f));
    }
    const float reference_light = v_max > 0 ? 1 / v_max : 1;
    const ToneTable tones = build_tone_table(parsed.options->display_gamma, reference_light,
                                             kEncodingGamma, reference_light);
    const std::uint8_t* frame = &bytes[values.size() * parsed.options->frame];
    std::vector<std::uint8_t> picture(values.size());
    for (std::size_t i = 0; i < picture.size(); ++i)
        picture[i] = tones[frame[i]];
    return write_ppm(parsed.options->out.c_str(), picture.data(), N, N) == 1 ? 0 : 1;
}
