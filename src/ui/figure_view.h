// The computed figure on its white drawing area, with a margin on every side, in the tones
// of the figure window's light and gamma. A frame is converted for display the first time
// it is shown at the current tones, and kept until the tones change. When the area grows
// beyond the figure (a presentation), the figure is computed again at the shown size in the
// background and shown once it is ready; until then the figure keeps its own size, centred,
// rather than showing an enlarged, soft picture.
#pragma once

#include <cairomm/surface.h>
#include <glibmm/main.h>
#include <gtkmm/drawingarea.h>

#include <optional>
#include <vector>

#include "optics/background_figure.h"
#include "optics/figure_buffer.h"
#include "output/figure_marks.h"
#include "render/tone_table.h"

class FigureView {
  public:
    // Shows frame 0 at the tones the figure was computed for.
    explicit FigureView(Figure figure);
    ~FigureView();
    FigureView(const FigureView&) = delete;
    FigureView& operator=(const FigureView&) = delete;

    const Figure& figure() const { return figure_; }
    const ToneTable& tone_table() const { return tones_; }
    // The tones of the light and gamma for another computation of the same record.
    ToneTable tone_table_for(const Figure& other) const;
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
    bool converted(int frame) const { return frames_.ready.at(std::size_t(frame)); }

    // The side of the figure the area shows now: the figure's own, or that of a computation
    // at the area's size once it is ready.
    int shown_side() const;
    // Whether a computation at the area's size is under way.
    bool recomputing() const { return sharper_.busy(); }

    static constexpr int kMargin = 5;

  private:
    // The frames of one figure, converted for display as they are shown.
    struct Frames {
        std::vector<Cairo::RefPtr<Cairo::ImageSurface>> surfaces;
        std::vector<bool> ready;
    };
    static void convert(const Figure& figure, const ToneTable& tones, const FigureMarks& marks,
                        Frames& frames, int frame);
    // Every frame is stale (new marks or overlays): the shown one is converted again.
    void convert_again();
    bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr);
    // The side the area has room for, and a computation at it when that is larger than what
    // is shown; waits until the area has stopped changing.
    void follow_area_size();
    bool collect_sharper();

    Figure figure_;
    ToneTable tones_{};
    FigureMarks marks_;
    float light_ = 0.0f;
    float gamma_ = 0.0f;
    Frames frames_;
    std::optional<Figure> large_;  // computed at the presentation's size
    ToneTable large_tones_{};
    Frames large_frames_;
    BackgroundFigure sharper_;
    int wanted_side_ = 0;  // the side a computation was last started for
    sigc::connection settle_;
    sigc::connection poll_;
    int current_frame_ = 0;
    Cairo::RefPtr<Cairo::ImageSurface> displayed_;
    Gtk::DrawingArea area_;
};
