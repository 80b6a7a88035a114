// The read-out of a pixel as text: the line under the figure in the user's language, and
// the key=value line that lumitra-render --probe prints for scripts.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "render/pixel_readout.h"

// The line the window shows for a pixel whose picture shows the colour rgb; shown turns one
// of the program's texts (texts.h) into the text shown. Empty outside the figure circles.
std::string readout_line(const PixelReadout& read, const std::array<std::uint8_t, 3>& rgb,
                         const std::function<std::string(const char*)>& shown);

// inside, theta_deg, phi_deg, incidence_deg, n_slow, n_fast, retardation_nm, order,
// slow_azimuth_deg, a, r, g, b as key=value pairs separated by single spaces, with a
// full stop for the decimals whatever the locale; nan for what a pixel outside the circles
// lacks and for the angle in air where no ray from air reaches.
std::string probe_line(const PixelReadout& read, const std::array<std::uint8_t, 3>& rgb);
