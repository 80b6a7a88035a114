// The interference figure window: the computed figure on a white drawing area, tones set
// by the light-intensity and gamma sliders, Save and Close, and in the animation mode the
// turning stage with Start, Stop, speed and stage azimuth. It owns the figure and holds the
// input grab for as long as it is open, so that its parent is inert and no second Draw can
// start; it is transient for its parent, so that window managers keep it above that.
// Its owner (the main window) keeps the object after it has closed until the next Draw
// replaces it.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/dialog.h>
#include <gtkmm/frame.h>
#include <gtkmm/scale.h>
#include <gtkmm/window.h>

#include <functional>
#include <memory>

#include "optics/figure_buffer.h"
#include "ui/figure_animation.h"
#include "ui/figure_readout.h"
#include "ui/figure_view.h"
#include "ui/mark_switches.h"
#include "ui/save_dialog.h"

class FigureWindow {
  public:
    // Builds and shows the window for a computed figure above parent, showing frame 0.
    FigureWindow(Gtk::Window& parent, Figure figure);
    // Closes the window if it is still open.
    ~FigureWindow();
    FigureWindow(const FigureWindow&) = delete;
    FigureWindow& operator=(const FigureWindow&) = delete;

    // What Close and the window frame's close do: the animation stops, the frame surfaces
    // and the figure are freed, the grab ends, the window hides.
    void close();
    bool is_open() const { return !closed_; }

    // What F11 does: full screen, or back. The figure follows the window's size whenever the
    // window is larger than it needs to be (a presentation).
    void toggle_full_screen();
    bool full_screen() const { return full_screen_; }
    bool presenting() const { return presenting_; }

    const Figure& figure() const { return view_.figure(); }
    FigureView& view() { return view_; }
    // The turning stage; nullptr outside the animation mode.
    FigureAnimation* animation() { return animation_.get(); }
    SaveDialog& save_dialog() { return *save_dialog_; }
    FigureReadout& readout() { return *readout_; }
    MarkSwitches& mark_switches() { return *mark_switches_; }

    // Asks a movie export in progress to cancel. It removes what it made, and then
    // after_cleanup runs; returns false, and keeps nothing, when no export is running.
    bool cancel_export(std::function<void()> after_cleanup) {
        return save_dialog_->cancel_export(std::move(after_cleanup));
    }

    Gtk::Dialog& dialog() { return dialog_; }
    Gtk::Scale& light_scale() { return *light_scale_; }
    Gtk::Scale& gamma_scale() { return *gamma_scale_; }
    Gtk::Button& save_button() { return *save_; }
    Gtk::Button& close_button() { return *close_; }

  private:
    void build(Gtk::Window& parent);
    // Lets the figure take the room of a window grown beyond its natural size, and gives it
    // back when the window returns to it.
    void follow_window_size();

    FigureView view_;
    bool closed_ = false;
    bool full_screen_ = false;
    bool presenting_ = false;
    sigc::connection relayout_;
    Gtk::Box* row_ = nullptr;
    Gtk::Box* figure_column_ = nullptr;
    Gtk::Frame* frame_ = nullptr;
    Gtk::Dialog dialog_;
    Gtk::Scale* light_scale_ = nullptr;
    Gtk::Scale* gamma_scale_ = nullptr;
    Gtk::Button* save_ = nullptr;
    Gtk::Button* close_ = nullptr;
    std::unique_ptr<FigureReadout> readout_;
    std::unique_ptr<FigureAnimation> animation_;
    std::unique_ptr<SaveDialog> save_dialog_;
    MarkSwitches* mark_switches_ = nullptr;
};
