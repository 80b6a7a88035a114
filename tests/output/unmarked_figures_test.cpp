// The figures as the window shows them and the stills hold them, pinned by digests taken
// before marks and the stage azimuth existed: with marks off and the stage at 0, every one
// of them must keep its bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <span>

#include "model/derived_values.h"
#include "model/parameter_record.h"
#include "model/progress_sink.h"
#include "optics/figure_computation.h"
#include "output/figure_marks.h"
#include "render/frame_rendering.h"

namespace {

// FNV-1a, 64 bits.
std::uint64_t digest(std::span<const std::uint8_t> bytes) {
    std::uint64_t h = 14695981039346656037ull;
    for (const std::uint8_t b : bytes) {
        h ^= b;
        h *= 1099511628211ull;
    }
    return h;
}

struct Pinned {
    const char* name;
    void (*edit)(ParameterRecord&);
    int frame;
    std::uint64_t expected;
};

// clang-format off
const Pinned kPinned[] = {
    {"uniaxial single", [](ParameterRecord& r) { r.image_size_single = 100; }, 0, 0x1731d2461c50fde1ull},
    {"tilted, 530 plate", [](ParameterRecord& r) {
         r.image_size_single = 121; r.c_axis_theta = 30; r.c_axis_phi = 20;
         r.no_test_plate = kFirstOrderPlate; }, 0, 0x6566413d6f9f9d5cull},
    {"quartz wedge", [](ParameterRecord& r) {
         r.image_size_single = 80; r.no_test_plate = kQuartzWedge; r.wedge_retardation = 300; }, 0, 0x5c9bc1de13c6fe47ull},
    {"biaxial full range, Wulff", [](ParameterRecord& r) {
         r.axis_type = kBiaxial; r.image_size_single = 101; r.draw_range = kFullRange;
         r.projection_kind = kWulffProjection; }, 0, 0x8ab4d7d364925247ull},
    {"rotation image", [](ParameterRecord& r) {
         r.draw_mode = kRotationImage; r.image_size_rotation = 48; r.rotation_step = 45;
         r.c_axis_theta = 25; r.no_test_plate = kFirstOrderPlate; }, 0, 0xec7d2ef7c72ecc0full},
    {"animation frame 9", [](ParameterRecord& r) {
         r.draw_mode = kAnimation; r.image_size_animation = 50; r.animation_step = 10;
         r.c_axis_theta = 35; }, 9, 0x0bbb18f96b3f46e7ull},
};
// clang-format on

TEST(UnmarkedFigures, KeepTheirBytes) {
    for (const Pinned& pinned : kPinned) {
        ParameterRecord record{};
        set_default_parameters(record);
        pinned.edit(record);
        update_derived_fields(record);
        SilentProgress progress;
        const std::optional<Figure> figure = compute_figure(prepare_draw(record), progress, 2);
        ASSERT_TRUE(figure) << pinned.name;
        const ToneTable tones = opening_tones(*figure);
        EXPECT_EQ(digest(render_still(*figure, pinned.frame, tones)), pinned.expected)
            << pinned.name;
        EXPECT_EQ(digest(marked_still(*figure, pinned.frame, tones, FigureMarks{})),
                  pinned.expected)
            << pinned.name;
    }
}

}  // namespace
