#include "output/chart_writer.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <png.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <vector>

#include "output/file_extension.h"
#include "output/replacement_file.h"

namespace {

struct Rgba {
    double r, g, b, a;
};

// The crystal's own colour: a deep pink that no interference colour reaches at full
// saturation, on a white halo so that it stands out on every order.
constexpr Rgba kCrystalColour{0.85, 0.0, 0.47, 1.0};
constexpr Rgba kHalo{1.0, 1.0, 1.0, 0.9};

void set_colour(cairo_t* cr, const Rgba& c) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a);
}

void trace(cairo_t* cr, const ChartPath& path) {
    cairo_new_path(cr);
    cairo_move_to(cr, path.points.front().x, path.points.front().y);
    for (std::size_t i = 1; i < path.points.size(); ++i)
        cairo_line_to(cr, path.points[i].x, path.points[i].y);
}

void stroke_path(cairo_t* cr, const ChartPath& path, double unit) {
    cairo_save(cr);
    switch (path.stroke) {
        case ChartStroke::kFrame:
            cairo_set_line_width(cr, 1.0 * unit);
            set_colour(cr, {0, 0, 0, 1});
            break;
        case ChartStroke::kBirefringence:
            cairo_set_line_width(cr, 0.9 * unit);
            set_colour(cr, {0, 0, 0, 0.55});
            break;
        case ChartStroke::kOrderBoundary: {
            const double dash[] = {4.0 * unit, 3.0 * unit};
            cairo_set_dash(cr, dash, 2, 0);
            cairo_set_line_width(cr, 1.0 * unit);
            set_colour(cr, {0, 0, 0, 0.7});
            break;
        }
        case ChartStroke::kThickness: {
            const double dash[] = {8.0 * unit, 4.0 * unit};
            cairo_set_dash(cr, dash, 2, 0);
            cairo_set_line_width(cr, 1.4 * unit);
            set_colour(cr, {0.05, 0.1, 0.45, 0.9});
            break;
        }
        case ChartStroke::kCrystal:
            trace(cr, path);
            cairo_set_line_width(cr, 4.0 * unit);
            set_colour(cr, kHalo);
            cairo_stroke(cr);
            cairo_set_line_width(cr, 2.0 * unit);
            set_colour(cr, kCrystalColour);
            break;
    }
    trace(cr, path);
    cairo_stroke(cr);
    cairo_restore(cr);
}

double offset(ChartAlign align, double length) {
    return align == ChartAlign::kStart ? 0.0 : align == ChartAlign::kMiddle ? -length / 2 : -length;
}

void show_text(cairo_t* cr, const ChartText& t) {
    cairo_save(cr);
    cairo_select_font_face(
        cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
        t.colour == ChartStroke::kCrystal ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, t.size);
    cairo_text_extents_t text;
    cairo_text_extents(cr, t.text.c_str(), &text);
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    cairo_translate(cr, t.at.x, t.at.y);
    cairo_rotate(cr, -t.angle * std::numbers::pi / 180.0);
    const double height = font.ascent + font.descent;
    const double x = offset(t.h, text.x_advance);
    const double top = offset(t.v, height);
    if (t.boxed) {
        const double pad = 0.25 * t.size;
        cairo_rectangle(cr, x - pad, top - pad / 2, text.x_advance + 2 * pad, height + pad);
        set_colour(cr, {1, 1, 1, 0.78});
        cairo_fill(cr);
    }
    set_colour(cr, t.colour == ChartStroke::kCrystal ? kCrystalColour : Rgba{0, 0, 0, 1});
    cairo_move_to(cr, x, top + font.ascent);
    cairo_show_text(cr, t.text.c_str());
    cairo_restore(cr);
}

void paint_field(cairo_t* cr, const Chart& chart) {
    const int columns = chart.x1 - chart.x0;
    cairo_surface_t* image =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, columns, chart.field_rows);
    cairo_surface_flush(image);
    unsigned char* data = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    for (int row = 0; row < chart.field_rows; ++row) {
        auto* pixels = reinterpret_cast<std::uint32_t*>(data + std::size_t(stride) * row);
        const std::uint8_t* rgb = &chart.field[3 * std::size_t(row) * columns];
        for (int c = 0; c < columns; ++c, rgb += 3)
            pixels[c] = (std::uint32_t(rgb[0]) << 16) | (std::uint32_t(rgb[1]) << 8) | rgb[2];
    }
    cairo_surface_mark_dirty(image);
    cairo_save(cr);
    cairo_rectangle(cr, chart.x0, chart.y0, columns, chart.y1 - chart.y0);
    cairo_clip(cr);
    cairo_translate(cr, chart.x0, chart.y0);
    cairo_scale(cr, 1.0, double(chart.y1 - chart.y0) / chart.field_rows);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(image);
}

