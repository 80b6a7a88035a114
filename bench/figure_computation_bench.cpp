// A whole Draw's computation without a window, for the drawing modes and the slowest case
// the controls allow, on one worker and on one per processor; the single image at the side
// of a live view; the default figure and the slowest case with and without antialiasing; a Draw
// into memory the system has to provide afresh, as the first Draw of a run does; and the one-time
// build of the colour table that the first Draw pays. Times are wall-clock: the work is done by the
// workers, not by the thread that waits for them.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <memory>

#include "model/parameter_record.h"
#include "optics/figure_computation.h"
#include "optics/interference_colour.h"
#include "support/default_record.h"

namespace {

// workers 0: one per processor.
void run_draw(benchmark::State& state, const ParameterRecord& record, int workers = 0,
              bool fresh_memory = false, bool antialias = false) {
    retardation_colour_table();  // built once per run, measured on its own below
    DrawSetup setup = prepare_draw(record);
    setup.antialias = antialias;
    SilentProgress progress;
    if (workers == 0)
        workers = processor_count();
    for (auto _ : state) {
        std::optional<Figure> figure = compute_figure(setup, progress, workers);
        benchmark::DoNotOptimize(figure->pixels.data());
        if (fresh_memory) {
            state.PauseTiming();
            figure.reset();
            malloc_trim(0);  // give the freed memory back, so that the next Draw faults it in
            state.ResumeTiming();
        }
    }
    state.counters["frames"] = setup.frame_count;
    state.counters["side"] = setup.side;
    state.counters["workers"] = workers;
    state.counters["antialias"] = antialias;
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
    run_draw(state, largest_animation(), static_cast<int>(state.range(0)));
}

void LargestAnimationInFreshMemory(benchmark::State& state) {
    run_draw(state, largest_animation(), 0, true);
}

// 3000 µm in the full range: nearly every pixel is beyond the table and takes the direct
// spectral sum, with the test plate two of them.
ParameterRecord slowest(ParameterRecord record, int no_test_plate) {
    record.thickness = 3000;
    record.draw_range = kFullRange;
    record.no_test_plate = no_test_plate;
    return record;
}

void SlowestAnimation(benchmark::State& state) {
    run_draw(state, slowest(largest_animation(), static_cast<int>(state.range(0))),
             static_cast<int>(state.range(1)));
}

// The default single image and the slowest case (no plate), each without and with
// antialiasing: what supersampling the pixels where the rings are too fine adds.
void Antialiasing(benchmark::State& state) {
    const bool slowest_case = state.range(0) != 0;
    const ParameterRecord record =
        slowest_case ? slowest(largest_animation(), 1) : record_for(kSingleImage, 200, 0);
    run_draw(state, record, 0, false, state.range(1) != 0);
}

// The single image at the side of a live view in the main window: the default records of
// both crystal kinds, and the slowest case with the plate.
void LiveFigure(benchmark::State& state) {
    ParameterRecord record = record_for(kSingleImage, 200, 0);
    record.axis_type = static_cast<int>(state.range(0));
    if (state.range(1) != 0)
        record = slowest(record, 0);
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

BENCHMARK(DefaultSingleImage)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(DefaultRotationImage)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(DefaultAnimation)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(LargestAnimation)
    ->ArgName("workers")
    ->Arg(1)
    ->Arg(0)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(LargestAnimationInFreshMemory)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(SlowestAnimation)
    ->ArgNames({"no_test_plate", "workers"})
    ->ArgsProduct({{1, 0}, {1, 0}})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Antialiasing)
    ->ArgNames({"slowest", "antialias"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(LiveFigure)
    ->ArgNames({"biaxial", "slowest"})
    ->Args({kUniaxial, 0})
    ->Args({kBiaxial, 0})
    ->Args({kUniaxial, 1})
    ->Args({kBiaxial, 1})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ColourTableBuild)->Unit(benchmark::kMillisecond);
