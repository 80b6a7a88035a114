// Reading the figure in the windows: the line under the figure window's figure follows the
// pointer, the vibration-direction switch redraws the frames, and the live figure's tooltip
// reads the same values.
#include "ui/figure_readout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "gui_harness.h"
#include "model/derived_values.h"
#include "optics/figure_computation.h"
#include "panels_fixture.h"
#include "support/scripted_progress.h"
#include "ui/figure_window.h"
#include "ui/live_figure.h"

namespace {

// The retardation the line shows, in nm: the number after "Γ ".
double shown_retardation(const std::string& line) {
    const std::size_t at = line.find("\u0393 ");
    EXPECT_NE(at, std::string::npos) << line;
    return at == std::string::npos ? NAN : std::stod(line.substr(at + 3));
}

// A pointer motion over the widget, dispatched as the display server's would be.
void move_pointer(Gtk::Widget& widget, double x, double y) {
    GdkEvent* event = gdk_event_new(GDK_MOTION_NOTIFY);
    event->motion.window = GDK_WINDOW(g_object_ref(widget.get_window()->gobj()));
    event->motion.send_event = TRUE;
    event->motion.x = x;
    event->motion.y = y;
    GdkSeat* seat = gdk_display_get_default_seat(widget.get_display()->gobj());
    gdk_event_set_device(event, gdk_seat_get_pointer(seat));
    gtk_widget_event(widget.gobj(), event);
    gdk_event_free(event);
}

class FigureReadoutTest : public panels_test::MainWindowPanels {};

// The default section (30 µm, ω 1.544, ε 1.553, NA 0.65) on a 200-pixel figure: nothing at
// the centre; at the rim, 99.5 pixels out of 100, the wave normal runs at
// asin(0.65 · 0.995 / n̄) ≈ 24.7° and Γ = (n_e − ω) t / cos θ ≈ 51 nm.
TEST_F(FigureReadoutTest, LineFollowsThePointerFromCentreToRim) {
    ParameterRecord record = parameters;
    update_derived_fields(record);
    ScriptedProgress progress;
    Gtk::Window owner;
    FigureWindow window(owner, *compute_figure(prepare_draw(record), progress));
    gui_test::run_pending_events();
    Gtk::DrawingArea& area = window.view().area();
    const double m = FigureView::kMargin;
    Gtk::Label& line = window.readout().line();

    move_pointer(area, m + 100, m + 100);
    EXPECT_NEAR(shown_retardation(line.get_text()), 0.0, 0.5);
    move_pointer(area, m + 199, m + 100);
    const double mean = std::sqrt(1.544 * 1.553), theta = std::asin(0.65 * 0.995 / mean);
    const double ne = 1 / std::hypot(std::cos(theta) / 1.544, std::sin(theta) / 1.553);
    EXPECT_NEAR(shown_retardation(line.get_text()), (ne - 1.544) * 30000 / std::cos(theta), 0.6);
    move_pointer(area, m + 2, m + 2);  // a corner, outside the circle
    EXPECT_EQ(line.get_text(), "");
    move_pointer(area, m + 150, m + 100);
    EXPECT_NE(line.get_text(), "");
    window.readout().pointer_left();
    EXPECT_EQ(line.get_text(), "");
}

TEST_F(FigureReadoutTest, SwitchDrawsTheVibrationDirectionsAndTakesThemAway) {
    ParameterRecord record = parameters;
    record.axis_type = kBiaxial;
    update_derived_fields(record);
    ScriptedProgress progress;
    Gtk::Window owner;
    FigureWindow window(owner, *compute_figure(prepare_draw(record), progress));
    gui_test::run_pending_events();
    const std::vector<std::uint8_t> plain = gui_test::shown_pixels(window);
    window.readout().vibration_switch().set_active(true);
    EXPECT_NE(gui_test::shown_pixels(window), plain);
    EXPECT_TRUE(window.figure().setup.vibration_directions) << "a still saved now shows them";
    window.readout().vibration_switch().set_active(false);
    EXPECT_EQ(gui_test::shown_pixels(window), plain);
}

TEST_F(FigureReadoutTest, LiveFigureTooltipReadsTheFigureShown) {
    ASSERT_TRUE(gui_test::run_until([this] { return bool(main->live_figure().surface()); }));
    LiveFigure& live = main->live_figure();
    const int left = (live.area().get_allocated_width() - LiveFigure::kSide) / 2;
    const int top = (live.area().get_allocated_height() - LiveFigure::kSide) / 2;
    EXPECT_NEAR(shown_retardation(live.readout_at(left + 100, top + 100)), 0.0, 0.5);
    EXPECT_GT(shown_retardation(live.readout_at(left + 190, top + 100)), 30.0);
    EXPECT_EQ(live.readout_at(left + 1, top + 1), "");
}

}  // namespace
