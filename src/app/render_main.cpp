// lumitra-render: the figure of the main window's Draw, computed without a window and
// written to a file, for handouts and for measuring the computation.
#include <signal.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/install_paths.h"
#include "app/render_options.h"
#include "app/render_settings.h"
#include "model/accessories.h"
#include "model/derived_values.h"
#include "optics/figure_computation.h"
#include "optics/large_figure.h"
#include "optics/wedge_sweep.h"
#include "output/chart_writer.h"
#include "output/figure_file.h"
#include "output/figure_marks.h"
#include "output/file_extension.h"
#include "output/movie_pipeline.h"
#include "output/replacement_file.h"
#include "render/pixel_readout.h"
#include "render/readout_text.h"
#include "render/tone_table.h"

namespace {

// The number of the signal that asked us to stop (SIGINT, SIGTERM, SIGHUP), 0 until then.
volatile std::sig_atomic_t stop_signal = 0;

void on_stop_signal(int number) {
    stop_signal = number;
}

// The handlers only take note: the work in progress sees it at its next progress report
// (or within 100 ms while the encoder runs), stops the encoder, removes its temporaries and
// returns, and main ends with 128 + the signal's number.
void catch_stop_signals() {
    struct sigaction action {};
    action.sa_handler = on_stop_signal;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGINT, SIGTERM, SIGHUP})
        sigaction(number, &action, nullptr);
}

class InterruptibleProgress : public ProgressSink {
  public:
    void open(const char*) override {}
    bool update(float) override { return stop_signal == 0; }
    bool keep_going() override { return stop_signal == 0; }
};

// The frame count and side of the figure that compute_figure will make: the rotation image
// is one canvas.
Figure figure_shape(const DrawSetup& setup) {
    Figure shape;
    shape.setup = setup;
    const bool rotation = setup.params.draw_mode == kRotationImage;
    shape.frames = rotation ? 1 : setup.frame_count;
    shape.side = rotation ? setup.canvas_side : setup.side;
    return shape;
}

// Which file is at a path: a rename puts one with a new inode there.
struct FileIdentity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

FileIdentity identity_of(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return {};
    return {true, info.st_dev, info.st_ino};
}

// The status for a run that a signal stopped, else the given one.
int exit_status(int status) {
    return stop_signal != 0 ? 128 + stop_signal : status;
}

// A message is one line whatever a value or a file name holds: control characters are
// shown escaped.
std::string one_line(const std::string& message) {
    std::string line;
    for (const char c : message) {
        if (c == '\n') {
            line += "\\n";
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(c));
            line += escaped;
        } else {
            line += c;
        }
    }
    return line;
}

int fail(int status, const std::string& message) {
    std::fprintf(stderr, "lumitra-render: %s\n", one_line(message).c_str());
    return status;
}

// What the run writes: the format, and for a movie its side.
struct Output {
    OutputFormat format = OutputFormat::kUnsupported;
    std::optional<int> movie_side;
};

// Everything that can be known before the computation is checked first, so that a mistake
// is told at once and not after the figure is computed. The exit status when the run cannot
// go on.
std::optional<int> check_before_computing(const RenderOptions& options, const DrawSetup& setup,
                                          Output& output) {
    if (options.out.empty())
        return fail(2, "--out FILE is missing: name the file to write, such as --out figure.png");
    output.format = output_format(file_extension(options.out), FormatSet::kRenderer);
    if (output.format == OutputFormat::kUnsupported)
        return fail(
            2, options.out + ": the name must end in " + accepted_extensions(FormatSet::kRenderer));
    if (options.wedge_sweep && !is_movie(output.format))
        return fail(2, options.out + ": --wedge-sweep writes a movie, not a still");
    if (options.marks.any() && is_movie(output.format))
        return fail(2, options.out + ": --marks and --caption draw on stills only");
    const Figure shape = figure_shape(setup);
    RenderOptions frame_only = options;
    frame_only.light.reset();  // the light's range needs the computed figure
    if (const std::string error = check_against_figure(frame_only, shape); !error.empty())
        return fail(2, error);
    if (is_movie(output.format)) {
        std::string error;
        output.movie_side = movie_side(options, shape.side, error);
        if (!output.movie_side)
            return fail(2, error);
        if (const std::optional<OutputError> problem =
                movie_writer_problem(output.format, movie_module_file(LUMITRA_BUILD_MODULE_DIR)))
            return fail(1, problem->what);
    }
    const SaveTarget target = resolve_save_target(options.out);
    if (const int error = check_save_target(target); error != 0)
        return fail(1, describe_save_error(options.out, target, error));
    if (movie_encoding(output.format) == MovieEncoding::kPpmtompeg)
        if (const std::optional<OutputError> problem = movie_folder_problem(target))
            return fail(1, options.out + ": " + problem->what);
    return std::nullopt;
}

// Writes the computed figure; returns whether the file is in place.
bool write_output(const RenderOptions& options, const Output& output, const Figure& figure,
                  ProgressSink& progress) {
    const ToneTable tones =
        build_tone_table(options.display_gamma, options.light.value_or(figure.reference_light),
                         figure.encoding_gamma, figure.reference_light);
    // A sweep shows each setting of the wedge once.
    const float fps = !is_movie(output.format) ? 0.0f
                      : options.wedge_sweep    ? static_cast<float>(kMovieFrameRate)
                                               : options.speed / options.record.sampling_step;
    FigureFile file{options.out, output.format, options.frame, output.movie_side.value_or(0), fps};
    file.marks = options.marks;
    return write_figure_file(file, figure, tones, progress, nullptr) == 1;
}

