// The interference-colour chart: retardation across and thickness up (the Michel-Lévy form)
// or birefringence across, each colour the one the figure shows for that retardation at 45°
// to the polarizers. Everything is laid out here in pixels, without a drawing library: the
// colour field as bytes, the lines, marks and texts with their places, and the description
// that other programs read the chart by. The output layer only paints it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/mineral_list.h"
#include "render/tone_table.h"

enum class ChartKind { kRetardation, kBirefringence };

inline constexpr int kChartWidth = 1600;  // px, the renderer's chart
inline constexpr int kChartHeight = 900;
inline constexpr double kChartDefaultRetardation = 2000.0;  // nm across
inline constexpr double kChartLowestRetardation = 500.0;
inline constexpr double kChartHighestRetardation = 4000.0;
inline constexpr double kChartThickness = 50.0;   // µm up
inline constexpr double kStandardSection = 30.0;  // µm, the usual thin section

// The current crystal: its birefringence and the section's thickness (µm).
struct ChartCrystal {
    double birefringence = 0;
    double thickness = 0;
};

struct ChartSettings {
    ChartKind kind = ChartKind::kRetardation;
    int width = kChartWidth;
    int height = kChartHeight;
    double max_retardation = kChartDefaultRetardation;  // nm at the right edge, at 30 µm
                                                        // in the birefringence kind
    double plate = 0;  // the accessory's retardation (nm), 0 without one
    std::optional<ChartCrystal> crystal;
};

struct ChartPoint {
    double x = 0;
    double y = 0;
};

// What a line is, which decides how it is stroked.
enum class ChartStroke {
    kFrame,          // the plot's border and ticks
    kBirefringence,  // a mineral's line
    kOrderBoundary,  // the end of an order, found from the colours
    kThickness,      // the standard section
    kCrystal,        // the current crystal, in a colour of its own
};

struct ChartPath {
    ChartStroke stroke;
    std::vector<ChartPoint> points;  // a polyline, at least two points
};

// A text's anchor: which of its edges or its middle lies at the point, along its own
// direction (h) and across it (v); angle in degrees, counter-clockwise.
enum class ChartAlign { kStart, kMiddle, kEnd };
struct ChartText {
    std::string text;
    ChartPoint at;
    ChartAlign h = ChartAlign::kStart;
    ChartAlign v = ChartAlign::kMiddle;
    double angle = 0;
    double size = 12;    // px
    bool boxed = false;  // on a pale box, over the colour field
    ChartStroke colour = ChartStroke::kFrame;
};

struct ChartBirefringenceLine {
    double birefringence;
    std::string label;
    std::vector<std::string> minerals;
    ChartPoint p0, p1;
};

struct ChartThicknessLine {
    double thickness;  // µm
    double y;          // px
};

struct Chart {
    ChartSettings settings;
    // The plot area: x0 ≤ x < x1, y0 ≤ y < y1 in pixels of the chart, y downwards.
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    double x_max = 0;  // retardation (nm) or birefringence at x1; 0 at x0
    // The colour field, (x1 − x0) × field_rows RGB bytes as the figure shows them; one row
    // stretched over the plot when the colour depends only on x.
    int field_rows = 0;
    std::vector<std::uint8_t> field;
    float brightest = 0;                   // the linear channel that became level 254
    std::uint8_t white[3] = {0, 0, 0};     // fully transmitted light, encoded as the field
    std::vector<double> order_boundaries;  // nm
    std::vector<ChartBirefringenceLine> birefringence_lines;
    std::vector<ChartThicknessLine> thickness_lines;
    std::vector<ChartPath> paths;  // in painting order
    std::vector<ChartText> texts;
    std::optional<ChartPoint> crystal_point;  // inside the plot only
    double mark_radius = 5;                   // px, of the crystal's point

    // The chart's mapping: thickness (µm) to y, and the x quantity to x.
    double y_of(double thickness) const;
    double x_of(double value) const;
};

// The minerals whose lines a chart shows: sorted by birefringence, those of one value
// (to 0.001) sharing a line, as many as can be labelled along the top and right edges
// without two labels closer than a line of text.
Chart build_chart(const ChartSettings& settings, const std::vector<Mineral>& minerals);

// Where the crystal's line and point are, from the chart's mapping (the part of a chart that
// follows every edit of the record). Replaces what build_chart placed for the crystal.
void place_crystal(Chart& chart, const std::optional<ChartCrystal>& crystal);

// The description beside a chart image: its mapping, encoding and lines, as JSON.
std::string chart_description(const Chart& chart, const std::string& image_name);
