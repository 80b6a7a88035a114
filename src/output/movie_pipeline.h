// The movie of an animation: every frame rendered as the window shows it, enlarged and
// written as a PPM file into a private folder beside the target, a parameter file there
// that lists the frames so that the movie runs at 24 frames per second, the encoder run,
// and the movie put at the chosen path the one safe way (output/replacement_file.h). Any
// number of exports may run at once, even to one path: each has its own folder, and the
// last to finish is the file at the path.
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

// How an export ends: 1 when it is done or was cancelled; otherwise 0, with the failure on
// standard error as "writer: path: what" and its errno set. Called once the export's
// temporaries are gone, so that nothing clears errno after it is set.
int end_export(const char* writer, const std::string& path,
               const std::optional<OutputError>& failure);

// The name of temporary frame k in the movie's folder.
std::string temp_frame_name(int index);

// Writes the encoder's parameter file into the folder (an absolute path) for the frames
// there, with output as the encoder's OUTPUT. Returns the file's path, or an empty string
// with errno set when it cannot be written completely.
std::string write_encoder_parameters(const std::string& folder, const std::string& output,
                                     int frame_count, float fps);

// Why the encoder could not make a movie at the target although the target itself can take a
// file, or an empty string: it reads its frames by their absolute folder name, one line of its
// parameter file, so a folder whose name breaks the line or is too long for the system
// cannot be used. Known before anything is computed.
std::string movie_folder_problem(const SaveTarget& target);

// Shows "is the file open in another application?" for the path and returns once the user
// has pressed OK.
using AskToCloseElsewhere = std::function<void(const std::string& path)>;

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
