// The turning stage of an animation's figure window: Start and Stop under the figure, the
// speed and stage-azimuth sliders, and the clock and timeout that step the frames. The
// frame of each new azimuth goes to the callback the window gives it.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/scale.h>

#include <functional>
#include <memory>

#include "model/animation.h"
#include "optics/figure_buffer.h"

class GlibTickTimeout;

class FigureAnimation {
  public:
    // Packs the buttons into buttons_parent and the sliders into slider_column.
    FigureAnimation(const Figure& figure, Gtk::Box& buttons_parent, Gtk::Box& slider_column,
                    std::function<void(int frame)> show_frame);
    ~FigureAnimation();
    FigureAnimation(const FigureAnimation&) = delete;
    FigureAnimation& operator=(const FigureAnimation&) = delete;

    const Animation& stage() const { return *animation_; }
    void stop() { animation_->stop(); }
    // Speed ÷ azimuth step, what a movie is timed by.
    float frames_per_second() const { return animation_->frames_per_second(); }
    // The timeouts that step the stage; never more than one.
    int active_timeouts() const;

    Gtk::Scale& speed_scale() { return *speed_scale_; }
    Gtk::Scale& azimuth_scale() { return *azimuth_scale_; }
    Gtk::Button& start_button() { return *start_; }
    Gtk::Button& stop_button() { return *stop_; }

  private:
    bool on_tick();

    std::function<void(int)> show_frame_;
    Gtk::Scale* speed_scale_ = nullptr;
    Gtk::Scale* azimuth_scale_ = nullptr;
    Gtk::Button* start_ = nullptr;
    Gtk::Button* stop_ = nullptr;
    sigc::connection azimuth_changed_;
    // The animation refers to its clock and timeout, so it is declared after them and
    // released before them.
    std::unique_ptr<StageClock> clock_;
    std::unique_ptr<GlibTickTimeout> timeout_;
    std::unique_ptr<Animation> animation_;
};
