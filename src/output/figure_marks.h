// Reference marks drawn over a figure for a slide: the polarizer (P, east–west) and the
// analyser (A, north–south) at the rim, the accessory's slow direction (NE–SW) as an arrow,
// the stage azimuth of each sub-image of the rotation image, and a one-line caption of the
// settings. The window, its Save and lumitra-render all draw them here, on the bytes
// render_still makes, so that the saved still is the shown one. With both switches off the
// bytes are left exactly as they were.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "optics/figure_buffer.h"
#include "render/tone_table.h"

struct FigureMarks {
    bool marks = false;    // P, A, the accessory and the rotation image's azimuths
    bool caption = false;  // the settings in one line along the bottom
    bool any() const { return marks || caption; }
};

// The caption of frame k (UTF-8): the indices, thickness, the orientation of the optic axis
// (uniaxial) or of Z (biaxial), the accessory and the stage azimuth.
std::string figure_caption(const DrawSetup& setup, int frame);

// Draws the chosen marks of frame k over an RGB picture of side × side pixels showing the
// figure of setup (one figure, or the composed rotation image).
void draw_figure_marks(std::span<std::uint8_t> rgb, int side, const DrawSetup& setup, int frame,
                       const FigureMarks& marks);

// render_still with the chosen marks.
std::vector<std::uint8_t> marked_still(const Figure& figure, int frame, const ToneTable& tones,
                                       const FigureMarks& marks);
