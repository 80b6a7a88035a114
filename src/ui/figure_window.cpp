#include "ui/figure_window.h"

#include <algorithm>
#include <functional>

#include "model/controls.h"
#include "model/texts.h"
#include "render/frame_rendering.h"
#include "ui/cairo_drawing.h"
#include "ui/main_window.h"
#include "ui/save_dialog.h"
#include "ui/widget_builders.h"

namespace {

constexpr char kTitle[] = "Lumitra - Interference Figure";
constexpr RowWidths kWidths{60, 100};

// The stage clock on GLib's elapsed-time timer, which starts when it is made.
class GlibStageClock : public StageClock {
  public:
    double elapsed() const override { return timer_.elapsed(); }
    void restart() override { timer_.start(); }

  private:
    Glib::Timer timer_;
};

// The animation's timeout on the GLib main loop. It counts the timeouts it holds, so that
// a test can see that there is never more than one.
class GlibTickTimeout : public TickTimeout {
  public:
    explicit GlibTickTimeout(std::function<bool()> tick) : tick_(std::move(tick)) {}
    ~GlibTickTimeout() override {
        for (sigc::connection& c : connections_)
            c.disconnect();
    }
    void add(int period_ms) override {
        connections_.push_back(Glib::signal_timeout().connect(tick_, period_ms));
    }
    void remove() override {
        if (connections_.empty())
            return;
        connections_.back().disconnect();
        connections_.pop_back();
    }
    int active() const { return static_cast<int>(connections_.size()); }

  private:
    std::function<bool()> tick_;
    std::vector<sigc::connection> connections_;
};

}  // namespace

FigureWindow::FigureWindow(Figure figure)
    : figure_(std::move(figure)),
      light_(figure_.reference_light),
      gamma_(figure_.encoding_gamma),
      surfaces_(std::size_t(figure_.frames)),
      ready_(std::size_t(figure_.frames), false) {
    set_tones();
    build();
    show_frame(0);
    dialog_.show_all();
    gtk_grab_add(GTK_WIDGET(dialog_.gobj()));
}

FigureWindow::~FigureWindow() {
    close();
}

void FigureWindow::build() {
    dialog_.set_title(kTitle);
    dialog_.set_border_width(5);
    // Window managers keep the figure above the main window, which it makes inert.
    if (MainWindow* main = MainWindow::instance())
        dialog_.set_transient_for(*main);

    auto* row = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 0));
    dialog_.get_content_area()->pack_start(*row, false, false, 0);

    auto* figure_column = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_VERTICAL, 0));
    row->pack_start(*figure_column, false, false, 0);
    auto* frame = Gtk::manage(new Gtk::Frame());
    frame->set_shadow_type(Gtk::SHADOW_IN);
    frame->set_border_width(10);
    // The white area keeps its size, the figure plus the margin on every side, and is
    // centred when the animation's buttons make the column wider.
    frame->set_halign(Gtk::ALIGN_CENTER);
    figure_column->pack_start(*frame, false, false, 0);
    area_ = Gtk::manage(new Gtk::DrawingArea());
    area_->set_size_request(figure_.side + 2 * kMargin, figure_.side + 2 * kMargin);
    area_->signal_draw().connect(sigc::mem_fun(*this, &FigureWindow::on_draw_area), false);
    frame->add(*area_);

    auto* slider_column = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_VERTICAL, 0));
    slider_column->set_border_width(10);
    row->pack_start(*slider_column, false, false, 0);

    const float reference = figure_.reference_light;
    light_scale_ = make_labeled_scale(*slider_column, texts::light_intensity, kWidths, reference,
                                      light_range(reference));
    gamma_scale_ = make_labeled_scale(*slider_column, texts::gamma_value, kWidths,
                                      figure_.encoding_gamma, controls::kDisplayGamma);
    light_scale_->signal_value_changed().connect(
        sigc::mem_fun(*this, &FigureWindow::on_tone_changed));
    gamma_scale_->signal_value_changed().connect(
        sigc::mem_fun(*this, &FigureWindow::on_tone_changed));

    if (figure_.setup.params.draw_mode == kAnimation)
        build_animation_controls(*figure_column, *slider_column);

    Gtk::ButtonBox* actions = dialog_.get_action_area();
    actions->set_border_width(5);
    save_ = make_button(*actions, texts::save);
    close_ = make_button(*actions, texts::close);
    save_->signal_clicked().connect([this] { save_dialog_.run(); });
    close_->signal_clicked().connect([this] { close(); });
    dialog_.signal_delete_event().connect([this](GdkEventAny*) {
        close();
        return true;
    });
}

