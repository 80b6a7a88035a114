#include "output/figure_marks.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <numbers>
#include <optional>

#include "model/accessories.h"
#include "model/angles.h"
#include "model/controls.h"
#include "render/frame_rendering.h"

namespace {

// Between the parts of the caption, and where a caption too long for one line breaks.
constexpr char kSeparator[] = " \u00b7 ";
// The smallest text, in pixels, that stays legible on a projected slide.
constexpr double kLegibleFont = 9.0;

// The value with as many decimals as its control shows.
std::string number(double value, int digits) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", digits, value);
    return text;
}

std::string angle(double degrees) {
    char text[32];
    std::snprintf(text, sizeof text, "%g\u00b0", degrees);
    return text;
}

std::string accessory_words(const ParameterRecord& r) {
    switch (r.no_test_plate) {
        case kFirstOrderPlate:
        case kQuarterWavePlate:
            return number(accessory_retardation(r), 0) + " nm plate";
        case kQuartzWedge:
            return "quartz wedge " + number(accessory_retardation(r), 0) + " nm";
        default:
            return "no plate";
    }
}

using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

// The picture's scale: sizes that stay legible from 200 pixels up to a projector's 1080.
struct Scale {
    double side;
    double font;
    double line;
    explicit Scale(int s)
        : side(s), font(std::max(10.0, s / 24.0)), line(std::max(1.5, s / 240.0)) {}
};

// A dark stroke with a light halo, legible on any colour of the figure and on its white.
void halo_stroke(cairo_t* cr, double width) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_set_line_width(cr, width * 3.0);
    cairo_stroke_preserve(cr);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

// Text with its centre at (x, y).
void centred_text(cairo_t* cr, const Scale& scale, const std::string& text, double x, double y) {
    cairo_set_font_size(cr, scale.font);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    cairo_move_to(cr, x - extents.x_bearing - extents.width / 2,
                  y - extents.y_bearing - extents.height / 2);
    cairo_text_path(cr, text.c_str());
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_set_line_width(cr, scale.font / 5.0);
    cairo_stroke_preserve(cr);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    cairo_fill(cr);
}

// An arrow head at (x, y) pointing along (dx, dy), a unit vector.
void arrow_head(cairo_t* cr, double x, double y, double dx, double dy, double length) {
    const double w = length * 0.5;
    cairo_move_to(cr, x - dx * length - dy * w, y - dy * length + dx * w);
    cairo_line_to(cr, x, y);
    cairo_line_to(cr, x - dx * length + dy * w, y - dy * length - dx * w);
}

// P along the east–west line and A along the north–south one: ticks where the diameters
// meet the rim of a single figure.
void draw_polarizers_at_rim(cairo_t* cr, const Scale& s) {
    const double c = s.side / 2.0;
    const double tick = s.side / 10.0;
    cairo_move_to(cr, 0, c);
    cairo_line_to(cr, tick, c);
    cairo_move_to(cr, s.side - tick, c);
    cairo_line_to(cr, s.side, c);
    cairo_move_to(cr, c, 0);
    cairo_line_to(cr, c, tick);
    cairo_move_to(cr, c, s.side - tick);
    cairo_line_to(cr, c, s.side);
    halo_stroke(cr, s.line);
    centred_text(cr, s, "P", tick / 2.0, c - 0.8 * s.font);
    centred_text(cr, s, "A", c + 0.8 * s.font, tick / 2.0);
}

// The same as a cross of half-width arm about (c, c): the rotation image's sub-images lie on
// its rim, and the hole they ring holds the cross instead.
void draw_polarizer_cross(cairo_t* cr, const Scale& s, double c, double arm) {
    cairo_move_to(cr, c - arm, c);
    cairo_line_to(cr, c + arm, c);
    cairo_move_to(cr, c, c - arm);
    cairo_line_to(cr, c, c + arm);
    halo_stroke(cr, s.line);
    centred_text(cr, s, "P", c - arm + 0.5 * s.font, c - 0.8 * s.font);
    centred_text(cr, s, "A", c + 0.8 * s.font, c - arm + 0.5 * s.font);
}

