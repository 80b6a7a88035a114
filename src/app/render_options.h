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

struct RenderOptions {
    // The record as the main window holds it right after start-up, changed by the options,
    // with image_size, sampling_step, mean_index and the biaxial axes derived as the panels
    // derive them.
    ParameterRecord record{};
    int frame = 0;
    std::optional<float> light;             // the light-intensity slider; none: the figure's own L0
    float display_gamma = kEncodingGamma;   // the gamma slider
    std::optional<int> movie_size;          // the movie-size dialog; none: its starting value
    float speed = controls::kDefaultSpeed;  // the speed slider, degrees a second
    std::string out;
    bool antialias = false;  // supersample where the rings are finer than the pixels
    // A movie of the quartz wedge moved from the first retardation to the second (nm).
    std::optional<std::pair<float, float>> wedge_sweep;
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
