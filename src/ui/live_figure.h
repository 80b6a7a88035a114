// The figure of the record as it stands, beside the orientation preview in the main window:
// the single image at the record's stage azimuth, in the tones a figure window opens with, so
// that a change of any control shows at once what Draw would show. Edits that arrive faster
// than the screen refreshes are gathered: the figure is computed at most once per frame of
// the display, always from the latest record.
#pragma once

#include <cairomm/context.h>
#include <cairomm/surface.h>
#include <gdkmm/frameclock.h>
#include <gtkmm/drawingarea.h>
#include <gtkmm/frame.h>
#include <gtkmm/tooltip.h>

#include <optional>
#include <string>

#include "optics/figure_buffer.h"
#include "ui/record_editor.h"

class LiveFigure : public Gtk::Frame {
  public:
    // The figure's side in pixels: about the height of the preview with its button.
    static constexpr int kSide = 200;

    explicit LiveFigure(RecordEditor& editor);
    ~LiveFigure() override;
    LiveFigure(const LiveFigure&) = delete;
    LiveFigure& operator=(const LiveFigure&) = delete;

    // The record the live figure computes from: the record with the single-image mode at
    // side kSide.
    static ParameterRecord live_record(const ParameterRecord& record);

    // What the area shows (kSide × kSide), or nullptr before the first computation.
    Cairo::RefPtr<Cairo::ImageSurface> surface() const { return surface_; }
    // The setup of the figure shown.
    const std::optional<DrawSetup>& shown_setup() const { return shown_; }
    // The read-out line of the figure shown at (x, y) of its drawing area, as its tooltip
    // shows it: empty outside the figure circle or before the first computation.
    std::string readout_at(int x, int y) const;
    Gtk::DrawingArea& area() { return area_; }
    // Whether a change waits for the next frame of the display.
    bool pending() const { return tick_ != 0; }
    // How many figures were computed, and how many times the area was painted since the
    // latest one: for tests and for the latency measurement.
    int computations() const { return computations_; }
    int paints_of_latest() const { return paints_; }

  private:
    void on_record_changed();
    bool on_tick(const Glib::RefPtr<Gdk::FrameClock>& clock);
    void compute();
    bool on_area_draw(const Cairo::RefPtr<Cairo::Context>& cr);
    // Where the figure's top-left corner lies in the area: centred in whatever the row gives.
    int figure_left() const;
    int figure_top() const;

    RecordEditor& editor_;
    Gtk::DrawingArea area_;
    Cairo::RefPtr<Cairo::ImageSurface> surface_;
    std::optional<DrawSetup> shown_;
    std::optional<Figure> figure_;  // the figure shown, for the read-out
    guint tick_ = 0;                // the tick callback waiting to compute, 0 when none
    int computations_ = 0;
    int paints_ = 0;
};
