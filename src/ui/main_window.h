// The main window: the mode row above the parameter panels in two columns, the wedge's
// slider while the quartz wedge is chosen, the live figure beside the projection preview, and
// the Draw and Quit buttons. It owns the panels, the
// record editor they share and the figure window of the last Draw. Closing or destroying it
// ends the program at once, also while another window holds the input grab; a movie being
// saved is cancelled first.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/buttonbox.h>
#include <gtkmm/window.h>

#include <memory>

#include "ui/chart_window.h"
#include "ui/figure_window.h"
#include "ui/live_figure.h"
#include "ui/mode_frames.h"
#include "ui/optical_properties_panel.h"
#include "ui/orientation_panel.h"
#include "ui/other_parameters_panel.h"
#include "ui/projection_preview.h"
#include "ui/record_editor.h"
#include "ui/settings_transfer.h"
#include "ui/stage_azimuth_slider.h"
#include "ui/wedge_slider.h"

class MainWindow : public Gtk::Window {
  public:
    // Builds and shows the window for the record: the derived fields take their first values
    // and every panel shows the record.
    explicit MainWindow(ParameterRecord& record);
    // Takes the window down without ending the process: the orderly end after the main loop
    // returned, and the way tests build a fresh window.
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    RecordEditor& editor() { return editor_; }
    ModeFrames& mode_frames() { return mode_frames_; }
    OpticalPropertiesPanel& optical_properties() { return optical_properties_; }
    OrientationPanel& orientation() { return orientation_; }
    OtherParametersPanel& other_parameters() { return other_parameters_; }
    WedgeSlider& wedge_slider() { return wedge_; }
    StageAzimuthSlider& stage_azimuth_slider() { return stage_azimuth_; }
    ProjectionPreview& preview() { return preview_; }
    LiveFigure& live_figure() { return live_; }
    Gtk::Button& draw_button() { return *draw_; }
    Gtk::Button& quit_button() { return *quit_; }
    Gtk::Button& chart_button() { return *chart_button_; }

    // Opens the interference-colour chart beside this window, or brings it forward.
    void show_chart();
    // The chart window once opened (it stays, hidden, when closed), or nullptr.
    ChartWindow* chart_window() { return chart_.get(); }
    SettingsTransfer& settings() { return settings_; }

    // What Draw does: computes the figure of the record as it stands under the progress
    // dialog and opens its window. A cancel leaves everything as it was and opens nothing;
    // a failure does the same after telling the user; while a figure is shown nothing
    // happens.
    void draw();
    // The figure window while it is open, or nullptr.
    FigureWindow* figure_window();

    // What closing this window does: the program ends at once with status 0. A movie being
    // written is cancelled first, through the export itself, and the end waits until it
    // has stopped its encoder and removed its temporaries.
    void end_program();

  private:
    void on_quit();
    bool fit_to_content();

    RecordEditor editor_;
    Gtk::Box outer_{Gtk::ORIENTATION_VERTICAL, 0};
    Gtk::Box upper_{Gtk::ORIENTATION_VERTICAL, 0};
    Gtk::Box columns_{Gtk::ORIENTATION_HORIZONTAL, 0};
    Gtk::Box left_{Gtk::ORIENTATION_VERTICAL, 0};
    Gtk::Box right_{Gtk::ORIENTATION_VERTICAL, 0};
    Gtk::ButtonBox actions_{Gtk::ORIENTATION_HORIZONTAL};
    Gtk::ButtonBox tools_{Gtk::ORIENTATION_HORIZONTAL};
    ModeFrames mode_frames_{editor_};
    OpticalPropertiesPanel optical_properties_{editor_};
    OrientationPanel orientation_{editor_};
    OtherParametersPanel other_parameters_{editor_};
    WedgeSlider wedge_{editor_};
    StageAzimuthSlider stage_azimuth_{editor_};
    Gtk::Box preview_row_{Gtk::ORIENTATION_HORIZONTAL, 0};
    ProjectionPreview preview_{editor_};
    LiveFigure live_{editor_};
    Gtk::Button* draw_ = nullptr;
    Gtk::Button* quit_ = nullptr;
    Gtk::Button* chart_button_ = nullptr;
    SettingsTransfer settings_{*this, editor_};
    sigc::connection exit_on_hide_;
    sigc::connection fit_at_idle_;
    int natural_width_ = 0;
    int natural_height_ = 0;
    bool ending_ = false;
    std::unique_ptr<FigureWindow> figure_;
    std::unique_ptr<ChartWindow> chart_;
};
