#include "ui/figure_view.h"

#include <gdkmm/window.h>

#include <algorithm>

#include "ui/cairo_drawing.h"

FigureView::FigureView(Figure figure)
    : figure_(std::move(figure)),
      surfaces_(std::size_t(figure_.frames)),
      ready_(std::size_t(figure_.frames), false) {
    area_.set_size_request(figure_.side + 2 * kMargin, figure_.side + 2 * kMargin);
    area_.signal_draw().connect(sigc::mem_fun(*this, &FigureView::on_draw), false);
    set_tones(figure_.reference_light, figure_.encoding_gamma);
}

void FigureView::set_tones(float light, float gamma) {
    tones_ = build_tone_table(gamma, light, figure_.encoding_gamma, figure_.reference_light);
    std::fill(ready_.begin(), ready_.end(), false);
    show_frame(current_frame_);
}

void FigureView::set_vibration_directions(bool shown) {
    // The figure carries the choice, so that a saved still or movie shows what the window does.
    figure_.setup.vibration_directions = shown;
    std::fill(ready_.begin(), ready_.end(), false);
    show_frame(current_frame_);
}

void FigureView::set_marks(const FigureMarks& marks) {
    marks_ = marks;
    std::fill(ready_.begin(), ready_.end(), false);
    show_frame(current_frame_);
}

void FigureView::convert(int frame) {
    const int side = figure_.side;
    // The very bytes a still of this frame holds.
    const std::vector<std::uint8_t> rgb = marked_still(figure_, frame, tones_, marks_);
    Cairo::RefPtr<Cairo::ImageSurface>& surface = surfaces_[std::size_t(frame)];
    if (!surface)
        surface = Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, side, side);
    copy_rgb(rgb, surface);
    ready_[std::size_t(frame)] = true;
}

void FigureView::show_frame(int frame) {
    if (surfaces_.empty())
        return;
    current_frame_ = frame;
    if (!ready_[std::size_t(frame)])
        convert(frame);
    displayed_ = surfaces_[std::size_t(frame)];
    redraw();
}

void FigureView::redraw() {
    if (!area_.get_visible())
        return;
    area_.queue_draw();
    if (Glib::RefPtr<Gdk::Window> window = area_.get_window())
        window->process_updates(true);
}

bool FigureView::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
    cr->set_source_rgb(1.0, 1.0, 1.0);
    cr->paint();
    if (displayed_) {
        cr->set_source(displayed_, kMargin, kMargin);
        cr->paint();
    }
    return false;
}

void FigureView::release() {
    displayed_.clear();
    surfaces_.clear();
    ready_.clear();
    figure_.pixels.clear();
    figure_.pixels.shrink_to_fit();
}
