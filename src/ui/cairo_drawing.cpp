#include "ui/cairo_drawing.h"

#include <algorithm>
#include <cstdlib>
#include <numbers>

#include "render/buffer_drawing.h"

namespace {

double sixteen_bit(double fraction) {
    return static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 65535.0) / 65535.0;
}

// Applies the aliased one-pixel style for the duration of one shape.
class PixelStyle {
  public:
    explicit PixelStyle(const Cairo::RefPtr<Cairo::Context>& cr) : cr_(cr) {
        cr_->save();
        cr_->set_antialias(Cairo::ANTIALIAS_NONE);
        cr_->set_line_width(1.0);
    }
    ~PixelStyle() { cr_->restore(); }
    PixelStyle(const PixelStyle&) = delete;
    PixelStyle& operator=(const PixelStyle&) = delete;

  private:
    const Cairo::RefPtr<Cairo::Context>& cr_;
};

}  // namespace

void set_colour(const Cairo::RefPtr<Cairo::Context>& cr, double red, double green, double blue) {
    cr->set_source_rgb(sixteen_bit(red), sixteen_bit(green), sixteen_bit(blue));
}

void draw_circle(const Cairo::RefPtr<Cairo::Context>& cr, int x, int y, int r, bool filled) {
    const PixelStyle style(cr);
    cr->begin_new_path();
    if (filled) {
        cr->arc(x, y, r, 0.0, 2.0 * std::numbers::pi);
        cr->fill();
    } else {
        cr->arc(x + 0.5, y + 0.5, r, 0.0, 2.0 * std::numbers::pi);
        cr->stroke();
    }
}

void draw_rectangle(const Cairo::RefPtr<Cairo::Context>& cr, int x1, int y1, int x2, int y2,
                    bool filled) {
    const PixelStyle style(cr);
    const int x = std::min(x1, x2);
    const int y = std::min(y1, y2);
    const int width = std::abs(x2 - x1);
    const int height = std::abs(y2 - y1);
    cr->begin_new_path();
    if (filled) {
        cr->rectangle(x, y, width, height);
        cr->fill();
    } else {
        cr->rectangle(x + 0.5, y + 0.5, width, height);
        cr->stroke();
    }
}

void draw_disc(const Cairo::RefPtr<Cairo::Context>& cr, float cx, float cy, float r) {
    const PixelStyle style(cr);
    cr->begin_new_path();
    for (const auto& [x, y] : disc_points(cx, cy, r))
        cr->rectangle(x, y, 1, 1);
    cr->fill();
}

void copy_rgb(std::span<const std::uint8_t> rgb,
              const Cairo::RefPtr<Cairo::ImageSurface>& surface) {
    const int width = surface->get_width();
    const int height = surface->get_height();
    surface->flush();
    unsigned char* data = surface->get_data();
    const int stride = surface->get_stride();
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + std::ptrdiff_t(y) * stride);
        const std::uint8_t* source = rgb.data() + std::size_t(3) * width * y;
        for (int x = 0; x < width; ++x, source += 3)
            row[x] = 0xff000000u | std::uint32_t(source[0]) << 16 | std::uint32_t(source[1]) << 8 |
                     source[2];
    }
    surface->mark_dirty();
}
