// The live figure beside the preview: what Draw would show, computed once per frame of the
// display from the latest record.
#include "ui/live_figure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "gui_harness.h"
#include "panels_fixture.h"

namespace {

class LiveFigureTest : public panels_test::MainWindowPanels {
  protected:
    LiveFigure& live() { return main->live_figure(); }
    Gtk::SpinButton& thickness() { return main->other_parameters().thickness_spin(); }

    // Until the figure of the latest record is on screen.
    void settle() {
        ASSERT_TRUE(gui_test::run_until(
            [this] { return !live().pending() && live().paints_of_latest() > 0; }));
    }
    std::vector<std::uint8_t> live_pixels() { return gui_test::surface_rgb(live().surface()); }
    bool shows_latest_record() {
        const ParameterRecord expected = LiveFigure::live_record(parameters);
        return std::memcmp(&live().shown_setup()->params, &expected, sizeof expected) == 0;
    }

    // What Draw followed by the figure window shows in the single-image mode at the live
    // figure's side.
    std::vector<std::uint8_t> drawn_pixels() {
        EXPECT_EQ(parameters.draw_mode, kSingleImage);
        set(image_size_spin(), LiveFigure::kSide);
        main->draw_button().clicked();
        FigureWindow* figure = main->figure_window();
        EXPECT_NE(figure, nullptr);
        if (figure == nullptr)
            return {};
        EXPECT_EQ(figure->figure().side, LiveFigure::kSide);
        std::vector<std::uint8_t> pixels = gui_test::shown_pixels(*figure);
        figure->close_button().clicked();
        gui_test::run_pending_events();
        return pixels;
    }
};

// Wall time from an edit to the new figure painted, in milliseconds.
double latency_of(LiveFigure& live, const std::function<void()>& edit) {
    const int before = live.computations();
    const auto start = std::chrono::steady_clock::now();
    edit();
    gui_test::run_until(
        [&] { return live.computations() > before && live.paints_of_latest() > 0; });
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

}  // namespace

TEST_F(LiveFigureTest, ShowsWhatDrawShowsInTheSingleImageMode) {
    settle();
    // Beside the preview, level with it and at least as tall.
    ProjectionPreview& preview = main->preview();
    int x = 0;
    int y = 0;
    ASSERT_TRUE(live().translate_coordinates(preview, 0, 0, x, y));
    EXPECT_GE(x, preview.get_allocated_width());
    EXPECT_EQ(y, 0);
    EXPECT_GE(live().get_allocated_height(), preview.get_allocated_height());
    EXPECT_EQ(live().surface()->get_width(), LiveFigure::kSide);
    EXPECT_EQ(live_pixels(), drawn_pixels()) << "uniaxial defaults";

    // Whatever the drawing mode, the live figure stays the single image.
    const std::vector<std::uint8_t> single = live_pixels();
    click(kDrawModeButton);
    click(kDrawModeButton);
    ASSERT_EQ(parameters.draw_mode, kAnimation);
    settle();
    EXPECT_EQ(live().shown_setup()->frame_count, 1);
    EXPECT_EQ(live_pixels(), single) << "animation mode";
    click(kDrawModeButton);
    ASSERT_EQ(parameters.draw_mode, kSingleImage);

    // A test-plate record at another thickness.
    click(kTestPlateButton);
    set(&thickness(), 120.0);
    settle();
    ASSERT_TRUE(shows_latest_record());
    EXPECT_EQ(live_pixels(), drawn_pixels()) << "test plate";
    click(kTestPlateButton);

    // A biaxial crystal, tilted, in the full range and the Wulff projection: the overlay's
    // circle and optic-axis marks must sit where the window puts them.
    click(kCrystalKindButton);
    click(kDrawRangeButton);
    main->preview().projection_button().clicked();
    set(orientation().rotation_theta_spin(), 30.0);
    set(orientation().rotation_angle_spin(), 20.0);
    settle();
    ASSERT_TRUE(shows_latest_record());
    ASSERT_EQ(parameters.axis_type, kBiaxial);
    ASSERT_EQ(parameters.draw_range, kFullRange);
    ASSERT_EQ(parameters.projection_kind, kWulffProjection);
    EXPECT_EQ(live_pixels(), drawn_pixels()) << "biaxial, full range, Wulff";
}

TEST_F(LiveFigureTest, FollowsTheWedgeSliderAsItIsDragged) {
    for (int accessory = 0; accessory < 3; ++accessory)
        click(kTestPlateButton);
    settle();
    Gtk::Scale& slider = main->wedge_slider().scale();
    ASSERT_TRUE(slider.is_visible());
    const auto shown_windows = [] {
        const auto all = Gtk::Window::list_toplevels();
        return std::count_if(all.begin(), all.end(),
                             [](Gtk::Window* w) { return w->is_visible(); });
    };
    const auto windows = shown_windows();
    std::vector<std::uint8_t> before = live_pixels();
    // A drag reports each position the slider passes.
    for (const double nm : {40.0, 150.0, 400.0, 2000.0}) {
        slider.set_value(nm);
        settle();
        EXPECT_EQ(live().shown_setup()->params.wedge_retardation, static_cast<float>(nm));
        EXPECT_NE(live_pixels(), before) << nm;
        before = live_pixels();
    }
    EXPECT_EQ(shown_windows(), windows) << "no window opened";
    EXPECT_EQ(live_pixels(), drawn_pixels()) << "Draw uses the wedge as set";
}

TEST_F(LiveFigureTest, ABurstOfEditsIsComputedAtMostOncePerFrameAndEndsOnTheLast) {
    settle();
    // Fifty edits before the display's next frame: one computation, of the last record.
    int before = live().computations();
    for (int i = 0; i < 50; ++i)
        thickness().set_value(40.0 + 20.0 * i);
    settle();
    EXPECT_EQ(live().computations() - before, 1);
    EXPECT_TRUE(shows_latest_record());

    // Fifty edits with the main loop running between them, as a held-down spin arrow makes
    // them: never more computations than frames of the display.
    int frames = 0;
    const guint counter = live().add_tick_callback([&frames](const Glib::RefPtr<Gdk::FrameClock>&) {
        ++frames;
        return true;
    });
    before = live().computations();
    for (int i = 0; i < 50; ++i) {
        thickness().set_value(1040.0 - 20.0 * i);
        gui_test::run_pending_events();
    }
    settle();
    live().remove_tick_callback(counter);
    const int computed = live().computations() - before;
    EXPECT_GE(computed, 1);
    EXPECT_LE(computed, frames + 1);
    EXPECT_TRUE(shows_latest_record());
    EXPECT_FLOAT_EQ(live().shown_setup()->params.thickness, 60.0f);
    std::printf("[ live figure ] 50 edits between frames: %d computations in %d frames\n", computed,
                frames);
}

TEST_F(LiveFigureTest, LogsTheTimeFromASpinEditToTheNewFigureOnScreen) {
    settle();
    std::vector<double> thickness_ms;
    for (int i = 0; i < 9; ++i)
        thickness_ms.push_back(latency_of(live(), [&] { thickness().set_value(500.0 + i); }));
    click(kCrystalKindButton);
    settle();
    std::vector<double> tilt_ms;
    for (int i = 0; i < 9; ++i)
        tilt_ms.push_back(latency_of(
            live(), [&] { orientation().rotation_theta_spin()->set_value(10.0 + 5.0 * i); }));
    EXPECT_TRUE(shows_latest_record());
    for (auto* times : {&thickness_ms, &tilt_ms}) {
        std::sort(times->begin(), times->end());
        std::printf("[ live figure ] %s edit to figure on screen: median %.1f ms, max %.1f ms\n",
                    times == &thickness_ms ? "thickness" : "biaxial tilt", (*times)[4],
                    times->back());
    }
}
