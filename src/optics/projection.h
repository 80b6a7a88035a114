// The two projections of directions onto the figure plane: the forward function g takes a
// polar angle to a projected value (1 at the rim of the full range), the inverse f goes back.
#pragma once

#include <cmath>

#include "model/parameter_record.h"

struct Projection {
    double (*forward)(double theta);
    double (*inverse)(double s);
};

inline double sine_forward(double theta) {
    return std::sin(theta);
}
inline double sine_inverse(double s) {
    return std::asin(s);
}
inline double wulff_forward(double theta) {
    return std::tan(theta / 2.0);
}
inline double wulff_inverse(double s) {
    return 2.0 * std::atan(s);
}

inline Projection projection_for(int projection_kind) {
    if (projection_kind == kWulffProjection)
        return {wulff_forward, wulff_inverse};
    return {sine_forward, sine_inverse};
}
