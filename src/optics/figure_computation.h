// From the record to a finished figure: the values fixed when Draw is pressed, every frame
// computed under the progress dialog, encoded relative to the brightest frame of the Draw,
// and the ring of the rotation image.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

#include "model/parameter_record.h"
#include "model/progress_sink.h"
#include "optics/figure_buffer.h"
#include "optics/worker_pool.h"

// The stored level of a linear value v of a frame whose largest channel is m, given
// x = v / m in [0, 1]: round_half_away(254 x^(1/G)). A power per channel would cost as much
// as the optics of the pixel, so the level is found among the thresholds ((L − ½) / 254)^G
// at which it steps up, starting from a table over 65 536 equal slices of x.
class LevelEncoder {
  public:
    explicit LevelEncoder(float gamma);

    std::uint8_t operator()(double x) const {
        const int slice = std::min(static_cast<int>(x * kSlices), kSlices - 1);
        int level = start_[slice];
        while (level < 254 && x >= thresholds_[level + 1])
            ++level;
        return static_cast<std::uint8_t>(level);
    }

  private:
    static constexpr int kSlices = 65536;
    std::array<double, 255> thresholds_;
    std::array<std::uint8_t, kSlices> start_;
};

// Rescales the inside levels of a frame encoded against its own largest value m to the
// largest value Vmax of the frames it is shown with: level × factor, factor = (m / Vmax)^(1/G),
// rounded. The white outside stays.
void rescale_frame(std::uint8_t* bytes, std::size_t count, float factor);

// Frame count, figure side, canvas side, circle radius and mean index of the record.
DrawSetup prepare_draw(const ParameterRecord& record);

// Computes every frame of the Draw on the given number of worker threads, reporting to
// progress on the calling thread as each frame is finished (the fractions 1/n … n/n in
// order). Empty when the user cancelled; the frames being computed then are finished, nothing
// of the computation is kept and no worker is left running. The result does not depend on
// the number of workers.
std::optional<Figure> compute_figure(const DrawSetup& setup, ProgressSink& progress,
                                     int workers = processor_count());

// The top-left corner, on the canvas of side canvas_side, of sub-image k of n in the rotation
// image of a figure of side `side`.
struct CanvasOrigin {
    int x;
    int y;
};
CanvasOrigin rotation_image_origin(int canvas_side, int side, int n, int k);

// Replaces the frames of the figure by one canvas of side M on which frame k sits at the
// angle of its own stage azimuth, frame 0 at the right, the others counter-clockwise.
void compose_rotation_image(Figure& figure);