// The accessory's slow direction: a double arrow on the NE–SW line through (c, c) from
// inner to outer (pixels from c along NE), labelled γ' beyond its inner end.
void draw_slow_direction(cairo_t* cr, const Scale& s, double c, double inner, double outer) {
    const double d = std::numbers::sqrt2 / 2.0;  // NE is (d, −d) with y down
    const double head = std::max(6.0, s.font * 0.7);
    cairo_move_to(cr, c + inner * d, c - inner * d);
    cairo_line_to(cr, c + outer * d, c - outer * d);
    arrow_head(cr, c + outer * d, c - outer * d, d, -d, head);
    arrow_head(cr, c + inner * d, c - inner * d, -d, d, head);
    halo_stroke(cr, s.line);
    const double label = inner - 0.9 * s.font;
    centred_text(cr, s, "\u03b3'", c + label * d, c - label * d);
}

// The reference marks of one figure filling the picture: at the rim, the arrow crossing it
// into the north-east corner.
void draw_single_marks(cairo_t* cr, const Scale& s, bool accessory) {
    draw_polarizers_at_rim(cr, s);
    const double r = s.side / 2.0;
    if (accessory)
        draw_slow_direction(cr, s, r, 0.78 * r, 1.30 * r);
}

// The rotation image's: P, A and the arrow in the middle of the ring, each sub-image's stage
// azimuth on the side of it that faces the middle.
void draw_ring_marks(cairo_t* cr, const Scale& s, const DrawSetup& setup, bool accessory) {
    const int n = setup.frame_count;
    const double c = s.side / 2.0;
    const double scale = s.side / double(setup.canvas_side);  // the picture may be enlarged
    const double ring = (setup.canvas_side - setup.side) / 2.0 * scale;
    const double hole = ring - setup.side / 2.0 * scale;
    const double labels = hole - 0.9 * s.font;
    for (int k = 0; k < n; ++k) {
        const double a = 360.0 * k / n;
        centred_text(cr, s, angle(a), c + labels * std::cos(radians(a)),
                     c - labels * std::sin(radians(a)));
    }
    const double arm = std::max(s.font, hole - 2.2 * s.font);
    draw_polarizer_cross(cr, s, c, arm);
    if (accessory)
        draw_slow_direction(cr, s, c, -0.7 * arm, 0.7 * arm);
}

// The caption along the bottom on a pale band, as large as the figure's other marks where
// it fits; where one line would have to shrink below legibility (the smallest figures) it
// breaks at the separator nearest its middle.
void draw_caption(cairo_t* cr, const Scale& s, const std::string& text) {
    const double margin = s.font * 0.4;
    const double room = s.side - 2 * margin;
    const auto fitting = [&](const std::vector<std::string>& lines) {
        cairo_set_font_size(cr, 1.0);
        double widest = 0;
        for (const std::string& line : lines) {
            cairo_text_extents_t extents;
            cairo_text_extents(cr, line.c_str(), &extents);
            widest = std::max(widest, extents.x_advance);
        }
        return std::min(s.font * 0.8, room / widest);
    };
    std::vector<std::string> lines{text};
    double size = fitting(lines);
    if (size < kLegibleFont) {
        const std::size_t middle = text.size() / 2;
        std::size_t split = std::string::npos;
        for (std::size_t at = text.find(kSeparator); at != std::string::npos;
             at = text.find(kSeparator, at + 1))
            if (split == std::string::npos || std::max(at, middle) - std::min(at, middle) <
                                                  std::max(split, middle) - std::min(split, middle))
                split = at;
        if (split != std::string::npos) {
            lines = {text.substr(0, split), text.substr(split + std::strlen(kSeparator))};
            size = fitting(lines);
        }
    }
    const double line_height = size * 1.25;
    const double band = line_height * double(lines.size()) + size * 0.35;
    cairo_rectangle(cr, 0, s.side - band, s.side, band);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.8);
    cairo_fill(cr);
    cairo_set_font_size(cr, size);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        cairo_text_extents_t extents;
        cairo_text_extents(cr, lines[i].c_str(), &extents);
        cairo_move_to(cr, (s.side - extents.x_advance) / 2.0,
                      s.side - band + size * 1.05 + line_height * double(i));
        cairo_show_text(cr, lines[i].c_str());
    }
}

