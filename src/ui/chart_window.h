// The interference-colour chart beside the main window: the chart in the figure's colours
// with the accessory of the record, on which the crystal's line and point follow every edit
// of the indices, the mineral or the thickness. 保存 writes it as PNG, SVG or PDF.
#pragma once

#include <cairomm/context.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/buttonbox.h>
#include <gtkmm/drawingarea.h>
#include <gtkmm/window.h>

#include <optional>
#include <string>
#include <vector>

#include "model/mineral_list.h"
#include "render/colour_chart.h"
#include "ui/record_editor.h"

class ChartWindow : public Gtk::Window {
  public:
    ChartWindow(Gtk::Window& parent, RecordEditor& editor, const std::vector<Mineral>& minerals);
    ~ChartWindow() override;
    ChartWindow(const ChartWindow&) = delete;
    ChartWindow& operator=(const ChartWindow&) = delete;

    // The chart as the area shows it (its size, the crystal of the record as it stands).
    const Chart& chart() const { return chart_; }
    Gtk::DrawingArea& area() { return area_; }
    Gtk::Button& save_button() { return *save_; }

    // Opens the save chooser; the name's extension chooses PNG, SVG or PDF.
    void run_save_dialog();
    // Writes the chart at the renderer's size with the crystal as it stands; a refused
    // extension or a failure is told to the user. Returns whether the file was written.
    bool save(const std::string& path);

  private:
    ChartSettings settings(int width, int height) const;
    void on_record_changed();
    bool on_area_draw(const Cairo::RefPtr<Cairo::Context>& cr);

    RecordEditor& editor_;
    const std::vector<Mineral>& minerals_;
    Gtk::Box outer_{Gtk::ORIENTATION_VERTICAL, 0};
    Gtk::DrawingArea area_;
    Gtk::ButtonBox actions_{Gtk::ORIENTATION_HORIZONTAL};
    Gtk::Button* save_ = nullptr;
    sigc::connection follow_;
    Chart chart_;
};
