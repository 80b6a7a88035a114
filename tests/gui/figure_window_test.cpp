#include "ui/figure_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/program.h"
#include "gui_harness.h"
#include "model/animation.h"
#include "model/derived_values.h"
#include "model/parameter_record.h"
#include "optics/figure_computation.h"
#include "support/files.h"
#include "support/scripted_progress.h"
#include "ui/main_window.h"

namespace {

constexpr char kTitle[] = "Lumitra - Interference Figure";

class FigureWindowTest : public gui_test::GuiTest {
  protected:
    void TearDown() override {
        shown.reset();
        main.reset();
        GuiTest::TearDown();
    }
    MainWindow& build() {
        main = std::make_unique<MainWindow>(parameters);
        return *main;
    }
    FigureWindow& open(Figure figure) {
        shown = std::make_unique<FigureWindow>(owner, std::move(figure));
        return *shown;
    }
    std::unique_ptr<MainWindow> main;
    // The parent of a figure window opened without a Draw.
    Gtk::Window owner;
    std::unique_ptr<FigureWindow> shown;
};
using FigureWindowDeathTest = FigureWindowTest;

// The record as the panels leave it for a mode, the way a user sets it up before Draw.
void choose_mode(ParameterRecord& record, int mode) {
    record.draw_mode = mode;
    update_derived_fields(record);
}

Figure compute(const ParameterRecord& record) {
    ScriptedProgress progress;
    std::optional<Figure> figure = compute_figure(prepare_draw(record), progress);
    EXPECT_TRUE(figure.has_value());
    return std::move(*figure);
}

struct Range {
    double lower, upper, step, page, value;
    int digits;
};

void expect_range(Gtk::Scale& scale, const Range& range, const char* name) {
    Glib::RefPtr<Gtk::Adjustment> adjustment = scale.get_adjustment();
    EXPECT_NEAR(adjustment->get_lower(), range.lower, 1e-6) << name;
    EXPECT_NEAR(adjustment->get_upper(), range.upper, 1e-5) << name;
    EXPECT_NEAR(adjustment->get_step_increment(), range.step, 1e-6) << name;
    EXPECT_NEAR(adjustment->get_page_increment(), range.page, 1e-6) << name;
    EXPECT_NEAR(adjustment->get_page_size(), range.page, 1e-6) << name;
    EXPECT_NEAR(adjustment->get_value(), range.value, 1e-5) << name;
    EXPECT_EQ(scale.get_digits(), range.digits) << name;
}

}  // namespace

TEST_F(FigureWindowTest, DrawOpensTheWindowWithTheSlidersOfItsMode) {
    build();
    for (int mode : {kSingleImage, kAnimation}) {
        choose_mode(parameters, mode);
        main->draw_button().clicked();
        FigureWindow* window = main->figure_window();
        ASSERT_NE(window, nullptr) << mode;
        EXPECT_EQ(gui_test::find_window(kTitle), &window->dialog());

        const int side = window->figure().side;
        EXPECT_EQ(side, mode == kSingleImage ? 200 : 100);
        int width = 0;
        int height = 0;
        window->view().area().get_size_request(width, height);
        EXPECT_EQ(width, side + 10);
        EXPECT_EQ(height, side + 10);
        // The figure is drawn at the margin from the area's corner; the area must leave the
        // same margin on the far sides, also where the animation's buttons widen the column.
        Gtk::DrawingArea& area = window->view().area();
        ASSERT_TRUE(gui_test::run_until([&] { return area.get_allocated_width() > 1; }));
        const int margin = FigureView::kMargin;
        EXPECT_EQ(area.get_allocated_width() - margin - side, margin) << "right, mode " << mode;
        EXPECT_EQ(area.get_allocated_height() - margin - side, margin) << "bottom, mode " << mode;
        EXPECT_EQ(window->dialog().get_transient_for(), main.get()) << "kept above its owner";

        const float reference = window->figure().reference_light;
        expect_range(window->light_scale(), {0.0, 2.0 * reference, 0.1, 0.1, reference, 1},
                     "light");
        expect_range(window->gamma_scale(), {1.0, 10.1, 0.1, 0.1, 2.4, 1}, "gamma");

        const auto labels = gui_test::label_texts(window->dialog());
        for (const char* text : {"光量", "ガンマ値", "保存", "閉じる"})
            EXPECT_TRUE(gui_test::contains(labels, text)) << text;
        if (mode == kAnimation) {
            ASSERT_NE(window->animation(), nullptr);
            expect_range(window->animation()->speed_scale(), {10, 91, 1, 1, 45, 0}, "speed");
            expect_range(window->animation()->azimuth_scale(), {0, 360, 1, 1, 0, 0}, "azimuth");
            EXPECT_TRUE(gui_test::contains(labels, "スピード"));
            EXPECT_TRUE(gui_test::contains(labels, "方位角"));
            EXPECT_TRUE(gui_test::contains(labels, "開始"));
            EXPECT_TRUE(gui_test::contains(labels, "停止"));
        } else {
            EXPECT_EQ(window->animation(), nullptr);
            EXPECT_FALSE(gui_test::contains(labels, "開始"));
        }

        // The main window is inert: the figure window holds the input grab, and a Draw that
        // reaches the handler anyway opens no second window.
        EXPECT_EQ(gui_test::grab_window(), GTK_WIDGET(window->dialog().gobj()));
        main->draw_button().clicked();
        EXPECT_EQ(main->figure_window(), window);

        window->close_button().clicked();
        gui_test::run_pending_events();
        EXPECT_EQ(main->figure_window(), nullptr);
        EXPECT_EQ(gui_test::find_window(kTitle), nullptr);
        EXPECT_EQ(gui_test::grab_window(), nullptr) << "the main window takes input again";
    }
}

