// The stage azimuth slider of the main window and the figure window's Marks and Caption
// switches, as a lecturer uses them to prepare a slide.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "output/figure_marks.h"
#include "output/still_writers.h"
#include "panels_fixture.h"
#include "render/frame_rendering.h"
#include "support/files.h"

namespace {

using MarksAndStageTest = panels_test::MainWindowPanels;
namespace fs = std::filesystem;

TEST_F(MarksAndStageTest, StageTurnsLiveFigureAndDrawAndSaveKeepsTheShownMarks) {
    LiveFigure& live = main->live_figure();
    const auto live_pixels = [&] {
        EXPECT_TRUE(
            gui_test::run_until([&] { return !live.pending() && live.paints_of_latest(); }));
        return gui_test::surface_rgb(live.surface());
    };
    set(orientation().c_theta_spin(), 30.0);  // a melatope that goes round with the stage
    click(kTestPlateButton);
    set(image_size_spin(), LiveFigure::kSide);
    const std::vector<std::uint8_t> at_zero = live_pixels();
    Gtk::Scale& slider = main->stage_azimuth_slider().scale();
    EXPECT_FALSE(slider.get_tooltip_text().empty());
    slider.set_value(45.0);
    EXPECT_EQ(parameters.stage_azimuth, 45.0f);
    const std::vector<std::uint8_t> turned = live_pixels();
    EXPECT_NE(turned, at_zero);

    main->draw_button().clicked();
    FigureWindow& window = *main->figure_window();
    EXPECT_EQ(gui_test::shown_pixels(window), turned) << "Draw shows the live figure's turn";
    MarkSwitches& switches = window.mark_switches();
    EXPECT_FALSE(switches.marks_switch().get_active() || switches.caption_switch().get_active());
    EXPECT_FALSE(switches.caption_switch().get_tooltip_text().empty());
    switches.marks_switch().set_active(true);
    switches.caption_switch().set_active(true);
    gui_test::run_pending_events();
    const std::vector<std::uint8_t> marked = gui_test::shown_pixels(window);
    EXPECT_EQ(marked, marked_still(window.figure(), 0, window.view().tone_table(), {true, true}));
    EXPECT_NE(marked, turned);

    // The saved still holds the marks the window shows.
    const fs::path dir = fs::temp_directory_path() / ("lumitra-marks-" + std::to_string(getpid()));
    fs::create_directories(dir);
    window.save_dialog().save_still((dir / "slide.bmp").string(), OutputFormat::kBmp);
    const int side = window.figure().side;
    ASSERT_EQ(write_bmp((dir / "shown.bmp").c_str(), marked.data(), side, side), 1);
    EXPECT_EQ(read_bytes(dir / "slide.bmp"), read_bytes(dir / "shown.bmp"));
    fs::remove_all(dir);
}

}  // namespace
