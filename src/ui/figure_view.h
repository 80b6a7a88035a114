// The computed figure on its white drawing area, with a margin on every side, in the tones
// of the figure window's light and gamma. A frame is converted for display the first time
// it is shown at the current tones, and kept until the tones change.
#pragma once

#include <cairomm/surface.h>
#include <gtkmm/drawingarea.h>

#include <vector>

#include "optics/figure_buffer.h"
#include "output/figure_marks.h"
#include "render/tone_table.h"

class FigureView {
  public:
    // Shows frame 0 at the tones the figure was computed for.
    explicit FigureView(Figure figure);
    FigureView(const FigureView&) = delete;
    FigureView& operator=(const FigureView&) = delete;

    const Figure& figure() const { return figure_; }
    const ToneTable& tone_table() const { return tones_; }
    // The frame the area shows; the one a still is saved from.
    int current_frame() const { return current_frame_; }

    // New tones: every frame is stale, and the shown one is converted again and painted.
    void set_tones(float light, float gamma);
    // New marks: every frame is drawn again with them.
    void set_marks(const FigureMarks& marks);
    const FigureMarks& marks() const { return marks_; }
    void show_frame(int frame);
    // Draws the vibration directions over every frame, or stops: every frame is stale.
    void set_vibration_directions(bool shown);
    // Paints the whole area now.
    void redraw();
    // Frees the frames and the figure once the window has closed.
    void release();

    Gtk::DrawingArea& area() { return area_; }
    // What the area shows of the figure (S × S, without the margin).
    Cairo::RefPtr<Cairo::ImageSurface> shown_surface() const { return displayed_; }
    // Whether a frame has been converted at the current tones.
    bool converted(int frame) const { return ready_.at(std::size_t(frame)); }

    static constexpr int kMargin = 5;

  private:
    void convert(int frame);
    bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr);

    Figure figure_;
    ToneTable tones_{};
    FigureMarks marks_;
    std::vector<Cairo::RefPtr<Cairo::ImageSurface>> surfaces_;
    std::vector<bool> ready_;
    int current_frame_ = 0;
    Cairo::RefPtr<Cairo::ImageSurface> displayed_;
    Gtk::DrawingArea area_;
};
