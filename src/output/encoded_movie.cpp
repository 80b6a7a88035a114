#include "output/encoded_movie.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "model/texts.h"
#include "output/gif_palette.h"
#include "output/movie_encoder_module.h"
#include "output/movie_pipeline.h"
#include "output/replacement_file.h"
#include "render/frame_rendering.h"

namespace {

// The module, once loaded; it stays for the rest of the run, since the encoders' code lives
// in it.
const MovieEncoderModule* loaded_module = nullptr;

void report(const std::string& path, const std::string& what) {
    std::fprintf(stderr, "write_encoded_movie: %s: %s\n", path.c_str(), what.c_str());
}

// write_encoded_movie without the errno: returns 1 or 0 and the reason in error. Its
// temporary is gone when it returns, so that nothing clears errno after it is set.
int export_movie(const MovieEncoderModule& module, const std::string& path, OutputFormat format,
                 const Figure& figure, const ToneTable& tones, int movie_size, float fps,
                 ProgressSink& progress, int& error) {
    const auto fail = [&](int cause, const std::string& what) {
        error = cause;
        report(path, cause != 0 ? what + ": " + std::strerror(cause) : what);
        return 0;
    };
    const auto failed = [&](const EncoderFailure& failure) {
        error = failure.error_number;
        report(path, failure.what);
        return 0;
    };
    const int frame_count = figure.frames;
    // 4:2:0 chroma needs even sides.
    if (frame_count <= 0 || movie_size <= 0 || movie_size % 2 != 0 || figure.side <= 0 ||
        figure.pixels.size() < figure.frame_bytes() * std::size_t(frame_count))
        return fail(EINVAL, "nothing to encode");
    const std::vector<int> frames = movie_frame_list(frame_count, fps);
    if (frames.empty())
        return fail(EINVAL, "invalid frame rate " + std::to_string(fps));

    ReplacementFile movie(path);
    if (!movie.ok())
        return fail(movie.error(), "cannot write the movie there");

    std::optional<PaletteDither> dither;
    std::vector<EncoderColour> palette;
    if (format == OutputFormat::kGif) {
        progress.open(texts::enlarging);
        PaletteBuilder colours;
        for (int k = 0; k < frame_count; ++k) {
            if (!progress.update(static_cast<float>(k + 1) / static_cast<float>(frame_count)))
                return 1;
            colours.add(render_movie_frame(figure, k, tones, movie_size));
        }
        dither.emplace(colours.build());
        for (const PaletteColour& colour : dither->palette())
            palette.push_back((EncoderColour(colour[0]) << 16) | (EncoderColour(colour[1]) << 8) |
                              colour[2]);
    }
    EncoderFailure failure;
    const std::unique_ptr<MovieEncoder> encoder =
        module.open(format, movie.temporary_path(), movie_size, palette, failure);
    if (!encoder)
        return failed(failure);

    progress.open(texts::creating_mpeg);
    std::vector<std::uint8_t> indices(dither ? std::size_t(movie_size) * movie_size : 0);
    std::vector<std::uint8_t> picture;
    const std::size_t count = frames.size();
    int converted = -1;
    for (std::size_t m = 0; m < count; ++m) {
        if (!progress.update(static_cast<float>(m + 1) / static_cast<float>(count)))
            return 1;
        // The list never goes back: a repeated input frame is rendered once.
        if (frames[m] != converted) {
            converted = frames[m];
            picture = render_movie_frame(figure, converted, tones, movie_size);
            if (dither)
                dither->map(picture, movie_size, movie_size, indices);
        }
        if (auto failed_frame =
                encoder->add(dither ? indices.data() : picture.data(), std::int64_t(m)))
            return failed(*failed_frame);
    }
    if (auto failed_end = encoder->finish())
        return failed(*failed_end);
    if (const int placed = movie.commit(); placed != 0)
        return fail(placed, "cannot put the movie in place");
    return 1;
}

}  // namespace

std::string load_movie_encoders(const std::string& module_file) {
    if (loaded_module != nullptr)
        return {};
    // Never closed: nothing is unloaded before the program ends.
    void* handle = dlopen(module_file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        return reason != nullptr ? reason : module_file + ": cannot be loaded";
    }
    const auto entry = reinterpret_cast<MovieEncoderEntry>(dlsym(handle, kMovieEncoderEntryName));
    if (entry == nullptr) {
        dlclose(handle);
        return module_file + ": not a module of this version (no " + kMovieEncoderEntryName + ")";
    }
    loaded_module = entry();
    return {};
}

std::string encoded_movie_unavailable(OutputFormat format) {
    if (!needs_movie_encoders(format))
        return "not a movie format of FFmpeg's libraries";
    if (loaded_module == nullptr)
        return "the movie encoders are not loaded";
    return loaded_module->unavailable(format);
}

int write_encoded_movie(const std::string& path, OutputFormat format, const Figure& figure,
                        const ToneTable& tones, int movie_size, float fps, ProgressSink& progress) {
    if (!needs_movie_encoders(format) || loaded_module == nullptr) {
        errno = EINVAL;
        return 0;
    }
    int error = 0;
    const int result =
        export_movie(*loaded_module, path, format, figure, tones, movie_size, fps, progress, error);
    if (result == 0)
        errno = error;
    return result;
}
