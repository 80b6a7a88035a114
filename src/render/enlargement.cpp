#include "render/enlargement.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "optics/figure_buffer.h"
#include "optics/rounding.h"

namespace {

// Coefficients of v(X, Y) = k0 + k1·X + k2·Y + k3·X·Y for one channel.
struct Fit {
    float k[4];
};

struct Corner {
    double X, Y;
    double v[3];
};

// The fits by the number u of usable corners in a cell of output size r. Corner positions
// are relative to the cell's top-left corner: the surface is the same as in absolute output
// coordinates, but the coefficients stay of the size of the levels, so that storing them in
// single precision cannot shift a level. In absolute output coordinates k0 of a steep cell
// far from the origin reaches 10^7, where a float is off by a whole unit.
Fit fit_channel(const Corner* p, int u, int channel, double r) {
    Fit f{{0, 0, 0, 0}};
    auto v = [&](int i) { return p[i].v[channel]; };
    double k0 = 0, k1 = 0, k2 = 0, k3 = 0;
    if (u == 4) {
        const double r2 = r * r;
        k1 = (v(1) - v(0)) * r / r2;
        k2 = (v(2) - v(0)) * r / r2;
        k3 = (v(0) + v(3) - v(1) - v(2)) / r2;
        k0 = v(0) - k1 * p[0].X - k2 * p[0].Y - k3 * p[0].X * p[0].Y;
    } else if (u == 3) {
        const double dx1 = p[1].X - p[0].X, dx2 = p[2].X - p[0].X;
        const double dy1 = p[1].Y - p[0].Y, dy2 = p[2].Y - p[0].Y;
        const double dv1 = v(1) - v(0), dv2 = v(2) - v(0);
        k1 = (dv1 * dy2 - dv2 * dy1) / (dx1 * dy2 - dx2 * dy1);
        k2 = (dv1 * dx2 - dv2 * dx1) / (dy1 * dx2 - dy2 * dx1);
        k0 = v(0) - k1 * p[0].X - k2 * p[0].Y;
    } else if (u == 2) {
        const double X0 = p[0].X, Y0 = p[0].Y, X1 = p[1].X, Y1 = p[1].Y;
        if (std::abs(Y0 - Y1) < 0.0001) {
            k1 = (v(1) - v(0)) / (X1 - X0);
            k0 = v(0) - k1 * X0;
        } else if (std::abs(X0 - X1) < 0.0001) {
            k2 = (v(1) - v(0)) / (Y1 - Y0);
            k0 = v(0) - k2 * Y0;
        } else if ((Y1 - Y0) * (X1 - X0) > 0.0001) {
            k1 = k2 = (v(1) - v(0)) / (X1 + Y1 - X0 - Y0);
            k0 = v(0) - (X0 + Y0) * k1;
        } else {
            k1 = (v(1) - v(0)) / (X1 - Y1 - X0 + Y0);
            k2 = -k1;
            k0 = v(0) - k1 * X0 - k2 * Y0;
        }
    } else if (u == 1) {
        k0 = v(0);
    }
    f.k[0] = static_cast<float>(k0);
    f.k[1] = static_cast<float>(k1);
    f.k[2] = static_cast<float>(k2);
    f.k[3] = static_cast<float>(k3);
    return f;
}

std::uint8_t evaluate(const Fit& f, double X, double Y) {
    const double value =
        double(f.k[0]) + double(f.k[1]) * X + double(f.k[2]) * Y + double(f.k[3]) * X * Y;
    const int level = round_half_away(std::clamp(value, -1.0, 255.0));
    return static_cast<std::uint8_t>(std::clamp(level, 0, 254));
}

// Smallest integer ≥ a / b and largest integer ≤ a / b, for a ≥ 0 and b > 0.
std::int64_t ceil_div(std::int64_t a, std::int64_t b) {
    return (a + b - 1) / b;
}
std::int64_t floor_div(std::int64_t a, std::int64_t b) {
    return a / b;
}

// Sides below 2 leave no cells to interpolate in; each output pixel then takes its nearest
// source pixel under the same rules.
void resample_nearest(std::span<const std::uint8_t> source, int S, std::span<std::uint8_t> dest,
                      int T) {
    const double q = T * 0.5 - 0.5;
    const double radius2 = (T * 0.5) * (T * 0.5);
    for (int Yo = 0; Yo < T; ++Yo) {
        for (int Xo = 0; Xo < T; ++Xo) {
            std::uint8_t* out = dest.data() + (std::size_t(Yo) * T + Xo) * 3;
            const int sx = T > 1 ? round_half_away(double(Xo) * (S - 1) / (T - 1)) : 0;
            const int sy = T > 1 ? round_half_away(double(Yo) * (S - 1) / (T - 1)) : 0;
            const std::uint8_t* in = source.data() + (std::size_t(sy) * S + sx) * 3;
            const double dx = Xo - q, dy = q - Yo;
            if (dx * dx + dy * dy > radius2 || is_empty_pixel(in)) {
                out[0] = out[1] = out[2] = 255;
            } else {
                for (int c = 0; c < 3; ++c)
                    out[c] = std::min<std::uint8_t>(in[c], 254);
            }
        }
    }
}

}  // namespace

