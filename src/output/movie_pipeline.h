// The movie of an animation, one pipeline for every movie format: the request checked, every
// frame rendered as the window shows it at the movie's side and handed to an encoder, and the
// movie put at the chosen path the one safe way (output/replacement_file.h). The MPEG-1
// encoder here writes the frames as PPM files into a private folder beside the target with a
// parameter file that lists them at 24 frames per second; FFmpeg's encoders
// (output/encoded_movie.h) take them one by one. Any number of exports may run at once, even
// to one path: each has its own temporaries, and the last to finish is the file at the path.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/progress_sink.h"
#include "optics/figure_buffer.h"
#include "output/output_error.h"
#include "output/replacement_file.h"
#include "render/tone_table.h"

inline constexpr int kMovieFrameRate = 24;

// The input frame shown by each movie frame: movie frame m shows the first input frame i
// with i ÷ fps ≥ m ÷ 24, both quotients in single precision. Input frames repeat when fps
// is below 24 and are skipped above it. Empty when fps is not a positive finite number.
std::vector<int> movie_frame_list(int frame_count, float fps);

// What every movie export checks before any work: frames to encode, a side the encoder takes
// (a multiple of side_multiple) and a frame rate that lists movie frames. The movie's frame
// list, or why there is none.
struct MoviePlan {
    std::vector<int> frames;
    std::optional<OutputError> error;
};
MoviePlan plan_movie(const Figure& figure, int movie_size, float fps, int side_multiple);

// The name of temporary frame k in the movie's folder.
std::string temp_frame_name(int index);

// Writes the encoder's parameter file into the folder (an absolute path) for the frames
// there, with output as the encoder's OUTPUT. Returns the file's path, or an empty string
// with errno set when it cannot be written completely.
std::string write_encoder_parameters(const std::string& folder, const std::string& output,
                                     int frame_count, float fps);

// Why the encoder could not make a movie at the target although the target itself can take a
// file, or nothing: it reads its frames by their absolute folder name, one line of its
// parameter file, so a folder whose name breaks the line or is too long for the system
// cannot be used. Known before anything is computed.
std::optional<OutputError> movie_folder_problem(const SaveTarget& target);

// Shows "is the file open in another application?" for the path and returns once the user
// has pressed OK.
using AskToCloseElsewhere = std::function<void(const std::string& path)>;

// One movie to make: the figure's frames shown as the movie's frames list them, at the side.
struct MovieJob {
    const Figure& figure;
    const ToneTable& tones;
    int side;
    float fps;
    const std::vector<int>& frames;
};

// What turns the frames into a movie's stream: ppmtompeg reading frames from a private folder,
// or FFmpeg's encoders fed frame by frame. The pipeline around it is the same for both.
class MovieStreamEncoder {
  public:
    virtual ~MovieStreamEncoder() = default;
    // The name its failures are told under on standard error.
    virtual const char* writer() const = 0;
    // What the movie's side must be a multiple of.
    virtual int side_multiple() const = 0;
    // Whether it needs a private folder beside the target for files another process reads.
    virtual bool needs_private_folder() const = 0;
    // Writes the movie into the file, not committed; folder is the private folder, if any.
    // The failure, or nothing when the movie is complete or progress said stop.
    virtual std::optional<OutputError> encode(const MovieJob& job, ReplacementFile& movie,
                                              const std::string& folder,
                                              ProgressSink& progress) = 0;
};

// The one movie export: checks the request, makes the movie through the encoder into a
// temporary beside the path and puts it in place, asking ask_to_close once (when given) if it
// cannot take the path's place.
// Returns 1 when the movie is at the path or the user cancelled (silently); 0 when it could
// not be made or placed: one line on standard error names the encoder, the file and the
// cause, and errno holds the system's reason (0 when the encoder failed on its own).
int export_movie(MovieStreamEncoder& encoder, const std::string& path, const Figure& figure,
                 const ToneTable& tones, int movie_size, float fps, ProgressSink& progress,
                 const AskToCloseElsewhere& ask_to_close);

// Writes the figure's frames as an MPEG-1 movie of side movie_size at the path. fps is the
// animation's frames per second (speed ÷ sampling step). Returns 1 when the movie is at the
// path or the user cancelled (silently), 0 when it could not be made or placed there: errno
// then holds the system's reason, or 0 when the encoder failed (its cause is on standard
// error). A path that cannot take a file fails at once, before any work. When the finished
// movie cannot take its place, ask_to_close is asked once and the move tried again. Either
// way the file that was at the path stays unless the new movie replaced it, and nothing of
// the export is left behind.
int write_movie(const std::string& path, const Figure& figure, const ToneTable& tones,
                int movie_size, float fps, ProgressSink& progress,
                const AskToCloseElsewhere& ask_to_close);
