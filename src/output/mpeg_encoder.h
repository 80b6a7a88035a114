// The MPEG-1 encoder: netpbm's ppmtompeg run as a child process on a Berkeley parameter
// file. The encoder does not check its own writes, so it hands the movie to us through a
// pipe and we write the file.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "model/progress_sink.h"

class ReplacementFile;

// The name the parameter file gives as the encoder's OUTPUT: the pipe that encode_movie reads.
inline constexpr char kEncoderOutput[] = "/dev/fd/3";

// An encoder that has printed nothing for this long is taken to hang and is stopped.
inline constexpr std::chrono::milliseconds kEncoderSilenceLimit{60000};

// The encoder's full path on PATH, or nothing when it is not installed.
std::optional<std::string> find_encoder();

// Encodes the movie that the parameter file describes into the movie file (not committed).
// After each reference picture i of the n listed frames, together with the B pictures
// before it, reports (i + 1) / n; the last frame is always a reference picture, so the
// final report is exactly 1.0. While it waits for the encoder it asks progress.keep_going()
// about every 100 ms.
// Returns 0 when the movie is complete; -1 on a cancel, on a failed write of the movie (in
// movie.error()) or on any failure of the encoder (one line on standard error names the
// cause). The encoder ends with it in every case: the wait ends when the encoder process
// does, even if a process it started still holds its output; whatever else of its process
// group is left is killed, and an encoder silent for silence_limit is stopped.
int encode_movie(const std::string& parameter_file, ReplacementFile& movie, ProgressSink& progress,
                 std::chrono::milliseconds silence_limit = kEncoderSilenceLimit);
