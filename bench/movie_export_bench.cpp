// A whole movie export of the default animation (72 frames of 100 pixels, 45°/s at 5° steps,
// so 9 frames per second and 190 movie frames) at 480 pixels: enlargement of every frame to
// temporary PPM files, the encoder run, and the move to the chosen path. Runs in a fresh
// temporary directory. The two phases are reported as counters.
// EncodedMovie: the same animation end to end as lumitra-render makes it, from the Draw
// computation to the finished MP4, WebM or GIF, in wall-clock time (the encoders use threads).
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
#include "output/encoded_movie.h"
#include "output/movie_pipeline.h"

namespace {

using Clock = std::chrono::steady_clock;

class PhaseTimer : public ProgressSink {
  public:
    void open(const char*) override { opened.push_back(Clock::now()); }
    bool update(float) override { return true; }
    std::vector<Clock::time_point> opened;
};

// A fresh temporary directory, the working directory while the object lives.
class WorkingDirectory {
  public:
    WorkingDirectory() : previous_(std::filesystem::current_path()) {
        std::string dir =
            (std::filesystem::temp_directory_path() / "lumitra-bench-XXXXXX").string();
        if (mkdtemp(dir.data()) != nullptr) {
            path_ = dir;
            std::filesystem::current_path(path_);
        }
    }
    ~WorkingDirectory() {
        std::filesystem::current_path(previous_);
        if (!path_.empty())
            std::filesystem::remove_all(path_);
    }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;
    bool ok() const { return !path_.empty(); }

  private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
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

    const WorkingDirectory directory;
    if (!directory.ok()) {
        state.SkipWithError("no temporary directory");
        return;
    }
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
}
// Arguments: movie side, drawing range (0 microscope field, 1 full range with overlay).
BENCHMARK(MovieExport)
    ->Args({480, kMicroscopeField})
    ->Args({480, kFullRange})
    ->Args({240, kMicroscopeField})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

// Argument: movie side.
void EncodedMovie(benchmark::State& state, OutputFormat format, const char* name) {
    const int T = static_cast<int>(state.range(0));
    const WorkingDirectory directory;
    if (!directory.ok()) {
        state.SkipWithError("no temporary directory");
        return;
    }
    if (const std::optional<OutputError> missing = load_movie_encoders(LUMITRA_MOVIE_MODULE_PATH)) {
        state.SkipWithError(missing->what.c_str());
        return;
    }
    for (auto _ : state) {
        const Figure figure = default_animation(kMicroscopeField);
        const ToneTable tones = build_tone_table(figure.encoding_gamma, figure.reference_light,
                                                 figure.encoding_gamma, figure.reference_light);
        SilentProgress progress;
        const float fps = 45.0f / figure.setup.params.sampling_step;
        if (write_encoded_movie(name, format, figure, tones, T, fps, progress) != 1) {
            state.SkipWithError("movie export failed");
            break;
        }
    }
    state.counters["movie_bytes"] = double(std::filesystem::file_size(name));
}
BENCHMARK_CAPTURE(EncodedMovie, mp4, OutputFormat::kMp4, "movie.mp4")
    ->Arg(480)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(EncodedMovie, webm, OutputFormat::kWebm, "movie.webm")
    ->Arg(480)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);
BENCHMARK_CAPTURE(EncodedMovie, gif, OutputFormat::kGif, "movie.gif")
    ->Arg(480)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

}  // namespace
