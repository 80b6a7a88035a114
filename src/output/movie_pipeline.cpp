#include "output/movie_pipeline.h"

#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "model/texts.h"
#include "output/mpeg_encoder.h"
#include "output/replacement_file.h"
#include "output/still_writers.h"
#include "render/frame_rendering.h"

namespace {

constexpr char kParameterFileName[] = "encoder.param";

// The parameter file is read line by line: a name with a line break in it cannot be given.
bool breaks_lines(const std::string& name) {
    return name.find_first_of("\r\n") != std::string::npos;
}

// Passes the encoder's progress through and remembers whether the user cancelled, which
// the encoder's −1 alone does not tell apart from a failure.
class CancelWatch : public ProgressSink {
  public:
    explicit CancelWatch(ProgressSink& inner) : inner_(inner) {}
    void open(const char* message_sjis) override { inner_.open(message_sjis); }
    bool update(float fraction) override { return seen(inner_.update(fraction)); }
    bool keep_going() override { return seen(inner_.keep_going()); }
    bool cancelled = false;

  private:
    bool seen(bool go_on) {
        cancelled = cancelled || !go_on;
        return go_on;
    }
    ProgressSink& inner_;
};

// ppmtompeg: the frames as PPM files in the private folder, a parameter file that lists them,
// and the encoder run on it, its stream written into the movie through a pipe.
class PpmtompegEncoder final : public MovieStreamEncoder {
  public:
    const char* writer() const override { return "write_movie"; }
    int side_multiple() const override { return 1; }
    bool needs_private_folder() const override { return true; }

    std::optional<OutputError> encode(const MovieJob& job, ReplacementFile& movie,
                                      const std::string& folder, ProgressSink& progress) override {
        const int frame_count = job.figure.frames;
        progress.open(texts::enlarging);
        for (int k = 0; k < frame_count; ++k) {
            if (!progress.update(static_cast<float>(k + 1) / static_cast<float>(frame_count)))
                return std::nullopt;
            const std::vector<std::uint8_t> frame =
                render_movie_frame(job.figure, k, job.tones, job.side);
            const std::string name = folder + "/" + temp_frame_name(k);
            if (write_ppm(name.c_str(), frame.data(), job.side, job.side) == 0)
                return system_error(errno, "cannot write frame " + std::to_string(k));
        }

        progress.open(texts::creating_mpeg);
        const std::string parameters =
            write_encoder_parameters(folder, kEncoderOutput, frame_count, job.fps);
        if (parameters.empty())
            return system_error(errno, "cannot write the encoder's parameter file");
        if (encode_movie(parameters, movie, progress) != 0)
            return movie.ok() ? system_error(0, "the encoder failed")
                              : system_error(movie.error(), "cannot write the movie");
        return std::nullopt;
    }
};

// export_movie without the report: nothing when the movie is in place or the user cancelled.
std::optional<OutputError> make_movie(MovieStreamEncoder& encoder, const std::string& path,
                                      const Figure& figure, const ToneTable& tones, int movie_size,
                                      float fps, ProgressSink& progress,
                                      const AskToCloseElsewhere& ask_to_close) {
    const MoviePlan plan = plan_movie(figure, movie_size, fps, encoder.side_multiple());
    if (plan.error)
        return plan.error;

    const SaveTarget target = resolve_save_target(path);
    if (target.error != 0)
        return system_error(target.error, "cannot write the movie there");
    std::optional<PrivateFolder> work;
    if (encoder.needs_private_folder()) {
        work.emplace(target.folder);
        if (work->error() != 0)
            return system_error(work->error(), "cannot make a folder for the temporary files");
    }
    const std::string folder = work ? work->path() : std::string();
    ReplacementFile movie(target, folder);
    if (!movie.ok())
        return system_error(movie.error(), "cannot write the movie there");

    CancelWatch watch(progress);
    const std::optional<OutputError> failure =
        encoder.encode({figure, tones, movie_size, fps, plan.frames}, movie, folder, watch);
    // A cancel shows as a failure of the encoder, which is not to be told.
    if (watch.cancelled)
        return std::nullopt;
    if (failure)
        return failure;

    int placed = movie.commit();
    // Where the finished movie is still waiting, the user may be able to clear the way.
    if (placed != 0 && movie.pending() && ask_to_close) {
        ask_to_close(path);
        placed = movie.commit();
    }
    if (placed != 0)
        return system_error(placed, "cannot put the movie in place");
    return std::nullopt;
}

}  // namespace

