#include "render/colour_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "optics/figure_buffer.h"
#include "optics/figure_computation.h"
#include "optics/interference_colour.h"
#include "render/frame_rendering.h"

namespace {

// The figure's pixel at 45° to the polarizers: A = sin 2χ = 1.
constexpr double kDiagonalFactor = 1.0;

// Luminance of linear BT.709 RGB (the Y row of its RGB to XYZ matrix, D65 white).
constexpr double kLuminance[3] = {0.2126, 0.7152, 0.0722};

// An order ends where the colours are darkest: a luminance minimum that is the lowest within
// this distance on either side, and lies clearly below the brightest there (relative to the
// chart's brightest luminance), so that a flat stretch of high-order white is no boundary.
constexpr double kBoundaryWindow = 150.0;  // nm
constexpr double kBoundaryDepth = 0.002;

std::string format(const char* pattern, double value) {
    char text[48];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string roman(int n) {
    static const char* const numerals[] = {"I",   "II",   "III", "IV", "V",  "VI",
                                           "VII", "VIII", "IX",  "X",  "XI", "XII"};
    return n >= 1 && n <= 12 ? numerals[n - 1] : std::to_string(n);
}

// The colour the figure computes for retardation r at 45° with the chart's accessory.
void diagonal_colour(const ChartSettings& settings, double r, float* out) {
    colour_with_accessory(r, kDiagonalFactor, settings.plate, out);
}

double luminance(const float* c) {
    return kLuminance[0] * c[0] + kLuminance[1] * c[1] + kLuminance[2] * c[2];
}

std::vector<double> find_order_boundaries(const ChartSettings& settings, double span) {
    const int count = static_cast<int>(span) + 1;
    std::vector<double> y(static_cast<std::size_t>(count));
    for (int r = 0; r < count; ++r) {
        float c[3];
        diagonal_colour(settings, r, c);
        y[std::size_t(r)] = luminance(c);
    }
    const double depth = kBoundaryDepth * *std::max_element(y.begin(), y.end());
    const int window = static_cast<int>(kBoundaryWindow);
    std::vector<double> boundaries;
    for (int r = 1; r + 1 < count; ++r) {
        const auto first = y.begin() + std::max(0, r - window);
        const auto last = y.begin() + std::min(count, r + window + 1);
        if (*std::min_element(first, last) < y[std::size_t(r)] || y[std::size_t(r)] > y[r + 1u])
            continue;
        const double left = *std::max_element(first, y.begin() + r);
        const double right = *std::max_element(y.begin() + r, last);
        if (left - y[std::size_t(r)] > depth && right - y[std::size_t(r)] > depth)
            boundaries.push_back(r);
    }
    return boundaries;
}

// Linear colours to bytes as a figure's are: against the brightest channel, level 254 at
// gamma G, then the figure window's opening tones.
void encode_field(Chart& chart, const std::vector<float>& linear) {
    const float brightest = *std::max_element(linear.begin(), linear.end());
    chart.brightest = brightest;
    const LevelEncoder encode(kEncodingGamma);
    const ToneTable tones =
        opening_tones(kEncodingGamma, brightest > 0.0f ? 1.0f / brightest : 1.0f);
    const auto byte = [&](float v) {
        return tones[brightest > 0.0f ? encode(std::min(double(v) / brightest, 1.0)) : 0];
    };
    chart.field.resize(linear.size());
    std::transform(linear.begin(), linear.end(), chart.field.begin(), byte);
    const SpectralWeights& w = spectral_weights();
    for (int q = 0; q < 3; ++q)
        chart.white[q] = byte(w.sums[q] / w.normaliser);
}

void colour_field(Chart& chart) {
    const ChartSettings& s = chart.settings;
    const int columns = chart.x1 - chart.x0;
    const bool by_retardation = s.kind == ChartKind::kRetardation;
    chart.field_rows = by_retardation ? 1 : chart.y1 - chart.y0;
    std::vector<float> linear(std::size_t(3) * columns * chart.field_rows);
    for (int row = 0; row < chart.field_rows; ++row) {
        const double thickness =
            kChartThickness * (chart.field_rows - row - 0.5) / chart.field_rows;
        for (int column = 0; column < columns; ++column) {
            const double x = chart.x_max * (column + 0.5) / columns;
            const double r = by_retardation ? x : x * thickness * 1000.0;
            diagonal_colour(s, r, &linear[3 * (std::size_t(row) * columns + column)]);
        }
    }
    encode_field(chart, linear);
}

// Where a line of birefringence dn from the origin leaves the plot.
ChartPoint line_end(const Chart& chart, double dn) {
    if (chart.settings.kind == ChartKind::kBirefringence)
        return {chart.x_of(dn), chart.y_of(kChartThickness)};
    const double top = dn * 1000.0 * kChartThickness;
    if (top <= chart.x_max)
        return {chart.x_of(top), chart.y_of(kChartThickness)};
    return {chart.x_of(chart.x_max), chart.y_of(chart.x_max / (1000.0 * dn))};
}

ChartPoint line_start(const Chart& chart, double dn) {
    return chart.settings.kind == ChartKind::kBirefringence
               ? ChartPoint{chart.x_of(dn), chart.y_of(0)}
               : ChartPoint{chart.x_of(0), chart.y_of(0)};
}

// Distance along the top edge, then down the right edge: labels closer than a line of text
// along it would overlap.
double edge_position(const Chart& chart, ChartPoint end) {
    return end.y <= chart.y0 + 0.5 ? end.x : chart.x1 + (end.y - chart.y0);
}

// The label of a line: its birefringence and as many names as fit, the rest counted.
std::string line_label(double dn, const std::vector<std::string>& names) {
    constexpr std::size_t kLongest = 24;
    std::string label = format("%.3f", dn);
    std::size_t shown = 0;
    for (const std::string& name : names) {
        if (shown > 0 && label.size() + name.size() + 2 > kLongest)
            break;
        label += (shown == 0 ? " " : ", ") + name;
        ++shown;
    }
    if (shown < names.size())
        label += " +" + std::to_string(names.size() - shown);
    return label;
}

void place_birefringence_lines(Chart& chart, const std::vector<Mineral>& minerals, double size) {
    std::map<long, std::vector<std::string>> groups;  // by birefringence in thousandths
    for (const Mineral& m : minerals) {
        const long key = std::lround(birefringence(m) * 1000.0);
        if (key > 0)
            groups[key].push_back(m.name);
    }
    const double label_size = 0.85 * size;
    const double gap = 1.35 * label_size;  // a line of text and a little air
    double last = -1e9;
    for (const auto& [key, names] : groups) {
        const double dn = key / 1000.0;
        if (chart.settings.kind == ChartKind::kBirefringence && dn > chart.x_max)
            break;
        const ChartPoint p1 = line_end(chart, dn);
        const double at = edge_position(chart, p1);
        if (at - last < gap)
            continue;
        last = at;
        ChartBirefringenceLine line{dn, line_label(dn, names), names, line_start(chart, dn), p1};
        chart.paths.push_back({ChartStroke::kBirefringence, {line.p0, line.p1}});
        const bool top = p1.y <= chart.y0 + 0.5;
        chart.texts.push_back({line.label,
                               {p1.x + (top ? 0 : 0.4 * size), p1.y - (top ? 0.4 * size : 0)},
                               ChartAlign::kStart,
                               ChartAlign::kMiddle,
                               top ? 90.0 : 0.0,
                               label_size});
        chart.birefringence_lines.push_back(std::move(line));
    }
}

// A tick step that gives at most about ten labels across.
double tick_step(double span, std::initializer_list<double> steps) {
    for (double step : steps)
        if (span / step <= 10.0)
            return step;
    return *(steps.end() - 1);
}

void place_frame(Chart& chart, double size) {
    const bool by_retardation = chart.settings.kind == ChartKind::kRetardation;
    const double x0 = chart.x0, x1 = chart.x1, y0 = chart.y0, y1 = chart.y1;
    chart.paths.push_back(
        {ChartStroke::kFrame, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}}});
    const double tick = 0.5 * size;
    const double step = by_retardation ? tick_step(chart.x_max, {100, 200, 250, 500, 1000})
                                       : tick_step(chart.x_max, {0.005, 0.01, 0.02, 0.05});
    for (int k = 0; k * step <= chart.x_max + 1e-9; ++k) {
        const double x = chart.x_of(k * step);
        chart.paths.push_back({ChartStroke::kFrame, {{x, y1}, {x, y1 + tick}}});
        chart.texts.push_back({format(by_retardation ? "%.0f" : "%.3f", k * step),
                               {x, y1 + 1.4 * tick},
                               ChartAlign::kMiddle,
                               ChartAlign::kStart,
                               0,
                               size});
    }
    for (int t = 0; t <= kChartThickness; t += 5) {
        const double y = chart.y_of(t);
        const double length = t % 10 == 0 ? tick : tick / 2;
        chart.paths.push_back({ChartStroke::kFrame, {{x0 - length, y}, {x0, y}}});
        if (t % 10 == 0)
            chart.texts.push_back({std::to_string(t),
                                   {x0 - 1.4 * tick, y},
                                   ChartAlign::kEnd,
                                   ChartAlign::kMiddle,
                                   0,
                                   size});
    }
    chart.texts.push_back({by_retardation ? "Retardation (nm)" : "Birefringence (γ − α, |ε − ω|)",
                           {(x0 + x1) / 2, y1 + 2.9 * size},
                           ChartAlign::kMiddle,
                           ChartAlign::kStart,
                           0,
                           size * 1.1});
    chart.texts.push_back({"Thickness (µm)",
                           {x0 - 3.4 * size, (y0 + y1) / 2},
                           ChartAlign::kMiddle,
                           ChartAlign::kEnd,
                           90,
                           size * 1.1});
    const std::string accessory =
        chart.settings.plate > 0.0
            ? format(", with a %.0f nm accessory added", chart.settings.plate)
            : std::string();
    const double caption = size * 0.85;
    chart.texts.push_back({"The figure's colours for a section at 45° between crossed polarizers" +
                               accessory +
                               ". Light source: the program's daylight spectrum (380–780 nm in "
                               "5 nm steps); observer: CIE 1931 2°;",
                           {x0, y1 + 4.6 * size},
                           ChartAlign::kStart,
                           ChartAlign::kStart,
                           0,
                           caption});
    chart.texts.push_back(
        {"colour space: linear ITU-R BT.709 RGB, D65 white, the brightest channel "
         "of the chart at level 254 of 255; transfer: a power law of gamma 2.4 "
         "(the figure window's opening tones), not the sRGB curve.",
         {x0, y1 + 4.6 * size + 1.3 * caption},
         ChartAlign::kStart,
         ChartAlign::kStart,
         0,
         caption});
}

