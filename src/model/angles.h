// Angles are degrees in the record, the panels and the command line, radians in the
// computation; this is the one conversion between them.
#pragma once

#include <numbers>

inline constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

constexpr double radians(double degrees) {
    return degrees * kRadiansPerDegree;
}

constexpr double degrees(double radians) {
    return radians * (180.0 / std::numbers::pi);
}
