#include "optics/figure_computation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "model/angles.h"
#include "model/derived_values.h"
#include "model/texts.h"
#include "optics/crystal_model.h"
#include "optics/ray_geometry.h"
#include "optics/rounding.h"

namespace {

// Rows of a frame in one piece of work when the workers share out the rows of each frame.
constexpr int kBandRows = 8;

// The faintest light a frame's brightest pixel may have and still be shown, as a fraction of
// the light the polarizer passes. Without birefringence (α = γ) the pixel loop's rounding
// leaves a retardation of about 1e-12 nm and light of about 1e-16 (3e-14 at 3000 µm), and
// normalising to that would draw the rounding as a coloured figure; the faintest real figure
// (Δn 0.001, 10 µm, NA 0.1) still has 5e-8.
constexpr float kFaintestShownLight = 1e-12f;

float shown_light(float largest) {
    return largest >= kFaintestShownLight ? largest : 0.0f;
}

// Rows first … last − 1 of a frame as stored levels against the frame's largest channel,
// white outside the circle. The largest channel is that of the point-sampled pixels; the mean
// over a supersampled pixel may exceed it, and then takes the top level.
void encode_rows(const FrameComputer& pixels, const float* values, float largest,
                 const LevelEncoder& encode, int first, int last, std::uint8_t* frame) {
    const int side = pixels.side();
    for (int row = first; row < last; ++row) {
        const RowSpan& span = pixels.row(row);
        std::uint8_t* bytes = frame + std::size_t(3) * side * row;
        std::uint8_t* inside = std::fill_n(bytes, 3 * span.first, kEmptyLevel);
        const float* v = values + 3 * span.slot;
        std::uint8_t* outside = inside + 3 * span.width;
        if (largest > 0.0f) {
            for (std::uint8_t* b = inside; b < outside; ++b, ++v)
                *b = encode(std::min(double(*v) / double(largest), 1.0));
        } else {
            std::fill(inside, outside, 0);  // a frame without any light is black
        }
        std::fill(outside, bytes + std::size_t(3) * side, kEmptyLevel);
    }
}

}  // namespace

void rescale_frame(std::uint8_t* bytes, std::size_t count, float factor) {
    std::array<std::uint8_t, 256> table;
    for (int level = 0; level < kEmptyLevel; ++level)
        table[level] = static_cast<std::uint8_t>(round_half_away(level * double(factor)));
    table[kEmptyLevel] = kEmptyLevel;
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = table[bytes[i]];
}

namespace {

// One Draw on a pool of workers. The wave normals are resolved first, a band of rows at a
// time. With enough frames to keep every worker busy, each worker then takes whole frames
// with a crystal model and values of its own; otherwise all workers share out the rows of
// one frame after the other. Every pixel is computed by the same operations whichever
// worker takes it, and the largest value of a frame is the same whichever way it is split,
// so the bytes do not depend on the number of workers.
class DrawComputation {
  public:
    DrawComputation(const DrawSetup& setup, Figure& figure, int workers)
        : setup_(setup),
          figure_(figure),
          frames_(setup.frame_count),
          frame_bytes_(std::size_t(3) * setup.side * setup.side),
          bands_((setup.side + kBandRows - 1) / kBandRows),
          encoder_(std::make_unique<LevelEncoder>(setup.encoding_gamma)),
          computer_(setup),
          largest_(std::size_t(frames_)),
          pool_(workers) {}

    bool compute(ProgressSink& progress) {
        pool_.run(bands_, [this](int band, int) {
            computer_.resolve_rows(first_row(band), last_row(band));
        });
        return frames_ >= 2 * pool_.size() ? compute_frames_apart(progress)
                                           : compute_frames_in_bands(progress);
    }

    // Rescales every frame to the brightest and returns its largest value Vmax.
    float rescale() {
        const float brightest = *std::max_element(largest_.begin(), largest_.end());
        if (brightest > 0.0f) {
            const double inverse_gamma = 1.0 / double(setup_.encoding_gamma);
            pool_.run(frames_, [&](int k, int) {
                const auto factor =
                    static_cast<float>(std::pow(double(largest_[k]) / brightest, inverse_gamma));
                if (factor != 1.0f)  // a factor of 1 leaves every level as it is
                    rescale_frame(frame(k), frame_bytes_, factor);
            });
        }
        return brightest;
    }

  private:
    int first_row(int band) const { return band * kBandRows; }
    int last_row(int band) const { return std::min(setup_.side, (band + 1) * kBandRows); }
    std::uint8_t* frame(int k) { return figure_.pixels.data() + frame_bytes_ * k; }

    struct Worker {
        std::unique_ptr<CrystalModel> model;
        BulkVector<float> values;
        PointSamples kept;  // only when antialiasing
    };

    // Room for the pixels' point samples when antialiasing, else none.
    PointSamples point_samples() const {
        return PointSamples(setup_.antialias ? computer_.value_count() / 3 : 0);
    }

