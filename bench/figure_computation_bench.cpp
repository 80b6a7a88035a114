// A whole Draw's computation without a window, for the drawing modes and the slowest case
// the controls allow, and the one-time build of the colour table that the first Draw pays.
#include <benchmark/benchmark.h>

#include <memory>

#include "model/parameter_record.h"
#include "optics/figure_computation.h"
#include "optics/interference_colour.h"

namespace {

class SilentProgress : public ProgressSink {
  public:
    void open(const char*) override {}
    bool update(float) override { return true; }
};

ParameterRecord record_for(int mode, float size, float step) {
    ParameterRecord record{};
    set_default_parameters(record);
    record.draw_mode = mode;
    record.image_size = size;
    record.sampling_step = step;
    return record;
}

void run_draw(benchmark::State& state, const ParameterRecord& record) {
    retardation_colour_table();  // built once per run, measured on its own below
    const DrawSetup setup = prepare_draw(record);
    SilentProgress progress;
    for (auto _ : state) {
        std::optional<Figure> figure = compute_figure(setup, progress);
        benchmark::DoNotOptimize(figure->pixels.data());
    }
    state.counters["frames"] = setup.frame_count;
    state.counters["side"] = setup.side;
}

void DefaultSingleImage(benchmark::State& state) {
    run_draw(state, record_for(kSingleImage, 200, 0));
}

void DefaultRotationImage(benchmark::State& state) {
    run_draw(state, record_for(kRotationImage, 120, 30));
}

void DefaultAnimation(benchmark::State& state) {
    run_draw(state, record_for(kAnimation, 100, 5));
}

ParameterRecord largest_animation() {
    ParameterRecord record = record_for(kAnimation, 188, 5);
    record.axis_type = kBiaxial;
    return record;
}

void LargestAnimation(benchmark::State& state) {
    run_draw(state, largest_animation());
}

// 3000 µm in the full range: nearly every pixel is beyond the table and takes the direct
// spectral sum, with the test plate two of them.
void SlowestAnimation(benchmark::State& state) {
    ParameterRecord record = largest_animation();
    record.thickness = 3000;
    record.draw_range = kFullRange;
    record.no_test_plate = static_cast<int>(state.range(0));
    run_draw(state, record);
}

void ColourTableBuild(benchmark::State& state) {
    auto table = std::make_unique<ColourTable>();
    for (auto _ : state) {
        fill_retardation_colour_table(*table);
        benchmark::DoNotOptimize(table->data());
    }
}

}  // namespace

BENCHMARK(DefaultSingleImage)->Unit(benchmark::kMillisecond);
BENCHMARK(DefaultRotationImage)->Unit(benchmark::kMillisecond);
BENCHMARK(DefaultAnimation)->Unit(benchmark::kMillisecond);
BENCHMARK(LargestAnimation)->Unit(benchmark::kMillisecond);
BENCHMARK(SlowestAnimation)
    ->ArgName("no_test_plate")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ColourTableBuild)->Unit(benchmark::kMillisecond);