std::vector<int> movie_frame_list(int frame_count, float fps) {
    std::vector<int> list;
    if (frame_count <= 0 || !(fps > 0.0f) || !std::isfinite(fps))
        return list;
    const float movie_rate = static_cast<float>(kMovieFrameRate);
    int i = 0;
    int j = 0;
    while (i < frame_count) {
        ++j;
        list.push_back(i);
        while (static_cast<float>(i) / fps < static_cast<float>(j) / movie_rate)
            ++i;
    }
    return list;
}

MoviePlan plan_movie(const Figure& figure, int movie_size, float fps, int side_multiple) {
    MoviePlan plan;
    const int frame_count = figure.frames;
    if (frame_count <= 0 || movie_size <= 0 || movie_size % side_multiple != 0 ||
        figure.side <= 0 || figure.pixels.size() < figure.frame_bytes() * std::size_t(frame_count))
        plan.error = system_error(EINVAL, "nothing to encode");
    else if (plan.frames = movie_frame_list(frame_count, fps); plan.frames.empty())
        plan.error = system_error(EINVAL, "invalid frame rate " + std::to_string(fps));
    return plan;
}

std::string temp_frame_name(int index) {
    return "frame" + std::to_string(index) + ".ppm";
}

std::string write_encoder_parameters(const std::string& folder, const std::string& output,
                                     int frame_count, float fps) {
    const std::vector<int> frames = movie_frame_list(frame_count, fps);
    if (frames.empty() || breaks_lines(folder) || breaks_lines(output)) {
        errno = EINVAL;
        return {};
    }
    std::string text;
    text += "PATTERN         IBBPBBPBBPBBPBB\n";
    text += "OUTPUT          " + output + "\n";
    text += "BASE_FILE_FORMAT        PNM\n";
    text += "INPUT_CONVERT    *\n";
    text += "GOP_SIZE        30\n";
    text += "SLICES_PER_FRAME        1\n";
    // The encoder reads each frame as INPUT_DIR/name; an absolute folder makes that
    // independent of its working directory.
    text += "INPUT_DIR       " + folder + "\n";
    text += "INPUT\n";
    for (int frame : frames)
        text += temp_frame_name(frame) + "\n";
    text += "END_INPUT\n";
    text += "PIXEL           HALF\n";
    text += "RANGE           10\n";
    text += "PSEARCH_ALG     LOGARITHMIC\n";
    text += "BSEARCH_ALG     CROSS2\n";
    text += "IQSCALE         3\n";
    text += "PQSCALE         3\n";
    text += "BQSCALE         3\n";
    text += "REFERENCE_FRAME ORIGINAL\n";
    text += "FORCE_ENCODE_LAST_FRAME\n";
    text += "FRAME_RATE " + std::to_string(kMovieFrameRate) + "\n";
    const std::string name = folder + "/" + kParameterFileName;
    if (const int error = replace_file_contents(name, text); error != 0) {
        errno = error;
        return {};
    }
    return name;
}

std::optional<OutputError> movie_folder_problem(const SaveTarget& target) {
    if (target.error != 0)
        return std::nullopt;  // the save's own check tells of it
    constexpr char kUnusable[] = "the movie's folder cannot be given to the encoder";
    char* absolute = realpath(target.folder.c_str(), nullptr);
    if (absolute == nullptr)
        return system_error(errno, kUnusable);
    const std::string folder = absolute;
    std::free(absolute);
    if (breaks_lines(folder))
        return OutputError{
            "the encoder cannot read frames from a folder whose name holds a line break", EINVAL};
    // The private folder's name and a frame's name are added below it.
    if (folder.size() + 64 >= PATH_MAX)
        return system_error(ENAMETOOLONG, kUnusable);
    return std::nullopt;
}

int export_movie(MovieStreamEncoder& encoder, const std::string& path, const Figure& figure,
                 const ToneTable& tones, int movie_size, float fps, ProgressSink& progress,
                 const AskToCloseElsewhere& ask_to_close) {
    const std::optional<OutputError> failure =
        make_movie(encoder, path, figure, tones, movie_size, fps, progress, ask_to_close);
    // Reported once the export's temporaries are gone, so that nothing clears errno after it.
    if (!failure)
        return 1;
    std::fprintf(stderr, "%s: %s: %s\n", encoder.writer(), path.c_str(), failure->what.c_str());
    errno = failure->error_number;
    return 0;
}

int write_movie(const std::string& path, const Figure& figure, const ToneTable& tones,
                int movie_size, float fps, ProgressSink& progress,
                const AskToCloseElsewhere& ask_to_close) {
    PpmtompegEncoder encoder;
    return export_movie(encoder, path, figure, tones, movie_size, fps, progress, ask_to_close);
}
