#include "optics/figure_computation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numbers>

#include "app/texts.h"
#include "optics/crystal_model.h"
#include "optics/ray_geometry.h"
#include "optics/rounding.h"

namespace {

void encode_frame(std::span<const float> values, float largest, const LevelEncoder& encode,
                  std::uint8_t* bytes) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        const float v = values[i];
        if (v < 0.0f)
            bytes[i] = 255;
        else if (largest > 0.0f)
            bytes[i] = encode(double(v) / double(largest));
        else
            bytes[i] = 0;  // a frame without any light is black
    }
}

// Rescales the inside levels of a frame encoded against its own largest value m to the
// largest value of the whole Draw: level × (m / Vmax)^(1/G), rounded.
void rescale_frame(std::uint8_t* bytes, std::size_t count, float factor) {
    std::array<std::uint8_t, 256> table;
    for (int level = 0; level < 255; ++level)
        table[level] = static_cast<std::uint8_t>(round_half_away(level * double(factor)));
    table[255] = 255;
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = table[bytes[i]];
}

}  // namespace

LevelEncoder::LevelEncoder(float gamma) {
    thresholds_[0] = 0.0;
    for (int level = 1; level <= 254; ++level)
        thresholds_[level] = std::pow((level - 0.5) / 254.0, double(gamma));
    int level = 0;
    for (int slice = 0; slice < kSlices; ++slice) {
        const double x = double(slice) / kSlices;
        while (level < 254 && x >= thresholds_[level + 1])
            ++level;
        start_[slice] = static_cast<std::uint8_t>(level);
    }
}

DrawSetup prepare_draw(const ParameterRecord& record) {
    DrawSetup setup;
    setup.params = record;
    setup.frame_count = 1;
    if (record.draw_mode != kSingleImage && record.sampling_step > 0.0f) {
        const double n = std::trunc(360.0 / record.sampling_step);
        if (n >= 1.0)
            setup.frame_count = static_cast<int>(n);
    }
    setup.frame_count_real = static_cast<float>(setup.frame_count);
    setup.side = record.image_size > 0.0f ? static_cast<int>(record.image_size) : 0;
    setup.canvas_side = setup.side;
    // A ring of n circles of side N that touch their neighbours; a ring needs two of them.
    if (record.draw_mode == kRotationImage && setup.frame_count >= 2) {
        const double ring = 1.0 + 1.0 / std::sin(std::numbers::pi / setup.frame_count);
        setup.canvas_side = round_half_away(setup.side * ring + 0.5);
    }
    setup.radius = static_cast<float>(setup.side) / 2.0f;
    const double product = record.axis_type == kBiaxial ? double(record.alpha) * record.gamma
                                                        : double(record.omega) * record.epsilon;
    setup.mean_index = static_cast<float>(std::sqrt(product));
    setup.encoding_gamma = kEncodingGamma;
    return setup;
}

std::optional<Figure> compute_figure(const DrawSetup& setup, ProgressSink& progress) {
    progress.open(texts::computing);

    const int n = setup.frame_count;
    const int side = setup.side;
    const std::size_t frame_bytes = std::size_t(3) * side * side;
    Figure figure;
    figure.setup = setup;
    figure.side = side;
    figure.frames = n;
    figure.encoding_gamma = setup.encoding_gamma;
    figure.pixels.resize(frame_bytes * n);

    std::vector<float> values(frame_bytes);
    std::vector<float> largest(n);
    float brightest = 0.0f;
    const auto encoder = std::make_unique<LevelEncoder>(setup.encoding_gamma);
    const std::unique_ptr<CrystalModel> model = make_crystal_model(setup);
    FrameComputer pixel_loop(setup);
    for (int k = 0; k < n; ++k) {
        model->orient_for_frame(k);
        largest[k] = pixel_loop.compute_frame(*model, values);
        brightest = std::max(brightest, largest[k]);
        encode_frame(values, largest[k], *encoder, figure.pixels.data() + frame_bytes * k);
        if (!progress.update(static_cast<float>(k + 1) / static_cast<float>(n)))
            return std::nullopt;
    }

    if (brightest > 0.0f) {
        const double inverse_gamma = 1.0 / double(setup.encoding_gamma);
        for (int k = 0; k < n; ++k) {
            const auto factor =
                static_cast<float>(std::pow(double(largest[k]) / brightest, inverse_gamma));
            rescale_frame(figure.pixels.data() + frame_bytes * k, frame_bytes, factor);
        }
    }
    if (setup.params.draw_mode == kRotationImage)
        compose_rotation_image(figure);
    // A figure without any light keeps L0 = 1: it shows black on white at every setting.
    figure.reference_light = brightest > 0.0f ? 1.0f / brightest : 1.0f;
    return figure;
}

void compose_rotation_image(Figure& figure) {
    const DrawSetup& setup = figure.setup;
    const int n = figure.frames;
    const int side = figure.side;
    const int canvas = setup.canvas_side;
    BulkVector<std::uint8_t> pixels(std::size_t(3) * canvas * canvas, 255);
    const int ring = (canvas - side) / 2;
    for (int k = 0; k < n; ++k) {
        const double angle = (360.0 * k / n) * std::numbers::pi / 180.0;
        const int x0 = round_half_away(ring + ring * std::cos(angle));
        const int y0 = round_half_away(ring - ring * std::sin(angle));
        const std::span<const std::uint8_t> frame = figure.frame(k);
        for (int row = 0; row < side; ++row) {
            for (int column = 0; column < side; ++column) {
                const std::uint8_t* source = &frame[3 * (std::size_t(row) * side + column)];
                if (source[0] == 255 && source[1] == 255 && source[2] == 255)
                    continue;
                std::uint8_t* target =
                    &pixels[3 * (std::size_t(y0 + row) * canvas + std::size_t(x0 + column))];
                target[0] = source[0];
                target[1] = source[1];
                target[2] = source[2];
            }
        }
    }
    figure.pixels = std::move(pixels);
    figure.side = canvas;
    figure.frames = 1;
}