void place_orders(Chart& chart, double size) {
    const bool by_retardation = chart.settings.kind == ChartKind::kRetardation;
    const std::vector<double>& b = chart.order_boundaries;
    for (double r : b) {
        if (by_retardation) {
            chart.paths.push_back(
                {ChartStroke::kOrderBoundary,
                 {{chart.x_of(r), chart.y_of(0)}, {chart.x_of(r), chart.y_of(kChartThickness)}}});
            continue;
        }
        // t = r / (1000 Δn), from the right edge (or the bottom) to the top.
        ChartPath curve{ChartStroke::kOrderBoundary, {}};
        const double low = r / (1000.0 * kChartThickness);
        for (int k = 0; k <= 64; ++k) {
            const double dn = low + (chart.x_max - low) * k / 64.0;
            curve.points.push_back(
                {chart.x_of(dn), chart.y_of(std::min(kChartThickness, r / (1000.0 * dn)))});
        }
        chart.paths.push_back(std::move(curve));
        chart.texts.push_back(
            {format("%.0f nm", r),
             {chart.x_of(low) + 0.3 * size, chart.y_of(kChartThickness) + 0.3 * size},
             ChartAlign::kStart,
             ChartAlign::kStart,
             0,
             size * 0.85,
             true});
    }
    // Each order's numeral in the middle of its band, along the bottom (the top in the
    // birefringence kind, where the bands run up to the right).
    const double span = by_retardation ? chart.x_max : chart.x_max * 1000.0 * kChartThickness;
    for (std::size_t k = 0; k <= b.size(); ++k) {
        const double from = k == 0 ? 0.0 : b[k - 1];
        const double to = k == b.size() ? span : b[k];
        if (to - from < 0.4 * (b.empty() ? span : b[0]))
            continue;
        const double middle = (from + to) / 2;
        const ChartPoint at = by_retardation
                                  ? ChartPoint{chart.x_of(middle), chart.y_of(0) - 0.5 * size}
                                  : ChartPoint{chart.x_of(middle / (1000.0 * kChartThickness)),
                                               chart.y_of(kChartThickness) + 2.2 * size};
        chart.texts.push_back(
            {roman(int(k) + 1), at, ChartAlign::kMiddle, ChartAlign::kEnd, 0, size * 1.1, true});
    }
}

