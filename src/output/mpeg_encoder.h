// The MPEG-1 encoder: netpbm's ppmtompeg run as a child process on a Berkeley parameter
// file, in the current directory.
#pragma once

#include <string>

#include "output/progress_sink.h"

// Encodes the movie that the parameter file describes. After each reference picture i of
// the n listed frames, together with the B pictures before it, reports (i + 1) / n; the
// last frame is always a reference picture, so the final report is exactly 1.0.
// Returns 0 when the movie file is complete, -1 on a cancel (the child is ended and
// waited for) or on any failure (one line on standard error names the cause).
int encode_movie(const std::string& parameter_file, ProgressSink& progress);
