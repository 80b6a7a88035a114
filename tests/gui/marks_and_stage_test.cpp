// The stage azimuth slider of the main window and the figure window's Marks and Caption
// switches, as a lecturer uses them to prepare a slide.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "output/figure_marks.h"
#include "output/file_extension.h"
#include "output/still_writers.h"
#include "panels_fixture.h"
#include "render/frame_rendering.h"
#include "support/files.h"

namespace {

namespace fs = std::filesystem;

class MarksAndStageTest : public panels_test::MainWindowPanels {
  protected:
    void settle() {
        LiveFigure& live = main->live_figure();
        ASSERT_TRUE(gui_test::run_until(
            [&live] { return !live.pending() && live.paints_of_latest() > 0; }));
    }
    std::vector<std::uint8_t> live_pixels() {
        return gui_test::surface_rgb(main->live_figure().surface());
    }
    FigureWindow& draw() {
        main->draw_button().clicked();
        FigureWindow* figure = main->figure_window();
        EXPECT_NE(figure, nullptr);
        return *figure;
    }
};

TEST_F(MarksAndStageTest, StageAzimuthTurnsTheLiveFigureAndTheDrawnSingleImage) {
    // An inclined optic axis, whose melatope goes round as the stage turns.
    set(orientation().c_theta_spin(), 30.0);
    settle();
    const std::vector<std::uint8_t> at_zero = live_pixels();
    Gtk::Scale& slider = main->stage_azimuth_slider().scale();
    EXPECT_FALSE(slider.get_tooltip_text().empty());
    slider.set_value(45.0);
    settle();
    EXPECT_EQ(parameters.stage_azimuth, 45.0f);
    EXPECT_EQ(main->live_figure().shown_setup()->params.stage_azimuth, 45.0f);
    EXPECT_NE(live_pixels(), at_zero);

    // Draw shows the single image at that azimuth, as the live figure does.
    set(image_size_spin(), LiveFigure::kSide);
    FigureWindow& figure = draw();
    EXPECT_EQ(figure.figure().setup.params.stage_azimuth, 45.0f);
    EXPECT_EQ(gui_test::shown_pixels(figure), live_pixels());
    figure.close_button().clicked();
    gui_test::run_pending_events();

    // Turned back, the figure is today's again.
    slider.set_value(0.0);
    settle();
    EXPECT_EQ(live_pixels(), at_zero);
}

TEST_F(MarksAndStageTest, SwitchesRedrawTheFigureAndSaveKeepsWhatIsShown) {
    click(kTestPlateButton);
    FigureWindow& window = draw();
    MarkSwitches& switches = window.mark_switches();
    EXPECT_FALSE(switches.marks_switch().get_active());
    EXPECT_FALSE(switches.caption_switch().get_active());
    EXPECT_FALSE(switches.marks_switch().get_tooltip_text().empty());
    EXPECT_FALSE(switches.caption_switch().get_tooltip_text().empty());

    const Figure& figure = window.figure();
    const ToneTable& tones = window.view().tone_table();
    const std::vector<std::uint8_t> plain = gui_test::shown_pixels(window);
    EXPECT_EQ(plain, render_still(figure, 0, tones)) << "off: the figure as before";
    switches.marks_switch().set_active(true);
    gui_test::run_pending_events();
    EXPECT_EQ(gui_test::shown_pixels(window), marked_still(figure, 0, tones, {true, false}));
    switches.caption_switch().set_active(true);
    gui_test::run_pending_events();
    const std::vector<std::uint8_t> marked = gui_test::shown_pixels(window);
    EXPECT_EQ(marked, marked_still(figure, 0, tones, {true, true}));
    EXPECT_NE(marked, plain);

    // The saved still holds the marks the window shows.
    const fs::path dir = fs::temp_directory_path() / ("lumitra-marks-" + std::to_string(getpid()));
    fs::create_directories(dir);
    window.save_dialog().save_still((dir / "slide.bmp").string(), OutputFormat::kBmp);
    ASSERT_EQ(write_bmp((dir / "shown.bmp").c_str(), marked.data(), figure.side, figure.side), 1);
    EXPECT_EQ(read_bytes(dir / "slide.bmp"), read_bytes(dir / "shown.bmp"));
    fs::remove_all(dir);
}

}  // namespace
