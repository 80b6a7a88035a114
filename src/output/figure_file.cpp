#include "output/figure_file.h"

#include <vector>

#include "output/encoded_movie.h"
#include "output/figure_marks.h"
#include "output/mpeg_encoder.h"

std::optional<OutputError> movie_writer_problem(OutputFormat format,
                                                const std::string& module_file) {
    switch (movie_encoding(format)) {
        case MovieEncoding::kNone:
            return std::nullopt;
        case MovieEncoding::kPpmtompeg:
            if (find_encoder())
                return std::nullopt;
            return OutputError{"ppmtompeg is not installed (not found on PATH)"};
        case MovieEncoding::kEncoderModule:
            break;
    }
    if (std::optional<OutputError> error = load_movie_encoders(module_file)) {
        error->what +=
            " (FFmpeg's encoders of " +
            accepted_extensions(FormatSet::kRenderer, EncoderNeed::kMovieEncoders) + "); " +
            accepted_extensions(FormatSet::kRenderer, EncoderNeed::kWithoutMovieEncoders) +
            " still work";
        return error;
    }
    return encoded_movie_unavailable(format);
}

int write_figure_file(const FigureFile& file, const Figure& figure, const ToneTable& tones,
                      ProgressSink& progress, const AskToCloseElsewhere& ask_to_close) {
    switch (movie_encoding(file.format)) {
        case MovieEncoding::kPpmtompeg:
            return write_movie(file.path, figure, tones, file.movie_side, file.fps, progress,
                               ask_to_close);
        case MovieEncoding::kEncoderModule:
            return write_encoded_movie(file.path, file.format, figure, tones, file.movie_side,
                                       file.fps, progress);
        case MovieEncoding::kNone:
            break;
    }
    const std::vector<std::uint8_t> picture = marked_still(figure, file.frame, tones, file.marks);
    return still_writer(file.format)(file.path.c_str(), picture.data(), figure.side, figure.side);
}
