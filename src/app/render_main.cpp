// lumitra-render: the figure of the main window's Draw, computed without a window and
// written to a file, for handouts and for measuring the computation.
#include <signal.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/render_options.h"
#include "figure/animation.h"
#include "figure/tone_table.h"
#include "optics/figure_computation.h"
#include "output/encoded_movie.h"
#include "output/file_extension.h"
#include "output/movie_pipeline.h"
#include "output/mpeg_encoder.h"
#include "output/output_frames.h"
#include "output/png_writer.h"
#include "output/replacement_file.h"
#include "output/still_writers.h"

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

// The still writer for a format, nullptr for a movie. The format follows from the path's
// extension (output/file_extension.h); a name without one is a BMP, as the window's Save
// makes it.
StillWriter still_writer(OutputFormat format) {
    switch (format) {
        case OutputFormat::kBmp:
            return write_bmp;
        case OutputFormat::kJpeg:
            return write_jpeg;
        case OutputFormat::kPpm:
            return write_ppm;
        case OutputFormat::kPng:
            return write_png;
        default:
            return nullptr;
    }
}

// The movie's own options, --movie-size T and --speed S (the movie-size dialog and the speed
// slider of the figure window); taken out before the record's options are read.
struct MovieOptions {
    std::optional<int> size;
    float speed = kDefaultAnimationSpeed;
};

std::string take_movie_options(std::vector<std::string_view>& arguments, MovieOptions& movie) {
    std::vector<std::string_view> rest;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view name = arguments[i];
        std::optional<std::string_view> text;
        if (const std::size_t equals = name.find('='); equals != std::string_view::npos) {
            text = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        if (name != "--movie-size" && name != "--speed") {
            rest.push_back(arguments[i]);
            continue;
        }
        if (!text && i + 1 == arguments.size())
            return std::string(name) + " needs a value";
        const std::string value(text ? *text : arguments[++i]);
        char* end = nullptr;
        const long number = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0')
            return std::string(name) + " " + value + " is not a whole number";
        if (name == "--speed") {
            if (number < 10 || number > 90)
                return "--speed " + value + " is outside 10 to 90";
            movie.speed = static_cast<float>(number);
        } else {
            if (number < 16 || number > 480 || number % 16 != 0)
                return "--movie-size " + value + " is not a multiple of 16 from 16 to 480";
            movie.size = static_cast<int>(number);
        }
    }
    arguments = rest;
    return {};
}

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

// The side of the movie Save writes in the animation mode: from the movie-size dialog's range
// (the figure side rounded up to a multiple of 16, up to 480; 240 or that lower bound when
// not given). Nothing, after a line on standard error, when the movie cannot be made.
std::optional<int> movie_side(const RenderOptions& options, const MovieOptions& movie,
                              int figure_side) {
    if (options.record.draw_mode != kAnimation) {
        std::fprintf(stderr, "lumitra-render: %s: movies need the animation mode (--draw-mode 2)\n",
                     options.out.c_str());
        return std::nullopt;
    }
    const int lowest = (figure_side + 15) / 16 * 16;
    const int side = movie.size.value_or(std::max(240, lowest));
    if (side < lowest) {
        std::fprintf(stderr, "lumitra-render: --movie-size %d is below %d for a figure of %d\n",
                     side, lowest, figure_side);
        return std::nullopt;
    }
    return side;
}

// The status for a run that a signal stopped, else the given one.
int exit_status(int status) {
    return stop_signal != 0 ? 128 + stop_signal : status;
}

}  // namespace

int main(int argc, char** argv) {
    catch_stop_signals();
    std::vector<std::string_view> arguments(argv + 1, argv + argc);
    MovieOptions movie;
    if (const std::string error = take_movie_options(arguments, movie); !error.empty()) {
        std::fprintf(stderr, "lumitra-render: %s\n", error.c_str());
        return 2;
    }
    const ParsedRenderOptions parsed = parse_render_options(arguments);
    if (!parsed.options) {
        std::fprintf(stderr, "lumitra-render: %s\n", parsed.error.c_str());
        return 2;
    }
    const RenderOptions& options = *parsed.options;
    if (options.help) {
        std::fputs(render_usage().c_str(), stdout);
        std::fputs(
            "Movies (animation mode only), 24 frames per second whatever the speed:\n"
            "  .mpg, .mpeg  MPEG-1, encoded by ppmtompeg\n"
            "  .mp4         H.264, for browsers and slide programs\n"
            "  .webm        VP9, for web pages\n"
            "  .gif         animated GIF that loops forever, one palette made for the movie\n"
            "  --movie-size T  side of the movie frames, a multiple of 16 up to 480\n"
            "  --speed S       stage rotation in degrees per second, 10 to 90 (default 45)\n",
            stdout);
        return 0;
    }
    if (options.out.empty()) {
        std::fprintf(stderr, "lumitra-render: --out FILE is missing\n");
        return 2;
    }
    const OutputFormat format = output_format(file_extension(options.out), FormatSet::kRenderer);
    if (format == OutputFormat::kUnsupported) {
        std::fprintf(stderr, "lumitra-render: %s: the name must end in %s\n", options.out.c_str(),
                     accepted_extensions(FormatSet::kRenderer).c_str());
        return 2;
    }
    const bool movie_wanted = is_movie(format);

    // Everything that can be known before the computation is checked first, so that a
    // mistake is told at once and not after the figure is computed.
    const DrawSetup setup = prepare_draw(options.record);
    const Figure shape = figure_shape(setup);
    RenderOptions frame_only = options;
    frame_only.light.reset();  // the light's range needs the computed figure
    if (const std::string error = check_against_figure(frame_only, shape); !error.empty()) {
        std::fprintf(stderr, "lumitra-render: %s\n", error.c_str());
        return 2;
    }
    std::optional<int> side;
    if (movie_wanted) {
        side = movie_side(options, movie, shape.side);
        if (!side)
            return 2;
        const std::string missing =
            format == OutputFormat::kMpeg
                ? (find_encoder() ? "" : "ppmtompeg is not installed (not found on PATH)")
                : encoded_movie_unavailable(format);
        if (!missing.empty()) {
            std::fprintf(stderr, "lumitra-render: %s\n", missing.c_str());
            return 1;
        }
    }
    if (const int error = check_save_target(options.out); error != 0) {
        std::fprintf(stderr, "lumitra-render: %s: %s\n", options.out.c_str(), std::strerror(error));
        return 1;
    }

    InterruptibleProgress progress;
    const std::optional<Figure> figure = compute_figure(setup, progress);
    if (!figure)
        return exit_status(1);
    if (const std::string error = check_against_figure(options, *figure); !error.empty()) {
        std::fprintf(stderr, "lumitra-render: %s\n", error.c_str());
        return 2;
    }
    const ToneTable tones =
        build_tone_table(options.display_gamma, options.light.value_or(figure->reference_light),
                         figure->encoding_gamma, figure->reference_light);
    if (movie_wanted) {
        const float fps = movie.speed / options.record.sampling_step;
        const int written =
            format == OutputFormat::kMpeg
                ? write_movie(options.out, *figure, tones, *side, fps, progress, nullptr)
                : write_encoded_movie(options.out, format, *figure, tones, *side, fps, progress);
        return exit_status(written == 1 ? 0 : 1);
    }
    const std::vector<std::uint8_t> picture = render_still(*figure, options.frame, tones);
    const int written =
        still_writer(format)(options.out.c_str(), picture.data(), figure->side, figure->side);
    return exit_status(written == 1 ? 0 : 1);
}
