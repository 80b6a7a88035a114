// The interference figure window: the computed figure on a white drawing area, tones set
// by the light-intensity and gamma sliders, Save and Close, and in the animation mode the
// turning stage with Start, Stop, speed and stage azimuth. It owns the figure and holds the
// input grab for as long as it is open, so the main window is inert and no second Draw can
// start; it is transient for the main window, so that window managers keep it above that.
// Its owner (the main window) keeps the object after it has closed until the next Draw
// replaces it.
#pragma once

#include <gtkmm.h>

#include <memory>
#include <vector>

#include "optics/figure_buffer.h"
#include "render/tone_table.h"
#include "model/animation.h"
#include "ui/save_dialog.h"

class FigureWindow {
  public:
    // Builds and shows the window for a computed figure, showing frame 0.
    explicit FigureWindow(Figure figure);
    // Closes the window if it is still open.
    ~FigureWindow();

    // What Close and the window frame's close do: the animation stops, the frame surfaces
    // and the figure are freed, the grab ends, the window hides.
    void close();
    bool is_open() const { return !closed_; }

    const Figure& figure() const { return figure_; }
    const ToneTable& tone_table() const { return tones_; }
    float light() const { return light_; }
    float gamma() const { return gamma_; }
    // The frame the window shows; the one a still is saved from.
    int current_frame() const { return current_frame_; }
    bool animation_running() const { return animation_ && animation_->running(); }
    // Speed ÷ azimuth step, what a movie is timed by; 0 outside the animation mode.
    float frames_per_second() const;
    // Draws the whole drawing area now.
    void redraw();

    // Save's chooser and movie-size dialog.
    SaveDialog& save_dialog() { return save_dialog_; }

    // The widgets, for the save dialog and for tests that drive the window.
    Gtk::Dialog& dialog() { return dialog_; }
    Gtk::DrawingArea& drawing_area() { return *area_; }
    Gtk::Scale& light_scale() { return *light_scale_; }
    Gtk::Scale& gamma_scale() { return *gamma_scale_; }
    Gtk::Button& save_button() { return *save_; }
    Gtk::Button& close_button() { return *close_; }
    // nullptr outside the animation mode.
    Gtk::Scale* speed_scale() { return speed_scale_; }
    Gtk::Scale* azimuth_scale() { return azimuth_scale_; }
    Gtk::Button* start_button() { return start_; }
    Gtk::Button* stop_button() { return stop_; }
    const Animation* animation() const { return animation_.get(); }

    // What the drawing area shows of the figure (S × S, without the margin), and how the
    // frame surfaces stand, for tests.
    Cairo::RefPtr<Cairo::ImageSurface> displayed_surface() const { return displayed_; }
    bool frame_ready(int frame) const { return ready_.at(frame); }
    int frames_converted() const { return conversions_; }
    int active_timeouts() const;

    static constexpr int kMargin = 5;

    FigureWindow(const FigureWindow&) = delete;
    FigureWindow& operator=(const FigureWindow&) = delete;

  private:
    void build();
    void build_animation_controls(Gtk::Box& figure_column, Gtk::Box& slider_column);
    void set_tones();
    void render_frame(int frame);
    void show_frame(int frame);
    bool on_draw_area(const Cairo::RefPtr<Cairo::Context>& cr);
    void on_tone_changed();
    bool on_tick();
    void release();

    Figure figure_;
    float light_;
    float gamma_;
    ToneTable tones_{};
    std::vector<Cairo::RefPtr<Cairo::ImageSurface>> surfaces_;
    std::vector<bool> ready_;
    int current_frame_ = 0;
    Cairo::RefPtr<Cairo::ImageSurface> displayed_;
    int conversions_ = 0;
    bool closed_ = false;

    Gtk::Dialog dialog_;
    Gtk::DrawingArea* area_ = nullptr;
    Gtk::Scale* light_scale_ = nullptr;
    Gtk::Scale* gamma_scale_ = nullptr;
    Gtk::Scale* speed_scale_ = nullptr;
    Gtk::Scale* azimuth_scale_ = nullptr;
    Gtk::Button* save_ = nullptr;
    Gtk::Button* close_ = nullptr;
    Gtk::Button* start_ = nullptr;
    Gtk::Button* stop_ = nullptr;
    sigc::connection azimuth_changed_;
    SaveDialog save_dialog_{*this};

    // The animation refers to its clock and timeout, so it is declared after them and
    // released before them.
    std::unique_ptr<StageClock> clock_;
    std::unique_ptr<TickTimeout> timeout_;
    std::unique_ptr<Animation> animation_;
};
