// A computed figure written to the file a name asks for, the same way from the figure window's
// Save and from lumitra-render: one frame as a still, or the whole series as a movie, in the
// format the name's extension chooses from the one table (output/file_extension.h).
#pragma once

#include <optional>
#include <string>

#include "model/progress_sink.h"
#include "optics/figure_buffer.h"
#include "output/figure_marks.h"
#include "output/file_extension.h"
#include "output/movie_pipeline.h"
#include "output/output_error.h"
#include "render/tone_table.h"

// Why a movie of the format cannot be made on this machine, or nothing: FFmpeg's encoders
// are loaded from module_file the first time they are needed, and ppmtompeg must be on the
// PATH. A still format always has its writer.
std::optional<OutputError> movie_writer_problem(OutputFormat format,
                                                const std::string& module_file);

// What to write: a still of the frame, or for a movie format the movie of side movie_side
// at fps frames of the figure a second.
struct FigureFile {
    std::string path;
    OutputFormat format = OutputFormat::kUnsupported;
    int frame = 0;
    int movie_side = 0;
    float fps = 0.0f;
    FigureMarks marks{};  // drawn over a still
};

// Writes the file; the writers' contract: 1 when it is in place (or a movie was cancelled),
// 0 with errno set otherwise. ask_to_close may be empty.
int write_figure_file(const FigureFile& file, const Figure& figure, const ToneTable& tones,
                      ProgressSink& progress, const AskToCloseElsewhere& ask_to_close);