void place_thickness_line(Chart& chart, double size) {
    const double y = chart.y_of(kStandardSection);
    chart.thickness_lines.push_back({kStandardSection, y});
    chart.paths.push_back(
        {ChartStroke::kThickness, {{double(chart.x0), y}, {double(chart.x1), y}}});
    chart.texts.push_back({format("%.0f µm", kStandardSection),
                           {chart.x0 + 0.4 * size, y - 0.3 * size},
                           ChartAlign::kStart,
                           ChartAlign::kEnd,
                           0,
                           size * 0.9,
                           true});
}

}  // namespace

double Chart::y_of(double thickness) const {
    return y1 - (y1 - y0) * thickness / kChartThickness;
}

double Chart::x_of(double value) const {
    return x0 + (x1 - x0) * value / x_max;
}

Chart build_chart(const ChartSettings& settings, const std::vector<Mineral>& minerals) {
    Chart chart;
    chart.settings = settings;
    const double size = std::clamp(settings.height / 70.0, 9.0, 16.0);
    chart.x0 = static_cast<int>(5.5 * size);
    chart.x1 = settings.width - static_cast<int>(14.0 * size);
    chart.y0 = static_cast<int>(14.0 * size);
    chart.y1 = settings.height - static_cast<int>(7.0 * size);
    chart.x1 = std::max(chart.x1, chart.x0 + 1);
    chart.y1 = std::max(chart.y1, chart.y0 + 1);
    chart.mark_radius = 0.45 * size;
    const bool by_retardation = settings.kind == ChartKind::kRetardation;
    // The birefringence kind spans the retardation across at the standard section.
    chart.x_max = by_retardation ? settings.max_retardation
                                 : settings.max_retardation / (1000.0 * kStandardSection);
    colour_field(chart);
    chart.order_boundaries = find_order_boundaries(
        settings, by_retardation ? chart.x_max : chart.x_max * 1000.0 * kChartThickness);
    place_orders(chart, size);
    place_thickness_line(chart, size);
    place_birefringence_lines(chart, minerals, size);
    place_frame(chart, size);
    place_crystal(chart, settings.crystal);
    return chart;
}

