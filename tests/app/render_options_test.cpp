#include "app/render_options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "optics/figure_computation.h"
#include "support/scripted_progress.h"

namespace {

ParsedRenderOptions parse(std::vector<std::string_view> arguments) {
    return parse_render_options(arguments);
}

RenderOptions parse_ok(std::vector<std::string_view> arguments) {
    ParsedRenderOptions parsed = parse(arguments);
    EXPECT_TRUE(parsed.options.has_value()) << parsed.error;
    return parsed.options.value_or(RenderOptions{});
}

TEST(RenderOptions, NothingGivenIsTheRecordAfterStartUp) {
    const RenderOptions o = parse_ok({});
    ParameterRecord defaults{};
    set_default_parameters(defaults);
    EXPECT_EQ(o.record.image_size, 200.0f);
    EXPECT_EQ(o.record.sampling_step, 0.0f);
    EXPECT_FLOAT_EQ(o.record.mean_index, std::sqrt(1.544f * 1.553f));
    EXPECT_EQ(o.record.two_vz, defaults.two_vz);
    EXPECT_EQ(o.record.thickness, defaults.thickness);
    EXPECT_EQ(o.record.draw_mode, kSingleImage);
    EXPECT_EQ(o.record.no_test_plate, 1);
    EXPECT_EQ(o.frame, 0);
    EXPECT_FALSE(o.light.has_value());
    EXPECT_EQ(o.display_gamma, 2.4f);
    EXPECT_FALSE(o.help);
}

TEST(RenderOptions, EveryFieldByItsNameWithDashes) {
    struct Case {
        const char* option;
        const char* value;
        float ParameterRecord::*real;
        std::int32_t ParameterRecord::*integer;
        double expected;
    };
    using R = ParameterRecord;
    const Case cases[] = {
        {"--two-vz", "40", &R::two_vz, nullptr, 40},
        {"--two-vx", "100", &R::two_vz, nullptr, 80},
        {"--thickness", "3000", &R::thickness, nullptr, 3000},
        {"--thickness", "10", &R::thickness, nullptr, 10},
        {"--numerical-aperture", "0.1", &R::numerical_aperture, nullptr, 0.1f},
        {"--numerical-aperture", "1", &R::numerical_aperture, nullptr, 1},
        {"--omega", "1.658", &R::omega, nullptr, 1.658f},
        {"--epsilon", "1.486", &R::epsilon, nullptr, 1.486f},
        {"--alpha", "1", &R::alpha, nullptr, 1},
        {"--gamma", "2.5", &R::gamma, nullptr, 2.5},
        {"--c-axis-theta", "90", &R::c_axis_theta, nullptr, 90},
        {"--c-axis-phi", "360", &R::c_axis_phi, nullptr, 360},
        {"--a-axis-theta", "20", &R::a_axis_theta, nullptr, 20},
        {"--b-axis-phi", "170.5", &R::b_axis_phi, nullptr, 170.5},
        {"--x-axis-theta", "0", &R::x_axis_theta, nullptr, 0},
        {"--y-axis-phi", "45", &R::y_axis_phi, nullptr, 45},
        {"--z-axis-theta", "12", &R::z_axis_theta, nullptr, 12},
        {"--image-size-single", "400", &R::image_size_single, nullptr, 400},
        {"--rotation-step", "22.5", &R::rotation_step, nullptr, 22.5},
        {"--animation-step", "10", &R::animation_step, nullptr, 10},
        {"--axis-type", "1", nullptr, &R::axis_type, 1},
        {"--draw-mode", "2", nullptr, &R::draw_mode, 2},
        {"--no-test-plate", "0", nullptr, &R::no_test_plate, 0},
        {"--draw-range", "1", nullptr, &R::draw_range, 1},
        {"--projection-kind", "2", nullptr, &R::projection_kind, 2},
    };
    for (const Case& c : cases) {
        const std::string joined = std::string(c.option) + "=" + c.value;
        for (const RenderOptions& o : {parse_ok({c.option, c.value}), parse_ok({joined})}) {
            if (c.real)
                EXPECT_EQ(o.record.*(c.real), static_cast<float>(c.expected)) << c.option;
            else
                EXPECT_EQ(o.record.*(c.integer), static_cast<int>(c.expected)) << c.option;
        }
    }
}

TEST(RenderOptions, DerivedFieldsFollowModeStepAndKind) {
    struct Case {
        std::vector<std::string_view> arguments;
        float image_size, sampling_step;
    };
    const Case cases[] = {
        {{"--draw-mode", "1"}, 120, 30},
        {{"--draw-mode", "2"}, 100, 5},
        {{"--draw-mode", "1", "--rotation-step", "15"}, 76, 15},  // lowered to the maximum
        {{"--draw-mode", "2", "--animation-step", "1"}, 84, 1},
        {{"--draw-mode", "2", "--image-size", "188"}, 188, 5},
        {{"--draw-mode", "2", "--sampling-step", "7", "--image-size", "223"}, 223, 7},
        {{"--draw-mode", "1", "--sampling-step", "45", "--image-size-rotation", "182"}, 182, 45},
        {{"--draw-mode", "0", "--image-size", "20"}, 20, 0},
        {{"--image-size-rotation", "135"}, 200, 0},  // kept for when the mode changes
    };
    for (const Case& c : cases) {
        const RenderOptions o = parse_ok(c.arguments);
        EXPECT_EQ(o.record.image_size, c.image_size) << c.arguments[1];
        EXPECT_EQ(o.record.sampling_step, c.sampling_step) << c.arguments[1];
    }
    // The clamp lowers the mode's own size field, as the size control does.
    EXPECT_EQ(parse_ok({"--draw-mode", "2", "--animation-step", "1"}).record.image_size_animation,
              84.0f);
    EXPECT_FLOAT_EQ(parse_ok({"--axis-type", "1"}).record.mean_index, std::sqrt(1.552f * 1.587f));
    EXPECT_FLOAT_EQ(parse_ok({"--omega", "1.6", "--epsilon", "1.7"}).record.mean_index,
                    std::sqrt(1.6f * 1.7f));
}

TEST(RenderOptions, ValuesOutsideTheControlsAreOneLineErrors) {
    const std::vector<std::vector<std::string_view>> cases = {
        {"--thickness", "9.9"},
        {"--thickness", "3000.5"},
        {"--numerical-aperture", "0.09"},
        {"--numerical-aperture", "1.01"},
        {"--omega", "0.99"},
        {"--gamma", "2.51"},
        {"--two-vz", "-1"},
        {"--two-vz", "181"},
        {"--c-axis-theta", "91"},
        {"--a-axis-phi", "360.5"},
        {"--rotation-step", "25"},
        {"--animation-step", "0.5"},
        {"--animation-step", "11"},
        {"--draw-mode", "3"},
        {"--draw-mode", "1.5"},
        {"--axis-type", "-1"},
        {"--projection-kind", "1"},
        {"--no-test-plate", "2"},
        {"--image-size-single", "19"},
        {"--image-size-single", "401"},
        {"--draw-mode", "1", "--image-size", "136"},  // rotation maximum 135 at step 30
        {"--rotation-step", "15", "--image-size-rotation", "77"},
        {"--draw-mode", "2", "--animation-step", "5", "--image-size", "189"},
        {"--draw-mode", "1", "--sampling-step", "25"},
        {"--draw-mode", "2", "--sampling-step", "12"},
        // between a spin button's steps: the control snaps such a value away
        {"--thickness", "30.5"},
        {"--two-vz", "40.5"},
        {"--c-axis-theta", "10.5"},
        {"--numerical-aperture", "0.655"},
        {"--omega", "1.5443"},
        {"--image-size-single", "200.5"},
        {"--draw-mode", "2", "--sampling-step", "7.5"},
        {"--x-axis-theta", "10.5"},
        // derived in the window, or contradicting what is
        {"--mean-index", "1.7"},
        {"--alpha", "1.6"},  // above the default gamma
        {"--alpha", "1.6", "--gamma", "1.59"},
        {"--z-axis-theta", "10", "--b-axis-phi", "170"},
        {"--display-gamma", "0.9"},
        {"--display-gamma", "10.1"},
        {"--frame", "-1"},
        {"--frame", "1.5"},
        {"--light", "-0.1"},
        {"--thickness", "abc"},
        {"--thickness", "30x"},
        {"--thickness", "nan"},
        {"--thickness", "inf"},
        {"--thickness", ""},
        {"--thickness"},
        {"--bogus", "1"},
        {"--two_vz", "40"},
        {"--Two-vz", "40"},
        {"figure.ppm"},
        {"--out", ""},
    };
    for (const auto& arguments : cases) {
        const ParsedRenderOptions parsed = parse(arguments);
        EXPECT_FALSE(parsed.options.has_value()) << arguments[0];
        EXPECT_FALSE(parsed.error.empty()) << arguments[0];
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << parsed.error;
    }
    const ParsedRenderOptions thick = parse({"--thickness", "5000"});
    EXPECT_EQ(thick.error, "--thickness 5000 is outside 10 to 3000");
    EXPECT_NE(parse({"--bogus", "1"}).error.find("--bogus"), std::string::npos);
    EXPECT_EQ(parse({"--a-axis-theta", "20", "--y-axis-phi", "80"}).error,
              "--y-axis-phi and --a-axis-theta contradict each other: give the optic axes A, B, "
              "the principal axes X, Y, Z, or all five");
}

TEST(RenderOptions, AccessoriesAndTheWedge) {
    const struct {
        std::vector<std::string_view> arguments;
        int accessory;  // -1: refused
        float wedge;
    } cases[] = {
        {{"--plate", "none"}, kNoPlate, 0},
        {{"--plate=530"}, kFirstOrderPlate, 0},
        {{"--plate", "147"}, kQuarterWavePlate, 0},
        {{"--wedge-retardation", "2000", "--plate", "wedge"}, kQuartzWedge, 2000},
        {{"--plate", "147.5"}, -1, 0},
        {{"--no-test-plate", "3"}, -1, 0},  // the old switch keeps its two values
        {{"--plate", "530", "--wedge-retardation", "100"}, -1, 0},
        {{"--plate", "wedge", "--wedge-retardation", "2001"}, -1, 0},
        {{"--wedge-sweep", "0:500"}, -1, 0},
        {{"--plate", "wedge", "--wedge-sweep", "0-500"}, -1, 0},
        {{"--plate", "wedge", "--wedge-sweep", "300:300"}, -1, 0},
        {{"--plate", "wedge", "--wedge-sweep", "0:500", "--draw-mode", "2"}, -1, 0},
    };
    for (const auto& c : cases) {
        const ParsedRenderOptions parsed = parse(c.arguments);
        ASSERT_EQ(parsed.options.has_value(), c.accessory >= 0) << c.arguments[1] << parsed.error;
        if (parsed.options) {
            EXPECT_EQ(parsed.options->record.no_test_plate, c.accessory);
            EXPECT_EQ(parsed.options->record.wedge_retardation, c.wedge);
        }
    }
    const RenderOptions sweep = parse_ok({"--plate", "wedge", "--wedge-sweep", "2000:0"});
    EXPECT_EQ(sweep.wedge_sweep, std::pair(2000.0f, 0.0f));
}

TEST(RenderOptions, ChartTakesItsKindAndWidthWithinTheirBounds) {
    const struct {
        std::vector<std::string_view> arguments;
        bool accepted;
        ChartKind kind;
        double width;
    } cases[] = {
        {{"--chart", "c.png"}, true, ChartKind::kRetardation, 2000},
        {{"--chart", "c.pdf", "--chart-kind", "birefringence"},
         true,
         ChartKind::kBirefringence,
         2000},
        {{"--chart", "c.svg", "--chart-max-retardation", "4000"},
         true,
         ChartKind::kRetardation,
         4000},
        {{"--chart", "c.png", "--chart-max-retardation", "4001"}, false, {}, 0},
        {{"--chart", "c.png", "--chart-max-retardation", "499"}, false, {}, 0},
        {{"--chart", "c.png", "--chart-kind", "michel-levy"}, false, {}, 0},
        {{"--chart", "c.png", "--out", "f.png"}, false, {}, 0},
    };
    for (const auto& c : cases) {
        const ParsedRenderOptions parsed = parse(c.arguments);
        ASSERT_EQ(parsed.options.has_value(), c.accepted) << c.arguments.back() << parsed.error;
        if (parsed.options) {
            EXPECT_EQ(parsed.options->chart_kind, c.kind);
            EXPECT_EQ(parsed.options->chart_max_retardation, c.width);
        }
    }
}

TEST(RenderOptions, OpticAxialAngleMovesTheAxesUnlessTheOpticAxesAreGiven) {
    // The orientation panel starts with A as its rotation axis: A and Y stay, B goes 2V from
    // A on the far side of Z.
    for (const float two_v : {30.0f, 40.0f, 80.0f}) {
        const std::string value = std::to_string(int(two_v));
        const ParameterRecord r = parse_ok({"--two-vz", value}).record;
        EXPECT_NEAR(r.b_axis_theta, two_v - 15.0f, 1e-3) << two_v;
        EXPECT_NEAR(r.b_axis_phi, 180.0f, 1e-3) << two_v;
        EXPECT_NEAR(r.z_axis_theta, two_v / 2 - 15.0f, 1e-3) << two_v;
        EXPECT_EQ(r.a_axis_theta, 15.0f);
    }
    // Optic axes given are taken as they stand, any pair of them.
    const ParameterRecord given = parse_ok({"--two-vz", "80", "--a-axis-theta", "20"}).record;
    EXPECT_EQ(given.two_vz, 80.0f);
    EXPECT_EQ(given.a_axis_theta, 20.0f);
    EXPECT_EQ(given.b_axis_theta, 15.0f);
    EXPECT_EQ(given.b_axis_phi, 180.0f);
}

TEST(RenderOptions, FrameLightGammaAndOutput) {
    const RenderOptions o = parse_ok({"--frame", "7", "--light", "1.5", "--display-gamma", "10",
                                      "--out", "handout.ppm", "--draw-mode", "2"});
    EXPECT_EQ(o.frame, 7);
    EXPECT_EQ(o.light, 1.5f);
    EXPECT_EQ(o.display_gamma, 10.0f);
    EXPECT_EQ(o.out, "handout.ppm");
    EXPECT_TRUE(parse_ok({"--help"}).help);

    Figure figure;
    figure.frames = 72;
    figure.reference_light = 3.0f;
    EXPECT_EQ(check_against_figure(o, figure), "");
    RenderOptions late = o;
    late.frame = 72;
    EXPECT_NE(check_against_figure(late, figure), "");
    RenderOptions bright = o;
    bright.light = 5.9f;  // the slider reaches 2 L0 − 0.1
    EXPECT_EQ(check_against_figure(bright, figure), "");
    bright.light = 6.0f;
    EXPECT_NE(check_against_figure(bright, figure), "");
}

}  // namespace