void FigureWindow::build_animation_controls(Gtk::Box& figure_column, Gtk::Box& slider_column) {
    auto* buttons = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 0));
    buttons->set_homogeneous(true);
    figure_column.pack_start(*buttons, false, false, 0);
    start_ = make_button(*buttons, texts::start);
    stop_ = make_button(*buttons, texts::stop);

    speed_scale_ = make_labeled_scale(slider_column, texts::speed, kWidths, controls::kDefaultSpeed,
                                      controls::kSpeed);
    azimuth_scale_ =
        make_labeled_scale(slider_column, texts::azimuth, kWidths, 0.0f, controls::kStageAzimuth);

    clock_ = std::make_unique<GlibStageClock>();
    timeout_ = std::make_unique<GlibTickTimeout>([this] { return on_tick(); });
    animation_ = std::make_unique<Animation>(figure_.setup.params.sampling_step, figure_.frames,
                                             *clock_, *timeout_, controls::kDefaultSpeed);

    start_->signal_clicked().connect([this] { animation_->start(); });
    stop_->signal_clicked().connect([this] { animation_->stop(); });
    speed_scale_->signal_value_changed().connect(
        [this] { animation_->set_speed(static_cast<float>(speed_scale_->get_value())); });
    azimuth_changed_ = azimuth_scale_->signal_value_changed().connect([this] {
        show_frame(animation_->set_azimuth(static_cast<float>(azimuth_scale_->get_value())));
        redraw();
    });
}

float FigureWindow::frames_per_second() const {
    return animation_ ? animation_->frames_per_second() : 0.0f;
}

int FigureWindow::active_timeouts() const {
    return timeout_ ? static_cast<const GlibTickTimeout&>(*timeout_).active() : 0;
}

void FigureWindow::set_tones() {
    tones_ = build_tone_table(gamma_, light_, figure_.encoding_gamma, figure_.reference_light);
    std::fill(ready_.begin(), ready_.end(), false);
}

void FigureWindow::render_frame(int frame) {
    const int side = figure_.side;
    // The very bytes a still of this frame holds.
    const std::vector<std::uint8_t> rgb = render_still(figure_, frame, tones_);

    Cairo::RefPtr<Cairo::ImageSurface>& surface = surfaces_[std::size_t(frame)];
    if (!surface)
        surface = Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, side, side);
    copy_rgb(rgb, surface);
    ready_[std::size_t(frame)] = true;
    ++conversions_;
}

void FigureWindow::show_frame(int frame) {
    current_frame_ = frame;
    if (!ready_[std::size_t(frame)])
        render_frame(frame);
    displayed_ = surfaces_[std::size_t(frame)];
}

void FigureWindow::redraw() {
    if (area_ == nullptr || closed_)
        return;
    area_->queue_draw();
    if (Glib::RefPtr<Gdk::Window> window = area_->get_window())
        window->process_updates(true);
}

bool FigureWindow::on_draw_area(const Cairo::RefPtr<Cairo::Context>& cr) {
    cr->set_source_rgb(1.0, 1.0, 1.0);
    cr->paint();
    if (displayed_) {
        cr->set_source(displayed_, kMargin, kMargin);
        cr->paint();
    }
    return false;
}

void FigureWindow::on_tone_changed() {
    light_ = static_cast<float>(light_scale_->get_value());
    gamma_ = static_cast<float>(gamma_scale_->get_value());
    set_tones();
    show_frame(current_frame_);
    redraw();
}

bool FigureWindow::on_tick() {
    show_frame(animation_->tick());
    // The slider follows the stage without counting as the user's change, which would
    // restart the clock and the timeout and so slow the stage down.
    azimuth_changed_.block();
    azimuth_scale_->set_value(animation_->azimuth());
    azimuth_changed_.unblock();
    redraw();
    return true;
}

void FigureWindow::close() {
    if (closed_)
        return;
    closed_ = true;
    gtk_grab_remove(GTK_WIDGET(dialog_.gobj()));
    dialog_.hide();
    release();
}

void FigureWindow::release() {
    // A running timeout must not tick into frames that are gone.
    animation_.reset();
    timeout_.reset();
    clock_.reset();
    displayed_.clear();
    surfaces_.clear();
    ready_.clear();
    figure_.pixels.clear();
    figure_.pixels.shrink_to_fit();
}
