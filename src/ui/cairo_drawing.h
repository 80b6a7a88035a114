// Drawing on a Cairo context with the pixel semantics of the program's figures: shapes are
// aliased, an outline is one pixel wide through the pixel centres, and a point is one whole
// pixel, so that the preview and the figure window show crisp marks on the pixel grid.
#pragma once

#include <cairomm/context.h>
#include <cairomm/surface.h>

#include <cstdint>
#include <span>

// Makes (r, g, b), fractions 0 … 1, the context's colour; each channel is carried at 16
// bits (the fraction × 65535, truncated), as the display's colour cells hold it.
void set_colour(const Cairo::RefPtr<Cairo::Context>& cr, double red, double green, double blue);

// The circle inscribed in the square with corner (x − r, y − r) and side 2r: an outline
// through the centres of the pixels on its edge, or the filled disc.
void draw_circle(const Cairo::RefPtr<Cairo::Context>& cr, int x, int y, int r, bool filled);

// The rectangle between two corners in any order; the outline runs through the centres of
// the corner pixels, the filled rectangle covers |x2 − x1| × |y2 − y1| pixels.
void draw_rectangle(const Cairo::RefPtr<Cairo::Context>& cr, int x1, int y1, int x2, int y2,
                    bool filled);

// Every pixel strictly closer than r to (cx, cy), each drawn as one point.
void draw_disc(const Cairo::RefPtr<Cairo::Context>& cr, float cx, float cy, float r);

// Copies an RGB buffer (3 bytes a pixel, rows from the top, no padding) of the surface's
// size into an RGB24 image surface.
void copy_rgb(std::span<const std::uint8_t> rgb, const Cairo::RefPtr<Cairo::ImageSurface>& surface);
