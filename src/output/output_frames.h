// Frames as they are written to files: converted through the window's tone table, enlarged
// for a movie, and overlaid with the field-of-view circle and optic-axis marks in the full
// range, so that saved pictures look like the window.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "figure/tone_table.h"
#include "optics/figure_buffer.h"

// Destination byte i = tones[source byte i]; both spans have the same length.
void convert_for_display(std::span<const std::uint8_t> source, const ToneTable& tones,
                         std::span<std::uint8_t> destination);

// Frame k of the figure, display-converted, S × S.
std::vector<std::uint8_t> display_frame(const Figure& figure, int frame, const ToneTable& tones);

// Piecewise bilinear resampling of a display-converted S × S frame onto a T × T frame,
// ignoring empty pixels (green byte 255). Pixels outside the output disc of radius T/2,
// and pixels of cells without a usable corner, are white; every other channel lies in
// 0 … 254. Every destination byte is written.
void enlarge_frame(std::span<const std::uint8_t> source, int source_side,
                   std::span<std::uint8_t> destination, int destination_side);

// Green field-of-view circle and yellow optic-axis discs for frame k into an RGB buffer of
// side L: one figure filling the buffer, or in the rotation image every sub-figure on its
// ring. Callers draw it only in the full range.
void draw_output_overlay(std::span<std::uint8_t> buffer, int side, int frame, const Figure& figure);

// The still that Save writes for frame k: the display conversion at side S, with the
// overlay when the figure was drawn in the full range.
std::vector<std::uint8_t> render_still(const Figure& figure, int frame, const ToneTable& tones);

// Movie frame k at side T: display conversion, enlargement, overlay in the full range.
std::vector<std::uint8_t> render_movie_frame(const Figure& figure, int frame,
                                             const ToneTable& tones, int movie_side);