// The stage azimuth of frame k in degrees: the single image's own, frame k's in the
// animation; none for the rotation image, whose sub-images each have their own.
std::optional<double> frame_azimuth(const DrawSetup& setup, int frame) {
    switch (setup.params.draw_mode) {
        case kSingleImage:
            return setup.params.stage_azimuth;
        case kAnimation:
            return 360.0 * frame / double(setup.frame_count_real);
        default:
            return std::nullopt;
    }
}

}  // namespace

std::string figure_caption(const DrawSetup& setup, int frame) {
    const ParameterRecord& r = setup.params;
    const int digits = controls::kRefractiveIndex.digits;
    const std::string separator = kSeparator;
    std::string text;
    if (r.axis_type == kBiaxial)
        text = "\u03b1 " + number(r.alpha, digits) + "  \u03b3 " + number(r.gamma, digits) +
               "  2Vz " + angle(r.two_vz) + separator + number(r.thickness, 0) + " \u00b5m" +
               separator + "Z " + angle(r.z_axis_theta) + "/" + angle(r.z_axis_phi);
    else
        text = "\u03c9 " + number(r.omega, digits) + "  \u03b5 " + number(r.epsilon, digits) +
               separator + number(r.thickness, 0) + " \u00b5m" + separator + "C " +
               angle(r.c_axis_theta) + "/" + angle(r.c_axis_phi);
    text += separator + accessory_words(r);
    if (const std::optional<double> azimuth = frame_azimuth(setup, frame))
        text += separator + "stage " + angle(*azimuth);
    return text;
}

void draw_figure_marks(std::span<std::uint8_t> rgb, int side, const DrawSetup& setup, int frame,
                       const FigureMarks& marks) {
    if (!marks.any() || side <= 0)
        return;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, side, side);
    const int stride = cairo_image_surface_get_stride(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const auto pixel = [&](int x, int y) {
        return reinterpret_cast<std::uint32_t*>(data + std::size_t(y) * stride) + x;
    };
    cairo_surface_flush(surface);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const std::uint8_t* p = &rgb[3 * (std::size_t(y) * side + x)];
            *pixel(x, y) = std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
        }
    cairo_surface_mark_dirty(surface);
    {
        const Context cr(cairo_create(surface), &cairo_destroy);
        cairo_select_font_face(cr.get(), "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                               CAIRO_FONT_WEIGHT_BOLD);
        const Scale scale(side);
        if (marks.marks) {
            const bool accessory = setup.params.no_test_plate != kNoPlate;
            if (setup.params.draw_mode == kRotationImage && setup.frame_count >= 2)
                draw_ring_marks(cr.get(), scale, setup, accessory);
            else
                draw_single_marks(cr.get(), scale, accessory);
        }
        if (marks.caption)
            draw_caption(cr.get(), scale, figure_caption(setup, frame));
    }
    cairo_surface_flush(surface);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const std::uint32_t v = *pixel(x, y);
            std::uint8_t* p = &rgb[3 * (std::size_t(y) * side + x)];
            p[0] = static_cast<std::uint8_t>(v >> 16);
            p[1] = static_cast<std::uint8_t>(v >> 8);
            p[2] = static_cast<std::uint8_t>(v);
        }
    cairo_surface_destroy(surface);
}

std::vector<std::uint8_t> marked_still(const Figure& figure, int frame, const ToneTable& tones,
                                       const FigureMarks& marks) {
    std::vector<std::uint8_t> still = render_still(figure, frame, tones);
    draw_figure_marks(still, figure.side, figure.setup, frame, marks);
    return still;
}
