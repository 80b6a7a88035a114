// lumitra-render: the figure of the main window's Draw, computed without a window and
// written to a file, for handouts and for measuring the computation.
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/render_options.h"
#include "figure/tone_table.h"
#include "optics/figure_computation.h"
#include "output/file_extension.h"
#include "output/output_frames.h"
#include "output/still_writers.h"

namespace {

class SilentProgress : public ProgressSink {
  public:
    void open(const char*) override {}
    bool update(float) override { return true; }
};

// Binary PPM (P6). Returns 1 when the whole file was written.
int write_ppm(const char* path, const std::uint8_t* rgb, int width, int height) {
    std::FILE* file = std::fopen(path, "wb");
    if (!file) {
        std::fprintf(stderr, "lumitra-render: %s: %s\n", path, std::strerror(errno));
        return 0;
    }
    const std::size_t bytes = std::size_t(3) * width * height;
    bool written = std::fprintf(file, "P6\n%d %d\n255\n", width, height) > 0 &&
                   std::fwrite(rgb, 1, bytes, file) == bytes;
    const int saved_errno = errno;
    written = std::fclose(file) == 0 && written;
    if (!written) {
        std::fprintf(stderr, "lumitra-render: %s: %s\n", path, std::strerror(saved_errno));
        std::remove(path);
    }
    return written ? 1 : 0;
}

// The one place that knows the file formats: chosen by the extension of the path.
StillWriter writer_for(const std::string& path) {
    std::string extension(file_extension(path).value_or(""));
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == "ppm" || extension == "pnm")
        return write_ppm;
    if (extension == "bmp")
        return write_bmp;
    if (extension == "jpg" || extension == "jpeg")
        return write_jpeg;
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const ParsedRenderOptions parsed = parse_render_options(arguments);
    if (!parsed.options) {
        std::fprintf(stderr, "lumitra-render: %s\n", parsed.error.c_str());
        return 2;
    }
    const RenderOptions& options = *parsed.options;
    if (options.help) {
        std::fputs(render_usage().c_str(), stdout);
        return 0;
    }
    if (options.out.empty()) {
        std::fprintf(stderr, "lumitra-render: --out FILE is missing\n");
        return 2;
    }
    const StillWriter writer = writer_for(options.out);
    if (!writer) {
        std::fprintf(stderr, "lumitra-render: %s: the name must end in .ppm, .bmp or .jpg\n",
                     options.out.c_str());
        return 2;
    }

    SilentProgress progress;
    const std::optional<Figure> figure = compute_figure(prepare_draw(options.record), progress);
    if (!figure)
        return 1;
    if (const std::string error = check_against_figure(options, *figure); !error.empty()) {
        std::fprintf(stderr, "lumitra-render: %s\n", error.c_str());
        return 2;
    }
    const ToneTable tones =
        build_tone_table(options.display_gamma, options.light.value_or(figure->reference_light),
                         figure->encoding_gamma, figure->reference_light);
    const std::vector<std::uint8_t> picture = render_still(*figure, options.frame, tones);
    return writer(options.out.c_str(), picture.data(), figure->side, figure->side) == 1 ? 0 : 1;
}
