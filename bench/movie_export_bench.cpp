// A whole movie export of the default animation (72 frames of 100 pixels, 45°/s at 5° steps,
// so 9 frames per second and 190 movie frames) at 480 pixels: enlargement of every frame to
// temporary PPM files, the encoder run, and the move to the chosen path. Runs in a fresh
// temporary directory. The two phases are reported as counters.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "model/parameter_record.h"
#include "optics/figure_computation.h"
#include "output/movie_pipeline.h"

namespace {

using Clock = std::chrono::steady_clock;

class PhaseTimer : public ProgressSink {
  public:
    void open(const char*) override { opened.push_back(Clock::now()); }
    bool update(float) override { return true; }
    std::vector<Clock::time_point> opened;
};

class SilentProgress : public ProgressSink {
  public:
    void open(const char*) override {}
    bool update(float) override { return true; }
};

Figure default_animation(int draw_range) {
    ParameterRecord record{};
    set_default_parameters(record);
    record.draw_mode = kAnimation;
    record.draw_range = draw_range;
    record.image_size = record.image_size_animation;
    record.sampling_step = record.animation_step;
    record.mean_index = std::sqrt(record.omega * record.epsilon);
    SilentProgress progress;
    return *compute_figure(prepare_draw(record), progress);
}

void MovieExport(benchmark::State& state) {
    const Figure figure = default_animation(static_cast<int>(state.range(1)));
    const ToneTable tones = build_tone_table(figure.encoding_gamma, figure.reference_light,
                                             figure.encoding_gamma, figure.reference_light);
    const int T = static_cast<int>(state.range(0));
    const float fps = 45.0f / figure.setup.params.sampling_step;

    const std::filesystem::path previous = std::filesystem::current_path();
    std::string dir = (std::filesystem::temp_directory_path() / "lumitra-bench-XXXXXX").string();
    if (mkdtemp(dir.data()) == nullptr) {
        state.SkipWithError("no temporary directory");
        return;
    }
    std::filesystem::current_path(dir);
    double enlarge_seconds = 0, encode_seconds = 0;
    for (auto _ : state) {
        PhaseTimer timer;
        const int result = write_movie("movie.mpg", figure, tones, T, fps, timer, nullptr);
        const auto done = Clock::now();
        if (result != 1 || timer.opened.size() != 2) {
            state.SkipWithError("movie export failed");
            break;
        }
        enlarge_seconds += std::chrono::duration<double>(timer.opened[1] - timer.opened[0]).count();
        encode_seconds += std::chrono::duration<double>(done - timer.opened[1]).count();
    }
    state.counters["enlarge_s"] =
        benchmark::Counter(enlarge_seconds, benchmark::Counter::kAvgIterations);
    state.counters["encode_s"] =
        benchmark::Counter(encode_seconds, benchmark::Counter::kAvgIterations);
    state.counters["movie_bytes"] = double(std::filesystem::file_size("movie.mpg"));
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);
}
// Arguments: movie side, drawing range (0 microscope field, 1 full range with overlay).
BENCHMARK(MovieExport)
    ->Args({480, kMicroscopeField})
    ->Args({480, kFullRange})
    ->Args({240, kMicroscopeField})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

}  // namespace