// A message shows the value as given, and a bound with the digits it takes to tell it from
// the value.
TEST(RenderOptions, MessagesShowTheValueAsGivenAndBoundsThatDifferFromIt) {
    for (const auto& [arguments, error] :
         std::vector<std::pair<std::vector<std::string_view>, std::string>>{
             {{"--speed", "90.00001"}, "--speed 90.00001 is outside 10 to 90"},
             {{"--thickness", "3000.00001"}, "--thickness 3000.00001 is outside 10 to 3000"},
             {{"--omega", "2.5010"}, "--omega 2.5010 is outside 1 to 2.5"},
             {{"--image-size", "1e300"}, "--image-size 1e300 is beyond any control's range"},
             {{"--light", "-1e39"}, "--light -1e39 is beyond any control's range"}})
        EXPECT_EQ(parse(arguments).error, error);
}

namespace {

MineralList shipped_minerals() {
    return load_mineral_list(std::string(LUMITRA_SOURCE_DIR) + "/data/minerals.tsv");
}

ParsedRenderOptions parse_with_minerals(std::vector<std::string_view> arguments) {
    static const MineralList minerals = shipped_minerals();
    return parse_render_options(arguments, minerals);
}

// --mineral calcite is the figure of the indices the list gives for calcite, typed out.
TEST(RenderOptions, MineralGivesTheFigureOfItsIndicesByteForByte) {
    const MineralList list = shipped_minerals();
    const Mineral* calcite = find_mineral(list.minerals, "Calcite");
    ASSERT_NE(calcite, nullptr);
    char omega[16], epsilon[16];
    std::snprintf(omega, sizeof omega, "%.3f", calcite->omega);
    std::snprintf(epsilon, sizeof epsilon, "%.3f", calcite->epsilon);
    const ParsedRenderOptions by_name =
        parse_with_minerals({"--axis-type", "1", "--mineral", "calcite"});
    const ParsedRenderOptions typed =
        parse_with_minerals({"--axis-type", "0", "--omega", omega, "--epsilon", epsilon});
    ASSERT_TRUE(by_name.options && typed.options) << by_name.error << typed.error;
    ScriptedProgress progress;
    const std::optional<Figure> a = compute_figure(prepare_draw(by_name.options->record), progress);
    const std::optional<Figure> b = compute_figure(prepare_draw(typed.options->record), progress);
    ASSERT_TRUE(a && b && a->pixels.size() == b->pixels.size());
    EXPECT_TRUE(std::equal(a->pixels.begin(), a->pixels.end(), b->pixels.begin()));
}

// Options after a mineral change what it set, options before it are overwritten; an
// unknown name or a section of the other kind is refused.
TEST(RenderOptions, MineralAndSectionAreEditsInTheirPlace) {
    const RenderOptions o =
        parse_with_minerals({"--omega", "1.7", "--mineral", "QUARTZ", "--epsilon", "1.6"})
            .options.value_or(RenderOptions{});
    EXPECT_FLOAT_EQ(o.record.omega, 1.544f);
    EXPECT_FLOAT_EQ(o.record.epsilon, 1.6f);
    const struct {
        std::vector<std::string_view> arguments;
        const char* error;
    } cases[] = {
        {{"--mineral", "calcit"},
         "--mineral calcit is not in the list; the closest names are Calcite, "},
        {{"--section", "basal"},
         "--section basal is not optic-axis, flash, bxa, bxo or optic-normal"},
        {{"--mineral", "calcite", "--section", "bxa"},
         "--section bxa is not a section of a uniaxial crystal"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parse_with_minerals(c.arguments).error.rfind(c.error, 0), 0u) << c.error;
    EXPECT_EQ(parse({"--mineral", "calcite"}).error.rfind("--mineral needs the mineral list", 0),
              0u);
}

// The formats as --help tells them, read line by line as a user reads them.
TEST(RenderOptions, HelpNamesEveryFormatWithItsExtensions) {
    const std::string help = render_usage();
    const char* const blocks[] = {
        "Draws an interference figure as the main window's Draw does and writes frame K\n"
        "(default 0) as PPM (.ppm, .pnm), BMP (.bmp, or no extension), JPEG (.jpg, .jpeg)\n"
        "or PNG (.png); in the animation mode .mpg, .mpeg, .mp4, .webm or .gif writes a movie\n"
        "(--movie-size T, --speed S).\n",
        "Movies (animation mode or --wedge-sweep), 24 frames per second whatever the speed:\n"
        "  .mpg, .mpeg  MPEG-1, encoded by ppmtompeg\n"
        "  .mp4         H.264, for browsers and slide programs\n"
        "  .webm        VP9, for web pages\n"
        "  .gif         animated GIF that loops forever, one palette made for the movie\n"
        "  --movie-size T",
    };
    for (const char* block : blocks)
        EXPECT_NE(help.find(block), std::string::npos) << block;
}

}  // namespace
