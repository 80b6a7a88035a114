#include "ui/figure_animation.h"

#include <glibmm/main.h>
#include <glibmm/timer.h>

#include <vector>

#include "model/controls.h"
#include "model/parameter_record.h"
#include "model/texts.h"
#include "ui/widget_builders.h"

namespace {

// The stage clock on GLib's elapsed-time timer, which starts when it is made.
class GlibStageClock : public StageClock {
  public:
    double elapsed() const override { return timer_.elapsed(); }
    void restart() override { timer_.start(); }

  private:
    Glib::Timer timer_;
};

}  // namespace

// The animation's timeout on the GLib main loop. It counts the timeouts it holds, so that
// a second Start can be seen not to double the stage's pace.
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

FigureAnimation::FigureAnimation(const Figure& figure, Gtk::Box& buttons_parent,
                                 Gtk::Box& slider_column, std::function<void(int)> show_frame)
    : show_frame_(std::move(show_frame)) {
    constexpr RowWidths kWidths{60, 100};
    auto* buttons = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 0));
    buttons->set_homogeneous(true);
    buttons_parent.pack_start(*buttons, false, false, 0);
    start_ = make_button(*buttons, texts::start);
    stop_ = make_button(*buttons, texts::stop);

    speed_scale_ = make_labeled_scale(slider_column, texts::speed, kWidths, controls::kDefaultSpeed,
                                      controls::kSpeed);
    azimuth_scale_ =
        make_labeled_scale(slider_column, texts::azimuth, kWidths, 0.0f, controls::kStageAzimuth);

    for (auto [widget, tip] : {std::pair<Gtk::Widget*, const char*>{start_, texts::start_tip},
                               {stop_, texts::stop_tip},
                               {speed_scale_, texts::speed_tip},
                               {azimuth_scale_, texts::stage_azimuth_tip}})
        set_tooltip(*widget, tip);

    clock_ = std::make_unique<GlibStageClock>();
    timeout_ = std::make_unique<GlibTickTimeout>([this] { return on_tick(); });
    animation_ = std::make_unique<Animation>(figure.setup.params.sampling_step, figure.frames,
                                             *clock_, *timeout_, controls::kDefaultSpeed);

    start_->signal_clicked().connect([this] { animation_->start(); });
    stop_->signal_clicked().connect([this] { animation_->stop(); });
    speed_scale_->signal_value_changed().connect(
        [this] { animation_->set_speed(static_cast<float>(speed_scale_->get_value())); });
    azimuth_changed_ = azimuth_scale_->signal_value_changed().connect([this] {
        show_frame_(animation_->set_azimuth(static_cast<float>(azimuth_scale_->get_value())));
    });
}

// Here the timeout's type is complete.
FigureAnimation::~FigureAnimation() = default;

int FigureAnimation::active_timeouts() const {
    return timeout_->active();
}

bool FigureAnimation::on_tick() {
    const int frame = animation_->tick();
    // The slider follows the stage without counting as the user's change, which would
    // restart the clock and the timeout and so slow the stage down.
    azimuth_changed_.block();
    azimuth_scale_->set_value(animation_->azimuth());
    azimuth_changed_.unblock();
    show_frame_(frame);
    return true;
}
