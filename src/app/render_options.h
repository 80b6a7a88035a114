// The command line of lumitra-render, which draws a figure without a window: the fields of
// the parameter record by their names with dashes (--two-vz 40, --draw-mode 2, ...), and the
// frame, light intensity, display gamma, movie size and speed, and output file. A value is
// accepted only when the control that sets it in the program can hold it (model/controls.h),
// and what the window derives from an edit is derived here the same way, so that every
// picture the renderer makes is one the program can show.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/controls.h"
#include "model/mineral_list.h"
#include "model/parameter_record.h"
#include "optics/figure_buffer.h"
#include "output/figure_marks.h"
#include "render/colour_chart.h"

struct RenderOptions {
    // The record as the main window holds it right after start-up, changed by the options,
    // with image_size, sampling_step, mean_index and the biaxial axes derived as the panels
    // derive them.
    ParameterRecord record{};
    int frame = 0;
    std::optional<float> light;            // the light-intensity slider; none: the figure's own L0
    float display_gamma = kEncodingGamma;  // the gamma slider
    std::optional<int> movie_size;         // the movie-size dialog; none: its starting value
    std::optional<int> output_size;        // the figure's side beyond the size controls, for a file
    float speed = controls::kDefaultSpeed;  // the speed slider, degrees a second
    std::string out;
    bool antialias = false;  // supersample where the rings are finer than the pixels
    FigureMarks marks;       // drawn over a still, as the figure window's switches draw them
    // A movie of the quartz wedge moved from the first retardation to the second (nm).
    std::optional<std::pair<float, float>> wedge_sweep;
    // The interference-colour chart instead of a figure: its file (.png, .svg, .pdf), its kind
    // and the retardation across (nm); the crystal and the accessory from the record.
    std::string chart;
    ChartKind chart_kind = ChartKind::kRetardation;
    double chart_max_retardation = kChartDefaultRetardation;
    // Reading the figure: the vibration directions drawn over the picture, and a pixel
    // (x, y) whose read-out is printed instead of writing a file.
    bool vibration_directions = false;
    std::optional<std::pair<int, int>> probe;
    bool help = false;
    bool version = false;
    bool list_minerals = false;
};

struct ParsedRenderOptions {
    std::optional<RenderOptions> options;
    std::string error;  // one line, when options is empty
};

// arguments: the command line without the program name; minerals: the list --mineral chooses
// from (its error is told when --mineral is given and the list could not be read).
ParsedRenderOptions parse_render_options(std::span<const std::string_view> arguments,
                                         const MineralList& minerals = {});

// The checks that need the computed figure (or its shape): the frame exists, the light
// intensity lies on its slider. An empty string when both hold.
std::string check_against_figure(const RenderOptions& options, const Figure& figure);

// The side of the movie of a figure of the given side: the size asked for, or the movie-size
// dialog's starting value. Nothing, with the reason in error, when the dialog could not
// offer it or the record is neither in the animation mode nor a wedge sweep.
std::optional<int> movie_side(const RenderOptions& options, int figure_side, std::string& error);

// The names --plate takes with the accessories they choose, in the order of the window's
// accessory button.
std::vector<std::pair<std::string, std::int32_t>> plate_names();

// The text of --help.
std::string render_usage();

// One option as a settings file or a command line gives it: the name without the dashes and
// the value text (empty for --antialias, which takes none).
struct OptionValue {
    std::string name;
    std::string value;
    bool orientation = false;  // an angle that places the axes: they are given all or none
};

// The options that make the record, from the same table the parser reads: every field a
// control sets (the derived ones and 2Vx, which stand for others, left out), the accessory as
// --plate, the wedge's retardation only with the wedge in, and the axes as they stand, all
// ten angles, which the parser then takes without deriving anything.
std::vector<OptionValue> record_options(const ParameterRecord& record);

// What is wrong with one option taken by itself, as a line of a settings file is checked:
// not an option, not a setting (--help), without the value it needs, or a value its control
// cannot hold. Empty when nothing is; what needs the other options is checked by the parse.
std::string check_single_option(std::string_view name, std::optional<std::string_view> value,
                                const MineralList& minerals = {});