void place_crystal(Chart& chart, const std::optional<ChartCrystal>& crystal) {
    std::erase_if(chart.paths,
                  [](const ChartPath& p) { return p.stroke == ChartStroke::kCrystal; });
    std::erase_if(chart.texts,
                  [](const ChartText& t) { return t.colour == ChartStroke::kCrystal; });
    chart.settings.crystal = crystal;
    chart.crystal_point.reset();
    if (!crystal || crystal->birefringence <= 0.0)
        return;
    const double dn = crystal->birefringence;
    const bool by_retardation = chart.settings.kind == ChartKind::kRetardation;
    if (by_retardation || dn <= chart.x_max)
        chart.paths.push_back(
            {ChartStroke::kCrystal, {line_start(chart, dn), line_end(chart, dn)}});
    const double x = by_retardation ? dn * 1000.0 * crystal->thickness : dn;
    if (x > chart.x_max || crystal->thickness > kChartThickness)
        return;
    const ChartPoint point{chart.x_of(x), chart.y_of(crystal->thickness)};
    chart.crystal_point = point;
    const double size = 2.2 * chart.mark_radius;
    const bool right_half = point.x > (chart.x0 + chart.x1) / 2.0;
    chart.texts.push_back({format("Δn %.4f", dn) + format(", %g µm", crystal->thickness) +
                               format(", %.0f nm", dn * 1000.0 * crystal->thickness),
                           {point.x + (right_half ? -1 : 1) * 2.5 * chart.mark_radius, point.y},
                           right_half ? ChartAlign::kEnd : ChartAlign::kStart,
                           ChartAlign::kMiddle,
                           0,
                           size,
                           true,
                           ChartStroke::kCrystal});
}