void paint_mark(cairo_t* cr, ChartPoint p, double radius) {
    cairo_new_path(cr);
    cairo_arc(cr, p.x, p.y, radius, 0, 2 * std::numbers::pi);
    set_colour(cr, kCrystalColour);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 0.4 * radius);
    set_colour(cr, kHalo);
    cairo_stroke(cr);
}

cairo_status_t write_to_file(void* closure, const unsigned char* data, unsigned int length) {
    return static_cast<ReplacementFile*>(closure)->write(data, length) ? CAIRO_STATUS_SUCCESS
                                                                       : CAIRO_STATUS_WRITE_ERROR;
}

// Cairo's reason as a failure without a system error; the file's own error when it has one.
std::optional<OutputError> finish(ReplacementFile& file, cairo_status_t status,
                                  const std::string& path) {
    if (status != CAIRO_STATUS_SUCCESS && file.ok())
        return OutputError{path + ": " + cairo_status_to_string(status)};
    if (const int error = file.commit(); error != 0)
        return system_error(error, path);
    return std::nullopt;
}

// The painted chart as an 8-bit RGB PNG, compressed for speed: Cairo's own PNG writer
// compresses harder and takes longer than the whole chart takes to compute.
cairo_status_t write_png_fast(cairo_surface_t* surface, ReplacementFile& file) {
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    std::vector<std::uint8_t> rgb(std::size_t(3) * width * height);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + std::size_t(stride) * y);
        std::uint8_t* out = &rgb[std::size_t(3) * width * y];
        for (int x = 0; x < width; ++x, out += 3) {
            out[0] = static_cast<std::uint8_t>(row[x] >> 16);
            out[1] = static_cast<std::uint8_t>(row[x] >> 8);
            out[2] = static_cast<std::uint8_t>(row[x]);
        }
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    image.flags = PNG_IMAGE_FLAG_FAST;
    const bool written =
        png_image_write_to_stdio(&image, file.stream(), 0, rgb.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return written ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

std::optional<OutputError> write_picture(const std::string& path, ChartFormat format,
                                         const Chart& chart) {
    ReplacementFile file(path);
    if (!file.ok())
        return system_error(file.error(), path);
    const int width = chart.settings.width;
    const int height = chart.settings.height;
    cairo_surface_t* surface =
        format == ChartFormat::kPng ? cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)
        : format == ChartFormat::kSvg
            ? cairo_svg_surface_create_for_stream(write_to_file, &file, width, height)
            : cairo_pdf_surface_create_for_stream(write_to_file, &file, width, height);
    cairo_t* cr = cairo_create(surface);
    paint_chart(cr, chart);
    cairo_status_t status = cairo_status(cr);
    cairo_destroy(cr);
    if (format == ChartFormat::kPng && status == CAIRO_STATUS_SUCCESS)
        status = write_png_fast(surface, file);
    cairo_surface_finish(surface);
    if (status == CAIRO_STATUS_SUCCESS)
        status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    return finish(file, status, path);
}

std::string base_name(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::optional<ChartFormat> chart_format(const std::string& path) {
    const std::optional<std::string_view> extension = file_extension(path);
    if (!extension)
        return std::nullopt;
    std::string lower(*extension);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "png")
        return ChartFormat::kPng;
    if (lower == "svg")
        return ChartFormat::kSvg;
    if (lower == "pdf")
        return ChartFormat::kPdf;
    return std::nullopt;
}

const char* chart_extensions() {
    return ".png, .svg or .pdf";
}

void paint_chart(cairo_t* cr, const Chart& chart) {
    cairo_save(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    paint_field(cr, chart);
    for (const ChartPath& path : chart.paths)
        stroke_path(cr, path, 1.0);
    if (chart.crystal_point)
        paint_mark(cr, *chart.crystal_point, chart.mark_radius);
    for (const ChartText& text : chart.texts)
        show_text(cr, text);
    cairo_restore(cr);
}

std::optional<OutputError> write_chart(const std::string& path, const Chart& chart) {
    const std::optional<ChartFormat> format = chart_format(path);
    if (!format) {
        errno = EINVAL;
        return OutputError{path + ": the name must end in " + chart_extensions(), EINVAL};
    }
    if (std::optional<OutputError> error = write_picture(path, *format, chart))
        return error;
    if (*format != ChartFormat::kPng)
        return std::nullopt;
    const std::string description = path + ".json";
    if (const int error =
            replace_file_contents(description, chart_description(chart, base_name(path)));
        error != 0)
        return system_error(error, description);
    return std::nullopt;
}
