// The small drawing of the crystal's axes seen from above, with the button that switches
// between the sine and the Wulff projection (the projection of the computed figure too). It
// is painted afresh on every change of the record.
#pragma once

#include <cairomm/context.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/drawingarea.h>
#include <gtkmm/frame.h>
#include <gtkmm/label.h>

#include "ui/record_editor.h"

class ProjectionPreview : public Gtk::Frame {
  public:
    // The button shows the record's projection; the drawing is painted at the first change
    // of the record the preview hears of.
    explicit ProjectionPreview(RecordEditor& editor);

    Gtk::Button& projection_button() { return *button_; }
    // What the drawing's circles stand for.
    Gtk::Label& circle_legend() { return legend_; }
    // The off-screen picture the drawing area shows: its pixels are what the user sees.
    Cairo::RefPtr<Cairo::ImageSurface> surface() const { return picture_; }

  private:
    void show_record();
    void paint_picture();
    void draw_legend(const Cairo::RefPtr<Cairo::Context>& cr);
    bool on_area_draw(const Cairo::RefPtr<Cairo::Context>& cr);

    RecordEditor& editor_;
    Gtk::Box column_{Gtk::ORIENTATION_VERTICAL, 0};
    Gtk::Button* button_ = nullptr;
    Gtk::DrawingArea area_;
    Gtk::Label legend_;
    Cairo::RefPtr<Cairo::ImageSurface> picture_;
};
