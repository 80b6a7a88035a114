// Frames as they are shown and written: converted through the window's tone table, enlarged
// for a movie, and overlaid with the field-of-view circle and optic-axis marks in the full
// range. The window shows what render_still makes, so a saved still is what the window shows.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "optics/figure_buffer.h"
#include "render/tone_table.h"

// Destination byte i = tones[source byte i]; both spans have the same length.
void convert_for_display(std::span<const std::uint8_t> source, const ToneTable& tones,
                         std::span<std::uint8_t> destination);

// The tones a figure is first shown in: light L0 and gamma G, so that level 254 of the
// brightest frame shows as 255.
ToneTable opening_tones(const Figure& figure);
// The same for levels stored with that gamma against the brightest value 1 / reference_light.
ToneTable opening_tones(float encoding_gamma, float reference_light);

// Frame k of the figure, display-converted, S × S.
std::vector<std::uint8_t> display_frame(const Figure& figure, int frame, const ToneTable& tones);

// Frame k as the window shows it and a still holds it: the display conversion at side S,
// with the overlay when the figure was drawn in the full range.
std::vector<std::uint8_t> render_still(const Figure& figure, int frame, const ToneTable& tones);

// Movie frame k at side T: display conversion, enlargement, overlay in the full range.
std::vector<std::uint8_t> render_movie_frame(const Figure& figure, int frame,
                                             const ToneTable& tones, int movie_side);
