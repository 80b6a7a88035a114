// The 256-entry table through which stored levels become displayed bytes under the
// current light intensity and gamma. The window and every writer convert through it, so a
// saved picture has the tones the window shows.
#pragma once

#include <array>
#include <cstdint>

using ToneTable = std::array<std::uint8_t, 256>;

// gamma: the display gamma g; light: the light intensity L; encoding_gamma: G, with which
// the levels were stored; reference_light: L0, the light at which level 254 shows as 255.
// Level 255 is the white outside of the figure and stays 255 at every setting.
ToneTable build_tone_table(float gamma, float light, float encoding_gamma, float reference_light);
