// The pixel loop of one frame: nanoseconds per pixel inside the figure circle, for both
// crystal kinds, both drawing ranges, with and without the test plate.
#include <benchmark/benchmark.h>

#include <vector>

#include "model/parameter_record.h"
#include "optics/crystal_model.h"
#include "optics/figure_computation.h"
#include "optics/interference_colour.h"
#include "optics/ray_geometry.h"

namespace {

// Arguments: crystal kind, drawing range, no_test_plate.
void ComputeFrame(benchmark::State& state) {
    ParameterRecord record{};
    set_default_parameters(record);
    record.image_size = 188;
    record.axis_type = static_cast<int>(state.range(0));
    record.draw_range = static_cast<int>(state.range(1));
    record.no_test_plate = static_cast<int>(state.range(2));
    const DrawSetup setup = prepare_draw(record);
    retardation_colour_table();
    FrameComputer pixel_loop(setup);
    pixel_loop.resolve_rows(0, setup.side);
    auto model = make_crystal_model(setup);
    model->orient_for_frame(0);
    model->prepare_frame();
    std::vector<float> values(pixel_loop.value_count());
    for (auto _ : state)
        benchmark::DoNotOptimize(pixel_loop.colour_rows(*model, 0, setup.side, values.data()));
    // Seconds per inside pixel (printed with an SI prefix: 20n is 20 ns).
    state.counters["per_inside_pixel"] = benchmark::Counter(
        double(pixel_loop.inside_count()),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(ComputeFrame)
    ->ArgNames({"biaxial", "full_range", "no_test_plate"})
    ->ArgsProduct({{kUniaxial, kBiaxial}, {kMicroscopeField, kFullRange}, {1, 0}})
    ->Unit(benchmark::kMicrosecond);
