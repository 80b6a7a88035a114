#include "ui/live_figure.h"

#include <utility>

#include "model/progress_sink.h"
#include "optics/figure_computation.h"
#include "render/frame_rendering.h"
#include "render/pixel_readout.h"
#include "render/readout_text.h"
#include "ui/cairo_drawing.h"
#include "ui/figure_readout.h"
#include "ui/label_text.h"

LiveFigure::LiveFigure(RecordEditor& editor) : editor_(editor) {
    set_shadow_type(Gtk::SHADOW_IN);
    set_border_width(10);
    // The frame keeps the figure's width and spans the preview's height, level with it.
    set_halign(Gtk::ALIGN_START);
    area_.set_size_request(kSide, kSide);
    area_.signal_draw().connect(sigc::mem_fun(*this, &LiveFigure::on_area_draw));
    add(area_);
    editor_.signal_changed().connect(sigc::mem_fun(*this, &LiveFigure::on_record_changed));
    area_.set_has_tooltip(true);
    area_.signal_query_tooltip().connect(
        [this](int x, int y, bool, const Glib::RefPtr<Gtk::Tooltip>& tooltip) {
            const std::string text = readout_at(x, y);
            if (text.empty())
                return false;
            tooltip->set_text(text);
            return true;
        });
}

LiveFigure::~LiveFigure() {
    if (tick_ != 0)
        area_.remove_tick_callback(tick_);
}

ParameterRecord LiveFigure::live_record(const ParameterRecord& record) {
    ParameterRecord live = record;
    live.draw_mode = kSingleImage;
    live.image_size_single = static_cast<float>(kSide);
    live.image_size = static_cast<float>(kSide);
    return live;
}

void LiveFigure::on_record_changed() {
    // Only the next frame of the display computes, from the record as it stands then.
    if (tick_ == 0)
        tick_ = area_.add_tick_callback(sigc::mem_fun(*this, &LiveFigure::on_tick));
}

bool LiveFigure::on_tick(const Glib::RefPtr<Gdk::FrameClock>&) {
    compute();
    // Nothing is left to do until the next change, which adds the callback again.
    tick_ = 0;
    return false;
}

void LiveFigure::compute() {
    const DrawSetup setup = prepare_draw(live_record(editor_.record()));
    SilentProgress progress;  // the live figure takes milliseconds
    std::optional<Figure> figure = compute_figure(setup, progress);
    if (!figure)
        return;
    if (!surface_)
        surface_ = Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, kSide, kSide);
    copy_rgb(render_still(*figure, 0, opening_tones(*figure)), surface_);
    shown_ = setup;
    figure_ = std::move(figure);
    ++computations_;
    paints_ = 0;
    area_.queue_draw();
}

bool LiveFigure::on_area_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
    cr->set_source_rgb(1.0, 1.0, 1.0);
    cr->paint();
    if (surface_) {
        cr->set_source(surface_, figure_left(), figure_top());
        cr->paint();
        ++paints_;
    }
    return false;
}

int LiveFigure::figure_left() const {
    return (area_.get_allocated_width() - kSide) / 2;
}

int LiveFigure::figure_top() const {
    return (area_.get_allocated_height() - kSide) / 2;
}

std::string LiveFigure::readout_at(int x, int y) const {
    if (!figure_ || !surface_)
        return {};
    const int column = x - figure_left(), row = y - figure_top();
    const PixelReadout read = read_pixel(*figure_, 0, column, row);
    return read.inside ? readout_line(read, surface_rgb(surface_, column, row), shown_text)
                       : std::string();
}
