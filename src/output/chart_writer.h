// The interference-colour chart painted with Cairo: on the window's context, or into a PNG,
// SVG or PDF file (the lines and texts of SVG and PDF stay vectors, the colour field is an
// image), written the one safe way. Beside a PNG goes its description, FILE.json.
#pragma once

#include <optional>
#include <string>

#include "output/output_error.h"
#include "render/colour_chart.h"

typedef struct _cairo cairo_t;

enum class ChartFormat { kPng, kSvg, kPdf };

// The format the file name's extension names, letter case ignored; nothing for another.
std::optional<ChartFormat> chart_format(const std::string& path);
// ".png, .svg or .pdf", for messages and --help.
const char* chart_extensions();

// Paints the chart on a context whose units are the chart's pixels.
void paint_chart(cairo_t* cr, const Chart& chart);

// Writes the chart to path in the format of its extension, and beside a PNG path.json.
// Nothing on success; on failure what failed, and the file that was at the path stays.
std::optional<OutputError> write_chart(const std::string& path, const Chart& chart);