namespace {

std::string number(double value) {
    return format("%.6g", value);
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
            out += escaped;
            continue;
        }
        out += c;
    }
    return out + "\"";
}

std::string point(ChartPoint p) {
    std::string text = "[";
    text.append(number(p.x)).append(", ").append(number(p.y)).append("]");
    return text;
}

}  // namespace

std::string chart_description(const Chart& chart, const std::string& image_name) {
    const bool by_retardation = chart.settings.kind == ChartKind::kRetardation;
    std::string j = "{\n";
    j += "  \"image\": " + quoted(image_name) + ",\n";
    j += "  \"width\": " + std::to_string(chart.settings.width) + ",\n";
    j += "  \"height\": " + std::to_string(chart.settings.height) + ",\n";
    j += std::string("  \"kind\": ") +
         (by_retardation ? "\"michel-levy\"" : "\"birefringence-thickness\"") + ",\n";
    j += "  \"plot_area\": {\"x0\": " + std::to_string(chart.x0) +
         ", \"y0\": " + std::to_string(chart.y0) + ", \"x1\": " + std::to_string(chart.x1) +
         ", \"y1\": " + std::to_string(chart.y1) + "},\n";
    j += std::string("  \"x_axis\": {\"quantity\": ") +
         (by_retardation ? "\"retardation_nm\"" : "\"birefringence\"") +
         ", \"min\": 0, \"max\": " + number(chart.x_max) + "},\n";
    j += "  \"y_axis\": {\"quantity\": \"thickness_um\", \"min\": 0, \"max\": " +
         number(kChartThickness) + ", \"origin\": \"bottom\"},\n";
    j += "  \"encoding\": {\"transfer\": \"power\", \"gamma\": " + number(kEncodingGamma) +
         ", \"max_level\": 254},\n";
    j += "  \"white_rgb\": [" + std::to_string(chart.white[0]) + ", " +
         std::to_string(chart.white[1]) + ", " + std::to_string(chart.white[2]) + "],\n";
    j += "  \"birefringence_lines\": [";
    for (std::size_t i = 0; i < chart.birefringence_lines.size(); ++i) {
        const ChartBirefringenceLine& l = chart.birefringence_lines[i];
        std::string names;
        for (const std::string& name : l.minerals)
            names += (names.empty() ? "" : ", ") + quoted(name);
        j += std::string(i == 0 ? "\n" : ",\n") + "    {\"dn\": " + number(l.birefringence) +
             ", \"label\": " + quoted(l.label) + ", \"minerals\": [" + names +
             "], \"p0\": " + point(l.p0) + ", \"p1\": " + point(l.p1) + "}";
    }
    j += "\n  ],\n  \"thickness_lines\": [";
    for (std::size_t i = 0; i < chart.thickness_lines.size(); ++i)
        j += std::string(i == 0 ? "" : ", ") +
             "{\"t_um\": " + number(chart.thickness_lines[i].thickness) +
             ", \"y_px\": " + number(chart.thickness_lines[i].y) + "}";
    j += "],\n  \"order_boundaries_nm\": [";
    for (std::size_t i = 0; i < chart.order_boundaries.size(); ++i)
        j += std::string(i == 0 ? "" : ", ") + number(chart.order_boundaries[i]);
    return j + "]\n}\n";
}