void enlarge_frame(std::span<const std::uint8_t> source, int S, std::span<std::uint8_t> dest,
                   int T) {
    if (S <= 0 || T <= 0)
        return;
    if (source.size() < std::size_t(3) * S * S || dest.size() < std::size_t(3) * T * T)
        return;
    if (S < 2 || T < 2) {
        resample_nearest(source, S, dest, T);
        return;
    }
    const double r = double(T - 1) / double(S - 1);
    const double q = T * 0.5 - 0.5;
    const double radius2 = (T * 0.5) * (T * 0.5);
    const std::int64_t span = T - 1;
    const std::int64_t cells = S - 1;
    const std::size_t stride = std::size_t(3) * S;

    for (int y = 0; y < S - 1; ++y) {
        const int row_first = static_cast<int>(ceil_div(y * span, cells));
        const int row_last = static_cast<int>(floor_div((y + 1) * span, cells));
        for (int x = 0; x < S - 1; ++x) {
            const int col_first = static_cast<int>(ceil_div(x * span, cells));
            const int col_last = static_cast<int>(floor_div((x + 1) * span, cells));

            Corner usable[4];
            int u = 0;
            const int corner_rows[4] = {y, y, y + 1, y + 1};
            const int corner_cols[4] = {x, x + 1, x, x + 1};
            for (int c = 0; c < 4; ++c) {
                const std::uint8_t* px =
                    source.data() + std::size_t(corner_rows[c]) * stride + 3 * corner_cols[c];
                if (is_empty_pixel(px))
                    continue;
                usable[u] = {(corner_cols[c] - x) * r,
                             (corner_rows[c] - y) * r,
                             {double(px[0]), double(px[1]), double(px[2])}};
                ++u;
            }
            const double origin_x = x * r;
            const double origin_y = y * r;
            Fit fits[3];
            for (int ch = 0; ch < 3; ++ch)
                fits[ch] = fit_channel(usable, u, ch, r);

            for (int Yo = row_first; Yo <= row_last; ++Yo) {
                std::uint8_t* out_row = dest.data() + std::size_t(Yo) * 3 * T;
                const double dy = q - Yo;
                for (int Xo = col_first; Xo <= col_last; ++Xo) {
                    std::uint8_t* out = out_row + 3 * Xo;
                    const double dx = Xo - q;
                    if (u == 0 || dx * dx + dy * dy > radius2) {
                        out[0] = out[1] = out[2] = 255;
                        continue;
                    }
                    for (int ch = 0; ch < 3; ++ch)
                        out[ch] = evaluate(fits[ch], Xo - origin_x, Yo - origin_y);
                }
            }
        }
    }
}