TEST_F(FigureWindowTest, ShowsTheStoredLevelsThroughTheToneTable) {
    choose_mode(parameters, kSingleImage);
    FigureWindow& window = open(compute(parameters));
    gui_test::run_pending_events();

    // At the initial light and gamma a level k shows as trunc(255 k / 254); the outside
    // (255) stays white.
    const std::vector<std::uint8_t> shown = gui_test::shown_pixels(window);
    const std::span<const std::uint8_t> levels = window.figure().frame(0);
    ASSERT_EQ(shown.size(), levels.size());
    std::size_t mismatches = 0;
    for (std::size_t i = 0; i < levels.size(); ++i)
        mismatches += shown[i] != (levels[i] == 255 ? 255 : levels[i] * 255 / 254);
    EXPECT_EQ(mismatches, 0u);
    EXPECT_EQ(shown[0], 255) << "corner outside the figure";

    // No light: the figure is black on the white ground.
    window.light_scale().set_value(0.0);
    const std::vector<std::uint8_t> dark = gui_test::shown_pixels(window);
    for (std::size_t i = 0; i < levels.size(); ++i) {
        ASSERT_EQ(dark[i], levels[i] == 255 ? 255 : 0) << i;
    }
    EXPECT_TRUE(window.view().converted(0));
}

TEST_F(FigureWindowTest, FigureWithoutLightStaysBlackAtEveryLight) {
    // A 21-pixel figure whose inside is level 0 everywhere, as an isotropic plate without
    // the test plate gives it; its reference light is the stand-in 1.
    Figure figure;
    figure.setup = prepare_draw(parameters);
    figure.side = 21;
    figure.frames = 1;
    figure.reference_light = 1.0f;
    figure.pixels.assign(3 * 21 * 21, 255);
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 21; ++x)
            if ((x - 10) * (x - 10) + (y - 10) * (y - 10) <= 100)
                std::fill_n(figure.pixels.begin() + 3 * (21 * y + x), 3, 0);
    FigureWindow& window = open(std::move(figure));
    const auto adjustment = window.light_scale().get_adjustment();
    EXPECT_NEAR(adjustment->get_upper(), 2.0, 1e-6);
    for (double light : {0.0, 1.0, 1.9}) {
        window.light_scale().set_value(light);
        const std::vector<std::uint8_t> shown = gui_test::shown_pixels(window);
        EXPECT_EQ(shown[3 * (21 * 10 + 10)], 0) << light;
        EXPECT_EQ(shown[0], 255) << light;
    }
}

TEST_F(FigureWindowTest, FullRangeBiaxialFigureCarriesItsCircleAndTwoMarks) {
    parameters.axis_type = kBiaxial;
    parameters.draw_range = kFullRange;
    choose_mode(parameters, kSingleImage);
    FigureWindow& window = open(compute(parameters));
    const std::vector<std::uint8_t> shown = gui_test::shown_pixels(window);
    int green = 0;
    int yellow = 0;
    for (std::size_t i = 0; i < shown.size(); i += 3) {
        green += shown[i] == 0 && shown[i + 1] == 255 && shown[i + 2] == 0;
        yellow += shown[i] == 255 && shown[i + 1] == 255 && shown[i + 2] == 0;
    }
    // A one-pixel circle of radius about 42 has some 8 × 42 / √2 ≈ 240 pixels; two discs of
    // radius 2 have 9 to 14 pixels each.
    EXPECT_GT(green, 200);
    EXPECT_LT(green, 300);
    EXPECT_GE(yellow, 18);
    EXPECT_LE(yellow, 28);
    // A's mark, 100 × sin 15° = 25.9 pixels right of the centre (99.5, 99.5).
    const std::size_t a = 3 * (200 * 100 + 125);
    EXPECT_EQ(shown[a], 255);
    EXPECT_EQ(shown[a + 1], 255);
    EXPECT_EQ(shown[a + 2], 0);
}

