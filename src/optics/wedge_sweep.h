// The quartz wedge pushed in or drawn out over the single image at the record's stage azimuth:
// one frame for every few nanometres of the wedge, all encoded against the brightest, so
// that a movie of them shows the rings move without the light changing from frame to frame.
#pragma once

#include <optional>
#include <vector>

#include "model/progress_sink.h"
#include "optics/figure_buffer.h"
#include "optics/worker_pool.h"

// The wedge's retardation in each frame (nm): from, then kWedgeSweepStep further towards to
// each frame, as long as to is not passed.
std::vector<double> wedge_sweep_settings(double from, double to);

// The frames of the sweep for the single-image setup, the wedge in place in each; progress
// hears of each frame as it is finished. Empty when cancelled.
std::optional<Figure> compute_wedge_sweep(const DrawSetup& setup, double from, double to,
                                          ProgressSink& progress, int workers = processor_count());
