// The two projections of directions onto the figure plane: the forward function g takes a
// polar angle θ to a projected value s (1 at the rim of the full range); polar goes back from
// s to the sine and cosine of θ, without inverse trigonometry, for the pixel loop.
#pragma once

#include <cmath>

#include "model/parameter_record.h"

struct PolarAngle {
    double sine;
    double cosine;
};

struct Projection {
    double (*forward)(double theta);
    PolarAngle (*polar)(double s);
};

inline double sine_forward(double theta) {
    return std::sin(theta);
}
// θ = asin s
inline PolarAngle sine_polar(double s) {
    return {s, std::sqrt((1.0 - s) * (1.0 + s))};
}

inline double wulff_forward(double theta) {
    return std::tan(theta / 2.0);
}
// θ = 2 atan s
inline PolarAngle wulff_polar(double s) {
    const double q = 1.0 / (1.0 + s * s);
    return {2.0 * s * q, (1.0 - s * s) * q};
}

inline Projection projection_for(int projection_kind) {
    if (projection_kind == kWulffProjection)
        return {wulff_forward, wulff_polar};
    return {sine_forward, sine_polar};
}
