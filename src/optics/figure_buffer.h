// The values fixed when Draw is pressed and the computed figure that travels with them to
// the window, the animation and the writers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "model/parameter_record.h"
#include "optics/bulk_memory.h"

// The gamma G of the stored levels. The figure window's display gamma starts at it, so that a
// figure first shows its levels as they are stored.
inline constexpr float kEncodingGamma = 2.4f;

struct DrawSetup {
    ParameterRecord params;      // the record as it stood when Draw was pressed
    int frame_count = 1;         // n: 1, or trunc(360 / sampling_step) in the stepped modes
    float frame_count_real = 1;  // n in single precision, for the stage rotation 2πk/n
    int side = 0;                // N: trunc(image_size), the side of one figure
    int canvas_side = 0;         // M: N, or the side of the composed rotation image
    float radius = 0;            // ρ = N / 2
    float mean_index = 0;        // n̄ of the current crystal kind
    float encoding_gamma = kEncodingGamma;
    // Pixels across which the retardation changes by more than a quarter of the shortest
    // wavelength are supersampled; every other pixel keeps its point-sampled colour.
    bool antialias = false;
    // Whether the stills and movies made of the figure show its vibration directions.
    bool vibration_directions = false;
};

// The level of all three bytes of a pixel outside the figure circle: white. Inside, the stored
// levels stop one below it.
inline constexpr std::uint8_t kEmptyLevel = 255;

// Whether a pixel (R, G, B) of a frame is empty, outside the figure circle: its green is at
// kEmptyLevel. In stored levels only the outside reaches it. The display conversion may raise
// an inside pixel to it too; one whose green it raised counts as empty from then on, one whose
// red or blue alone it raised does not.
inline bool is_empty_pixel(const std::uint8_t* rgb) {
    return rgb[1] == kEmptyLevel;
}

// F frames of S × S pixels, 3 bytes a pixel (R, G, B), rows from the top, no padding.
// kEmptyLevel in all three bytes is the white outside of the figure circle; inside levels are
// gamma-encoded 0 … 254 relative to the brightest channel of the whole Draw.
struct Figure {
    DrawSetup setup;
    BulkVector<std::uint8_t> pixels;
    int side = 0;                  // S: N, or M after the rotation image is composed
    int frames = 0;                // F: n, or 1 after the rotation image is composed
    float reference_light = 1.0f;  // L0 = 1 / Vmax (1 when the figure has no light at all)
    float encoding_gamma = kEncodingGamma;

    std::size_t frame_bytes() const { return std::size_t(3) * side * side; }
    std::span<const std::uint8_t> frame(int k) const {
        return {pixels.data() + frame_bytes() * k, frame_bytes()};
    }
};
