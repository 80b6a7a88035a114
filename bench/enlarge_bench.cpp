// Enlargement of one frame of the default animation (100 pixels) to the largest movie side
// (480), and the whole per-frame rendering of a movie frame (conversion, enlargement,
// overlay in the full range).
#include <benchmark/benchmark.h>

#include <cmath>
#include <optional>
#include <vector>

#include "model/parameter_record.h"
#include "optics/figure_computation.h"
#include "render/enlargement.h"
#include "render/frame_rendering.h"

namespace {

const Figure& default_animation(int draw_range) {
    static std::optional<Figure> figures[2];
    std::optional<Figure>& figure = figures[draw_range == kFullRange];
    if (!figure) {
        ParameterRecord record{};
        set_default_parameters(record);
        record.draw_mode = kAnimation;
        record.draw_range = draw_range;
        record.image_size = record.image_size_animation;
        record.sampling_step = record.animation_step;
        record.mean_index = std::sqrt(record.omega * record.epsilon);
        SilentProgress progress;
        figure = compute_figure(prepare_draw(record), progress);
    }
    return *figure;
}

ToneTable window_tones(const Figure& figure) {
    return build_tone_table(figure.encoding_gamma, figure.reference_light, figure.encoding_gamma,
                            figure.reference_light);
}

void EnlargeFrame(benchmark::State& state) {
    const Figure& figure = default_animation(kMicroscopeField);
    const int T = static_cast<int>(state.range(0));
    const std::vector<std::uint8_t> shown = display_frame(figure, 0, window_tones(figure));
    std::vector<std::uint8_t> out(std::size_t(3) * T * T);
    for (auto _ : state) {
        enlarge_frame(shown, figure.side, out, T);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["output_pixels_per_s"] =
        benchmark::Counter(double(T) * T, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(EnlargeFrame)->Arg(240)->Arg(480)->Unit(benchmark::kMicrosecond);

void RenderMovieFrameFullRange(benchmark::State& state) {
    const Figure& figure = default_animation(kFullRange);
    const ToneTable tones = window_tones(figure);
    int k = 0;
    for (auto _ : state) {
        std::vector<std::uint8_t> frame = render_movie_frame(figure, k, tones, 480);
        benchmark::DoNotOptimize(frame.data());
        k = (k + 1) % figure.frames;
    }
}
BENCHMARK(RenderMovieFrameFullRange)->Unit(benchmark::kMicrosecond);

}  // namespace