TEST_F(FigureWindowTest, RendererDrawsWhatTheWindowDrawsAfterAnOpticAxialAngleEdit) {
    build();
    main->mode_frames().button(kCrystalKindButton).clicked();
    main->mode_frames()
        .button(kDrawRangeButton)
        .clicked();  // full range: the optic axes are marked
    main->optical_properties().two_vz_spin()->set_value(40);
    gui_test::run_pending_events();
    main->draw_button().clicked();
    FigureWindow* window = main->figure_window();
    ASSERT_NE(window, nullptr);

    const std::string out = ::testing::TempDir() + "lumitra_two_vz_40.ppm";
    const std::string command =
        std::string(LUMITRA_RENDER_PATH) + " --axis-type 1 --draw-range 1 --two-vz 40 --out " + out;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::vector<std::uint8_t> file = read_bytes(out);
    std::remove(out.c_str());
    const std::string header = "P6\n200 200\n255\n";
    ASSERT_GT(file.size(), header.size());
    EXPECT_EQ(std::string(file.begin(), file.begin() + header.size()), header);
    const std::vector<std::uint8_t> shown = gui_test::shown_pixels(*window);
    EXPECT_TRUE(std::equal(file.begin() + header.size(), file.end(), shown.begin(), shown.end()))
        << "the window and the renderer differ";
}

TEST_F(FigureWindowTest, AnimationPlaysAsATurningStage) {
    choose_mode(parameters, kAnimation);
    FigureWindow& window = open(compute(parameters));
    ASSERT_NE(window.animation(), nullptr);
    FigureAnimation& stage = *window.animation();
    FigureView& view = window.view();
    ASSERT_EQ(window.figure().frames, 72);
    EXPECT_EQ(stage.stage().period_ms(), 111);
    EXPECT_FLOAT_EQ(stage.frames_per_second(), 9.0f);

    stage.start_button().clicked();
    stage.start_button().clicked();
    EXPECT_EQ(stage.active_timeouts(), 1) << "a second Start adds no timeout";
    EXPECT_TRUE(stage.stage().running());

    // Playing: the stage turns, the slider follows without counting as the user's change,
    // and the frame shown is the frame of the azimuth.
    ASSERT_TRUE(gui_test::run_until([&] { return stage.stage().azimuth() > 15.0f; }));
    const float azimuth = stage.stage().azimuth();
    EXPECT_NEAR(stage.azimuth_scale().get_value(), azimuth, 1e-4);
    EXPECT_EQ(view.current_frame(), frame_for_azimuth(72, azimuth));
    EXPECT_EQ(stage.active_timeouts(), 1);

    // Save while playing does nothing: no chooser appears.
    bool chooser_opened = false;
    gui_test::inject(
        [&] {
            if (Gtk::FileChooserDialog* chooser = window.save_dialog().chooser()) {
                chooser_opened = true;
                chooser->response(Gtk::RESPONSE_CANCEL);
            }
        },
        50);
    window.save_button().clicked();
    gui_test::run_until([] { return false; }, 100);
    EXPECT_FALSE(chooser_opened);

    stage.speed_scale().set_value(90.0);
    EXPECT_EQ(stage.stage().period_ms(), 55);
    EXPECT_EQ(stage.active_timeouts(), 1);

    stage.stop_button().clicked();
    stage.stop_button().clicked();
    EXPECT_EQ(stage.active_timeouts(), 0);
    EXPECT_FALSE(stage.stage().running());

    // The user's azimuth shows its frame, playing or not.
    stage.azimuth_scale().set_value(359.0);
    EXPECT_EQ(view.current_frame(), 71);
    EXPECT_FALSE(view.converted(60)) << "frames never shown are never converted";

    // A tone change converts the shown frame at once and leaves the others stale.
    window.gamma_scale().set_value(3.0);
    EXPECT_TRUE(view.converted(71));
    EXPECT_FALSE(view.converted(0));
}

TEST_F(FigureWindowTest, ClosingWhilePlayingStopsTheStageFirst) {
    choose_mode(parameters, kAnimation);
    FigureWindow& window = open(compute(parameters));
    ASSERT_NE(window.animation(), nullptr);
    FigureAnimation& stage = *window.animation();
    stage.speed_scale().set_value(90.0);
    stage.start_button().clicked();
    gui_test::run_until([] { return false; }, 150);
    gui_test::send_window_close(window.dialog());
    ASSERT_TRUE(gui_test::run_until([&] { return !window.is_open(); }));
    // Ticks would reach freed frames if the timeout had survived the window.
    gui_test::run_until([] { return false; }, 200);
    EXPECT_EQ(stage.active_timeouts(), 0);
    EXPECT_EQ(gui_test::grab_window(), nullptr);
}

TEST_F(FigureWindowTest, QuitStillEndsTheProgramWhileAFigureIsShown) {
    gui_test::inject([] {
        MainWindow& main_window = *gui_test::find_main_window();
        main_window.draw_button().clicked();
        ASSERT_NE(main_window.figure_window(), nullptr);
        main_window.quit_button().clicked();
    });
    gui_test::Watchdog watchdog;
    char name[] = "lumitra";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(run_lumitra(1, argv), 0);
}

TEST_F(FigureWindowDeathTest, ClosingTheMainWindowEndsTheProgramWhileAFigureIsShown) {
    EXPECT_EXIT(
        {
            build().draw_button().clicked();
            gui_test::run_pending_events();
            gui_test::send_window_close(*main);
            gui_test::run_until([] { return false; }, 3000);
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}
