#include "ui/figure_view.h"

#include <gdkmm/window.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "model/controls.h"
#include "optics/large_figure.h"
#include "optics/worker_pool.h"
#include "ui/cairo_drawing.h"

namespace {

// How long the area's size must stay put before a computation at it starts: a window being
// dragged larger would otherwise start one at every step.
constexpr unsigned kSettleMs = 300;
constexpr unsigned kPollMs = 50;

}  // namespace

FigureView::FigureView(Figure figure)
    : figure_(std::move(figure)),
      frames_{std::vector<Cairo::RefPtr<Cairo::ImageSurface>>(std::size_t(figure_.frames)),
              std::vector<bool>(std::size_t(figure_.frames), false)} {
    area_.set_size_request(figure_.side + 2 * kMargin, figure_.side + 2 * kMargin);
    area_.signal_draw().connect(sigc::mem_fun(*this, &FigureView::on_draw), false);
    area_.signal_size_allocate().connect([this](Gtk::Allocation&) { follow_area_size(); });
    set_tones(figure_.reference_light, figure_.encoding_gamma);
}

FigureView::~FigureView() {
    settle_.disconnect();
    poll_.disconnect();
}

ToneTable FigureView::tone_table_for(const Figure& other) const {
    // The light slider counts in the figure's own reference light; another computation of
    // the record has its own, which the slider's starting value stands for exactly.
    const float light = light_ == figure_.reference_light
                            ? other.reference_light
                            : light_ * (other.reference_light / figure_.reference_light);
    return build_tone_table(gamma_, light, other.encoding_gamma, other.reference_light);
}

void FigureView::set_tones(float light, float gamma) {
    light_ = light;
    gamma_ = gamma;
    tones_ = build_tone_table(gamma, light, figure_.encoding_gamma, figure_.reference_light);
    std::fill(frames_.ready.begin(), frames_.ready.end(), false);
    if (large_) {
        large_tones_ = tone_table_for(*large_);
        std::fill(large_frames_.ready.begin(), large_frames_.ready.end(), false);
    }
    show_frame(current_frame_);
}

void FigureView::set_vibration_directions(bool shown) {
    // The figure carries the choice, so that a saved still or movie shows what the window does.
    figure_.setup.vibration_directions = shown;
    if (large_)
        large_->setup.vibration_directions = shown;
    convert_again();
}

void FigureView::set_marks(const FigureMarks& marks) {
    marks_ = marks;
    convert_again();
}

void FigureView::convert_again() {
    std::fill(frames_.ready.begin(), frames_.ready.end(), false);
    std::fill(large_frames_.ready.begin(), large_frames_.ready.end(), false);
    show_frame(current_frame_);
}

void FigureView::convert(const Figure& figure, const ToneTable& tones, const FigureMarks& marks,
                         Frames& frames, int frame) {
    const int side = figure.side;
    // The very bytes a still of this frame holds.
    const std::vector<std::uint8_t> rgb = marked_still(figure, frame, tones, marks);
    Cairo::RefPtr<Cairo::ImageSurface>& surface = frames.surfaces[std::size_t(frame)];
    if (!surface)
        surface = Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, side, side);
    copy_rgb(rgb, surface);
    frames.ready[std::size_t(frame)] = true;
}

void FigureView::show_frame(int frame) {
    if (frames_.surfaces.empty())
        return;
    current_frame_ = frame;
    const bool large = large_.has_value();
    Frames& frames = large ? large_frames_ : frames_;
    if (!frames.ready[std::size_t(frame)])
        convert(large ? *large_ : figure_, large ? large_tones_ : tones_, marks_, frames, frame);
    displayed_ = frames.surfaces[std::size_t(frame)];
    redraw();
}

int FigureView::shown_side() const {
    return large_ ? large_->side : figure_.side;
}

void FigureView::follow_area_size() {
    if (frames_.surfaces.empty())
        return;
    const int room =
        std::min(area_.get_allocated_width(), area_.get_allocated_height()) - 2 * kMargin;
    const int wanted = std::min(room, static_cast<int>(controls::kOutputSize.upper));
    if (wanted == wanted_side_)
        return;
    settle_.disconnect();
    if (wanted <= figure_.side) {
        // Back at the figure's own size: nothing larger is needed.
        wanted_side_ = 0;
        sharper_.cancel();
        poll_.disconnect();
        if (large_) {
            large_.reset();
            large_frames_ = {};
            show_frame(current_frame_);
        }
        return;
    }
    settle_ = Glib::signal_timeout().connect(
        [this, wanted] {
            DrawSetup setup = prepare_draw_at_side(figure_.setup.params, wanted);
            setup.antialias = figure_.setup.antialias;
            setup.vibration_directions = figure_.setup.vibration_directions;
            // The frames and, converted for display, 4 bytes a pixel more each.
            const std::uint64_t shown = std::uint64_t(4) * std::uint64_t(setup.canvas_side) *
                                        std::uint64_t(setup.canvas_side) *
                                        std::uint64_t(setup.frame_count);
            const MemoryCheck memory = check_memory(
                setup, figure_memory(setup, processor_count()) + shown, available_memory());
            wanted_side_ = wanted;
            if (!memory.fits) {
                std::fprintf(stderr, "lumitra: the figure stays at its size: %s\n",
                             memory.statement.c_str());
                return false;
            }
            sharper_.start(setup);
            poll_.disconnect();
            poll_ = Glib::signal_timeout().connect(
                sigc::mem_fun(*this, &FigureView::collect_sharper), kPollMs);
            return false;
        },
        kSettleMs);
}

bool FigureView::collect_sharper() {
    std::optional<Figure> sharper = sharper_.take();
    if (!sharper)
        return sharper_.busy();
    large_ = std::move(sharper);
    large_tones_ = tone_table_for(*large_);
    large_frames_ = {std::vector<Cairo::RefPtr<Cairo::ImageSurface>>(std::size_t(large_->frames)),
                     std::vector<bool>(std::size_t(large_->frames), false)};
    show_frame(current_frame_);
    return false;
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
    if (!displayed_)
        return false;
    const int side = displayed_->get_width();
    const int width = area_.get_allocated_width();
    const int height = area_.get_allocated_height();
    const int room = std::min(width, height) - 2 * kMargin;
    // At the figure's own size the figure sits at the margin; in a larger area it is centred,
    // and a computation larger than a shrunken area is drawn smaller, never larger.
    const double scale = side > room && room > 0 ? double(room) / side : 1.0;
    const double shown = side * scale;
    // Whole pixels, so that an unscaled figure keeps its pixels sharp.
    const double x = width == side + 2 * kMargin ? kMargin : std::floor((width - shown) / 2.0);
    const double y = height == side + 2 * kMargin ? kMargin : std::floor((height - shown) / 2.0);
    cr->translate(x, y);
    cr->scale(scale, scale);
    cr->set_source(displayed_, 0, 0);
    cr->paint();
    return false;
}

void FigureView::release() {
    settle_.disconnect();
    poll_.disconnect();
    sharper_.cancel();
    large_.reset();
    large_frames_ = {};
    displayed_.clear();
    frames_ = {};
    figure_.pixels.clear();
    figure_.pixels.shrink_to_fit();
}
