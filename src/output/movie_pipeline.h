// The movie of an animation: every frame rendered as the window shows it, enlarged and
// written as a temporary PPM file in the current directory, a parameter file that lists the
// frames so that the movie runs at 24 frames per second, the encoder run, and the result
// moved to the chosen path.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "figure/tone_table.h"
#include "optics/figure_buffer.h"
#include "output/progress_sink.h"

inline constexpr char kTempFramePrefix[] = "_lumitra_pnm_tmp";
inline constexpr char kTempMovie[] = "_lumitra_tmp.mpg";
inline constexpr char kParameterFile[] = "_lumitra_mpeg.paramet";
inline constexpr int kMovieFrameRate = 24;

// The input frame shown by each movie frame: movie frame m shows the first input frame i
// with i ÷ fps ≥ m ÷ 24, both quotients in single precision. Input frames repeat when fps
// is below 24 and are skipped above it. Empty when fps is not a positive finite number.
std::vector<int> movie_frame_list(int frame_count, float fps);

// The temporary frame name "<prefix><index>.pnm".
std::string temp_frame_name(const std::string& prefix, int index);

// Writes the encoder's parameter file for the frames of movie_frame_list. Returns its name,
// or an empty string when it cannot be written completely (nothing is left behind then).
std::string write_encoder_parameters(const std::string& output, const std::string& prefix,
                                     int frame_count, float fps);

enum class EncoderOutcome { kEncoded, kCancelled, kFailed };

// Writes the parameter file, runs the encoder under the progress sink, removes the
// parameter file. A cancel by the user is told apart from a failure.
EncoderOutcome run_encoder(const std::string& output, const std::string& prefix, int frame_count,
                           float fps, ProgressSink& progress);

// Removes "<prefix><index>.pnm" for index 0 … count − 1, ignoring errors.
void remove_temp_frames(const std::string& prefix, int count);

// Shows "is the file open in another application?" for the path and returns once the user
// has pressed OK.
using AskToCloseElsewhere = std::function<void(const std::string& path)>;

// Writes the figure's frames as an MPEG-1 movie of side movie_size at the path. fps is the
// animation's frames per second (speed ÷ sampling step). Returns 1 when the movie is at the
// path or the user cancelled (silently), 0 when it could not be made or placed there; no
// "_lumitra_" file is left behind either way.
int write_movie(const std::string& path, const Figure& figure, const ToneTable& tones,
                int movie_size, float fps, ProgressSink& progress,
                const AskToCloseElsewhere& ask_to_close);
