#include "output/encoded_movie.h"

#include <dlfcn.h>

#include <cerrno>
#include <memory>
#include <optional>
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

// FFmpeg's encoders in the loaded module, fed each movie frame in turn; a GIF's palette is
// made first from the colours of every frame.
class ModuleEncoder final : public MovieStreamEncoder {
  public:
    ModuleEncoder(const MovieEncoderModule& module, OutputFormat format)
        : module_(module), format_(format) {}
    const char* writer() const override { return "write_encoded_movie"; }
    // 4:2:0 chroma needs even sides.
    int side_multiple() const override { return 2; }
    bool needs_private_folder() const override { return false; }

    std::optional<OutputError> encode(const MovieJob& job, ReplacementFile& movie,
                                      const std::string&, ProgressSink& progress) override {
        const int frame_count = job.figure.frames;
        const int movie_size = job.side;
        std::optional<PaletteDither> dither;
        std::vector<EncoderColour> palette;
        if (format_ == OutputFormat::kGif) {
            progress.open(texts::enlarging);
            PaletteBuilder colours;
            for (int k = 0; k < frame_count; ++k) {
                if (!progress.update(static_cast<float>(k + 1) / static_cast<float>(frame_count)))
                    return std::nullopt;
                colours.add(render_movie_frame(job.figure, k, job.tones, movie_size));
            }
            dither.emplace(colours.build());
            for (const PaletteColour& colour : dither->palette())
                palette.push_back((EncoderColour(colour[0]) << 16) |
                                  (EncoderColour(colour[1]) << 8) | colour[2]);
        }
        OutputError failure;
        const std::unique_ptr<MovieEncoder> encoder =
            module_.open(format_, movie.temporary_path(), movie_size, palette, failure);
        if (!encoder)
            return failure;

        progress.open(texts::creating_mpeg);
        std::vector<std::uint8_t> indices(dither ? std::size_t(movie_size) * movie_size : 0);
        std::vector<std::uint8_t> picture;
        const std::size_t count = job.frames.size();
        int converted = -1;
        for (std::size_t m = 0; m < count; ++m) {
            if (!progress.update(static_cast<float>(m + 1) / static_cast<float>(count)))
                return std::nullopt;
            // The list never goes back: a repeated input frame is rendered once.
            if (job.frames[m] != converted) {
                converted = job.frames[m];
                picture = render_movie_frame(job.figure, converted, job.tones, movie_size);
                if (dither)
                    dither->map(picture, movie_size, movie_size, indices);
            }
            if (auto failed_frame =
                    encoder->add(dither ? indices.data() : picture.data(), std::int64_t(m)))
                return failed_frame;
        }
        return encoder->finish();
    }

  private:
    const MovieEncoderModule& module_;
    OutputFormat format_;
};

}  // namespace

std::optional<OutputError> load_movie_encoders(const std::string& module_file) {
    if (loaded_module != nullptr)
        return std::nullopt;
    // Never closed: nothing is unloaded before the program ends.
    void* handle = dlopen(module_file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        return OutputError{reason != nullptr ? reason : module_file + ": cannot be loaded"};
    }
    const auto entry = reinterpret_cast<MovieEncoderEntry>(dlsym(handle, kMovieEncoderEntryName));
    if (entry == nullptr) {
        dlclose(handle);
        return OutputError{module_file + ": not a module of this version (no " +
                           kMovieEncoderEntryName + ")"};
    }
    loaded_module = entry();
    return std::nullopt;
}

std::optional<OutputError> encoded_movie_unavailable(OutputFormat format) {
    if (!needs_movie_encoders(format))
        return OutputError{"not a movie format of FFmpeg's libraries"};
    if (loaded_module == nullptr)
        return OutputError{"the movie encoders are not loaded"};
    if (std::string missing = loaded_module->unavailable(format); !missing.empty())
        return OutputError{std::move(missing)};
    return std::nullopt;
}

int write_encoded_movie(const std::string& path, OutputFormat format, const Figure& figure,
                        const ToneTable& tones, int movie_size, float fps, ProgressSink& progress) {
    if (!needs_movie_encoders(format) || loaded_module == nullptr) {
        errno = EINVAL;
        return 0;
    }
    ModuleEncoder encoder(*loaded_module, format);
    return export_movie(encoder, path, figure, tones, movie_size, fps, progress, nullptr);
}
