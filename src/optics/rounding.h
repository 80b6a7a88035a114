#pragma once

#include <cmath>

// Nearest integer with halves rounded away from zero; every level and pixel position of
// the program is rounded this way, so that figures, overlays and saved files agree.
inline int round_half_away(double x) {
    return x < 0 ? -static_cast<int>(std::trunc(-x + 0.5)) : static_cast<int>(std::trunc(x + 0.5));
}
