// From the record to a finished figure: the values fixed when Draw is pressed, every frame
// computed under the progress dialog, encoded relative to the brightest frame of the Draw,
// and the ring of the rotation image.
#pragma once

#include <optional>

#include "app/parameter_record.h"
#include "optics/figure_buffer.h"
#include "output/progress_sink.h"

// The encoding gamma of the stored levels.
inline constexpr float kEncodingGamma = 2.4f;

// Frame count, figure side, canvas side, circle radius and mean index of the record.
DrawSetup prepare_draw(const ParameterRecord& record);

// Computes every frame of the Draw, reporting to progress after each one. Empty when the
// user cancelled; nothing of the computation is kept then.
std::optional<Figure> compute_figure(const DrawSetup& setup, ProgressSink& progress);

// Replaces the frames of the figure by one canvas of side M on which frame k sits at the
// angle of its own stage azimuth, frame 0 at the right, the others counter-clockwise.
void compose_rotation_image(Figure& figure);