    bool compute_frames_apart(ProgressSink& progress) {
        // Made here rather than by the workers, which allocate nothing: memory that one
        // thread takes and another gives back may stay cached for the giver.
        std::vector<Worker> workers(static_cast<std::size_t>(pool_.size()));
        for (Worker& worker : workers) {
            worker.model = make_crystal_model(setup_);
            worker.values.resize(computer_.value_count());  // not yet written
            worker.kept = point_samples();
        }
        const auto piece = [&](int k, int w) {
            Worker& worker = workers[std::size_t(w)];
            worker.model->orient_for_frame(k);
            worker.model->prepare_frame();
            const int side = setup_.side;
            if (setup_.antialias) {
                computer_.evaluate_rows(*worker.model, 0, side, worker.kept);
                largest_[k] = shown_light(computer_.colour_rows_antialiased(
                    *worker.model, 0, side, worker.kept, worker.values.data()));
            } else {
                largest_[k] = shown_light(
                    computer_.colour_rows(*worker.model, 0, side, worker.values.data()));
            }
            encode_rows(computer_, worker.values.data(), largest_[k], *encoder_, 0, side, frame(k));
        };
        return pool_.run(frames_, piece, [&](int finished) {
            return progress.update(static_cast<float>(finished) / static_cast<float>(frames_));
        });
    }

    bool compute_frames_in_bands(ProgressSink& progress) {
        const std::unique_ptr<CrystalModel> model = make_crystal_model(setup_);
        BulkVector<float> values(computer_.value_count());
        PointSamples kept = point_samples();
        std::vector<float> band_largest(static_cast<std::size_t>(bands_));
        for (int k = 0; k < frames_; ++k) {
            model->orient_for_frame(k);
            model->prepare_frame();
            if (setup_.antialias) {
                pool_.run(bands_, [&](int band, int) {
                    computer_.evaluate_rows(*model, first_row(band), last_row(band), kept);
                });
                // Every band's samples are in place before any band looks at its neighbours.
                pool_.run(bands_, [&](int band, int) {
                    band_largest[band] = computer_.colour_rows_antialiased(
                        *model, first_row(band), last_row(band), kept, values.data());
                });
            } else {
                pool_.run(bands_, [&](int band, int) {
                    band_largest[band] = computer_.colour_rows(*model, first_row(band),
                                                               last_row(band), values.data());
                });
            }
            largest_[k] =
                band_largest.empty()
                    ? 0.0f
                    : shown_light(*std::max_element(band_largest.begin(), band_largest.end()));
            pool_.run(bands_, [&](int band, int) {
                encode_rows(computer_, values.data(), largest_[k], *encoder_, first_row(band),
                            last_row(band), frame(k));
            });
            if (!progress.update(static_cast<float>(k + 1) / static_cast<float>(frames_)))
                return false;
        }
        return true;
    }

    const DrawSetup& setup_;
    Figure& figure_;
    const int frames_;
    const std::size_t frame_bytes_;
    const int bands_;
    const std::unique_ptr<LevelEncoder> encoder_;
    FrameComputer computer_;
    std::vector<float> largest_;
    WorkerPool pool_;  // last: its threads are joined before anything they use goes
};

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
    setup.mean_index = mean_index(record);
    return setup;
}

std::optional<Figure> compute_figure(const DrawSetup& setup, ProgressSink& progress, int workers) {
    progress.open(texts::computing);
    Figure figure;
    figure.setup = setup;
    figure.side = setup.side;
    figure.frames = setup.frame_count;
    figure.encoding_gamma = setup.encoding_gamma;
    figure.pixels.resize(figure.frame_bytes() * std::size_t(figure.frames));

    float brightest = 0.0f;
    {
        DrawComputation draw(setup, figure, workers);
        if (!draw.compute(progress))
            return std::nullopt;
        brightest = draw.rescale();
    }
    if (setup.params.draw_mode == kRotationImage)
        compose_rotation_image(figure);
    // A figure without any light keeps L0 = 1: it shows black on white at every setting.
    figure.reference_light = brightest > 0.0f ? 1.0f / brightest : 1.0f;
    return figure;
}

CanvasOrigin rotation_image_origin(int canvas_side, int side, int n, int k) {
    const int ring = (canvas_side - side) / 2;
    const double angle = radians(360.0 * k / n);
    return {round_half_away(ring + ring * std::cos(angle)),
            round_half_away(ring - ring * std::sin(angle))};
}

void compose_rotation_image(Figure& figure) {
    const DrawSetup& setup = figure.setup;
    const int n = figure.frames;
    const int side = figure.side;
    const int canvas = setup.canvas_side;
    BulkVector<std::uint8_t> pixels(std::size_t(3) * canvas * canvas, kEmptyLevel);
    for (int k = 0; k < n; ++k) {
        const auto [x0, y0] = rotation_image_origin(canvas, side, n, k);
        const std::span<const std::uint8_t> frame = figure.frame(k);
        for (int row = 0; row < side; ++row) {
            for (int column = 0; column < side; ++column) {
                const std::uint8_t* source = &frame[3 * (std::size_t(row) * side + column)];
                if (is_empty_pixel(source))
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