// The interference-colour chart of the record's crystal and accessory.
int write_chart_file(const RenderOptions& options, const MineralList& minerals) {
    if (!chart_format(options.chart))
        return fail(2, options.chart + ": the name must end in " + chart_extensions());
    const SaveTarget target = resolve_save_target(options.chart);
    if (const int error = check_save_target(target); error != 0)
        return fail(1, describe_save_error(options.chart, target, error));
    ChartSettings settings;
    settings.kind = options.chart_kind;
    settings.max_retardation = options.chart_max_retardation;
    settings.plate = accessory_retardation(options.record);
    settings.crystal =
        ChartCrystal{record_birefringence(options.record), double(options.record.thickness)};
    if (const std::optional<OutputError> error =
            write_chart(options.chart, build_chart(settings, minerals.minerals)))
        return fail(1, error->what);
    return 0;
}

// --probe: the read-out of one pixel of the picture a still of the frame would hold.
int print_probe(const RenderOptions& options, const DrawSetup& setup, ProgressSink& progress) {
    RenderOptions frame_only = options;
    frame_only.light.reset();  // the light's range needs the computed figure
    if (const std::string error = check_against_figure(frame_only, figure_shape(setup));
        !error.empty())
        return fail(2, error);
    const std::optional<Figure> figure = compute_figure(setup, progress);
    if (!figure)
        return exit_status(1);
    if (const std::string error = check_against_figure(options, *figure); !error.empty())
        return fail(2, error);
    const ToneTable tones =
        build_tone_table(options.display_gamma, options.light.value_or(figure->reference_light),
                         figure->encoding_gamma, figure->reference_light);
    const std::vector<std::uint8_t> picture =
        marked_still(*figure, options.frame, tones, options.marks);
    const auto [x, y] = *options.probe;
    const std::uint8_t* rgb =
        &picture[3 * (std::size_t(y) * std::size_t(figure->side) + std::size_t(x))];
    const PixelReadout read = read_pixel(*figure, options.frame, x, y);
    std::puts(probe_line(read, {rgb[0], rgb[1], rgb[2]}).c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    catch_stop_signals();
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const MineralList minerals = load_installed_mineral_list(LUMITRA_BUILD_MINERALS);
    // A settings file's bad lines are told and skipped; the rest of it applies.
    const ExpandedArguments expanded = expand_settings(arguments, minerals);
    if (!expanded.error.empty())
        return fail(2, expanded.error);
    for (const std::string& skipped : expanded.report)
        std::fprintf(stderr, "lumitra-render: %s\n", one_line(skipped).c_str());
    const std::vector<std::string_view> words(expanded.arguments.begin(), expanded.arguments.end());
    const ParsedRenderOptions parsed = parse_render_options(words, minerals);
    if (!parsed.options)
        return fail(2, parsed.error);
    const RenderOptions& options = *parsed.options;
    if (options.help) {
        std::fputs(render_usage().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::puts("lumitra-render " LUMITRA_VERSION);
        return 0;
    }
    if (options.list_minerals) {
        if (!minerals.error.empty())
            return fail(1, minerals.error);
        std::fputs(mineral_table(minerals.minerals).c_str(), stdout);
        return 0;
    }
    if (!options.chart.empty())
        return write_chart_file(options, minerals);
    DrawSetup setup = options.output_size
                          ? prepare_draw_at_side(options.record, *options.output_size)
                          : prepare_draw(options.record);
    setup.antialias = options.antialias;
    setup.vibration_directions = options.vibration_directions;
    if (options.probe) {
        if (!options.out.empty() || options.wedge_sweep)
            return fail(2, "--probe writes no file: leave out --out and --wedge-sweep");
        InterruptibleProgress progress;
        return print_probe(options, setup, progress);
    }
    Output output;
    if (const std::optional<int> status = check_before_computing(options, setup, output))
        return *status;
    if (options.output_size) {
        const MemoryCheck memory =
            check_memory(setup, figure_memory(setup, processor_count()), available_memory());
        if (!memory.fits)
            return fail(1, memory.statement);
        std::fprintf(stderr, "lumitra-render: %s\n", memory.statement.c_str());
    }

    InterruptibleProgress progress;
    const std::optional<Figure> figure =
        options.wedge_sweep ? compute_wedge_sweep(setup, options.wedge_sweep->first,
                                                  options.wedge_sweep->second, progress)
                            : compute_figure(setup, progress);
    if (!figure)
        return exit_status(1);
    if (const std::string error = check_against_figure(options, *figure); !error.empty())
        return fail(2, error);
    const FileIdentity before = identity_of(options.out);
    const bool written = write_output(options, output, *figure, progress);
    // A signal that came too late to stop the rename stops nothing: the run succeeded. A
    // cancelled movie also reports success, so the file itself tells which happened.
    if (stop_signal != 0)
        return identity_of(options.out) != before ? 0 : exit_status(1);
    return written ? 0 : 1;
}
