#include "ui/figure_readout.h"

#include <cmath>
#include <cstring>

#include "model/texts.h"
#include "render/pixel_readout.h"
#include "render/readout_text.h"
#include "ui/label_text.h"
#include "ui/widget_builders.h"

FigureReadout::FigureReadout(FigureView& view, Gtk::Box& figure_column, Gtk::Box& controls)
    : view_(view) {
    // Wide enough for the longest line at the figure's smallest size without the window
    // growing as the pointer moves; the text wraps instead.
    line_.set_line_wrap(true);
    line_.set_width_chars(48);
    line_.set_max_width_chars(48);
    line_.set_xalign(0.0f);
    line_.set_selectable(false);
    figure_column.pack_start(line_, false, false, 0);

    switch_.set_label(shown_text(texts::vibration_directions));
    set_tooltip(switch_, texts::vibration_directions_tip);
    controls.pack_start(switch_, false, false, 10);
    switch_.signal_toggled().connect([this] {
        view_.set_vibration_directions(switch_.get_active());
        refresh();
    });

    Gtk::DrawingArea& area = view_.area();
    area.add_events(Gdk::POINTER_MOTION_MASK | Gdk::LEAVE_NOTIFY_MASK);
    area.signal_motion_notify_event().connect([this](GdkEventMotion* event) {
        pointer_at(event->x, event->y);
        return false;
    });
    area.signal_leave_notify_event().connect([this](GdkEventCrossing*) {
        pointer_left();
        return false;
    });
}

void FigureReadout::pointer_at(double x, double y) {
    pointer_ = std::array<int, 2>{static_cast<int>(std::floor(x)) - FigureView::kMargin,
                                  static_cast<int>(std::floor(y)) - FigureView::kMargin};
    refresh();
}

void FigureReadout::pointer_left() {
    pointer_.reset();
    refresh();
}

void FigureReadout::refresh() {
    const Cairo::RefPtr<Cairo::ImageSurface> shown = view_.shown_surface();
    std::string text;
    if (pointer_ && shown) {
        const auto [x, y] = *pointer_;
        const PixelReadout read = read_pixel(view_.figure(), view_.current_frame(), x, y);
        if (read.inside)
            text = readout_line(read, surface_rgb(shown, x, y), shown_text);
    }
    show_text(line_, text);
}

std::array<std::uint8_t, 3> surface_rgb(const Cairo::RefPtr<Cairo::ImageSurface>& surface, int x,
                                        int y) {
    surface->flush();
    const unsigned char* row = surface->get_data() + std::ptrdiff_t(y) * surface->get_stride();
    std::uint32_t pixel = 0;
    std::memcpy(&pixel, row + 4 * std::ptrdiff_t(x), sizeof pixel);
    return {static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
            static_cast<std::uint8_t>(pixel)};
}
