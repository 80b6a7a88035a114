#include "render/tone_table.h"

#include <cmath>

ToneTable build_tone_table(float gamma, float light, float encoding_gamma, float reference_light) {
    ToneTable table{};
    const double g = gamma;
    const double exponent = double(encoding_gamma) / g;
    const double brightness = std::pow(double(light) / double(reference_light), 1.0 / g);
    for (int level = 0; level < 255; ++level) {
        const double v = std::pow(level / 254.0, exponent) * brightness;
        table[level] = v >= 1.0 ? 255 : static_cast<std::uint8_t>(v * 255.0);
    }
    table[255] = 255;
    return table;
}
