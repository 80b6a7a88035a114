// Movies for browsers, slides and web pages, encoded through FFmpeg's libraries in a module
// of their own that only a run writing such a movie loads: H.264 in MP4, VP9 in WebM, and an
// animated GIF that loops forever. They go through the one movie pipeline
// (output/movie_pipeline.h), so they show the same frames as the MPEG-1 movie and replace the
// file at the path the same way.
#pragma once

#include <optional>
#include <string>

#include "model/progress_sink.h"
#include "optics/figure_buffer.h"
#include "output/file_extension.h"
#include "output/output_error.h"
#include "render/tone_table.h"

// Loads the encoders' module from the file, once per run. Nothing when they are there (also
// when an earlier call loaded them); otherwise why not, in one line that names the file.
std::optional<OutputError> load_movie_encoders(const std::string& module_file);

// Empty when the loaded encoders can make movies of the format (kMp4, kWebm or kGif);
// otherwise what is missing, in one line.
std::optional<OutputError> encoded_movie_unavailable(OutputFormat format);

// Writes the figure's frames, through the loaded encoders, as a movie of the format (kMp4,
// kWebm or kGif) and side
// movie_size at the path. fps is the animation's frames per second (speed ÷ sampling step).
// Progress: for a GIF first the colours of every frame are gathered under "enlarging", then
// each movie frame is encoded under "creating the movie"; MP4 and WebM have only the second
// phase. Returns 1 when the movie is at the path or the user cancelled (silently, leaving
// nothing behind), 0 when it could not be made: errno then holds the system's reason, or 0
// when the libraries failed otherwise (the cause is on standard error). Either way the file
// that was at the path stays unless the new movie replaced it.
int write_encoded_movie(const std::string& path, OutputFormat format, const Figure& figure,
                        const ToneTable& tones, int movie_size, float fps, ProgressSink& progress);
