// The command line of lumitra-render, which draws a figure without a window: the fields of
// the parameter record by their names with dashes (--two-vz 40, --draw-mode 2, ...), and the
// frame, light intensity, display gamma and output file. A value is accepted only within
// the range of the control that sets it in the main window, and what the window derives from
// an edit is derived here the same way, so that every picture the renderer makes is one the
// program can show.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "model/parameter_record.h"
#include "optics/figure_buffer.h"

struct RenderOptions {
    // The record as the main window holds it right after start-up, changed by the options,
    // with image_size, sampling_step, mean_index and the biaxial axes derived as the panels
    // derive them.
    ParameterRecord record{};
    int frame = 0;
    std::optional<float> light;  // the light-intensity slider; none: the figure's own L0
    float display_gamma = 2.4f;  // the gamma slider
    std::string out;
    bool help = false;
};

struct ParsedRenderOptions {
    std::optional<RenderOptions> options;
    std::string error;  // one line, when options is empty
};

// arguments: the command line without the program name.
ParsedRenderOptions parse_render_options(std::span<const std::string_view> arguments);

// The checks that need the computed figure: the frame exists, the light intensity lies on
// its slider (0 to 2 L0 − 0.1). An empty string when both hold.
std::string check_against_figure(const RenderOptions& options, const Figure& figure);

// The text of --help.
std::string render_usage();
