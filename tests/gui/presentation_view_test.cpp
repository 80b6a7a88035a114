// The figure window as a presentation: grown (or full screen), it shows the figure computed
// at the size it has room for, the very pixels lumitra-render writes at that size.
#include <gdk/gdkkeysyms.h>
#include <gdkmm/window.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "model/derived_values.h"
#include "model/parameter_record.h"
#include "optics/figure_computation.h"
#include "support/files.h"
#include "support/scripted_progress.h"
#include "ui/figure_window.h"

namespace {

class PresentationViewTest : public gui_test::GuiTest {
  protected:
    void TearDown() override {
        shown.reset();
        GuiTest::TearDown();
    }
    FigureWindow& open(int mode) {
        parameters.draw_mode = mode;
        update_derived_fields(parameters);
        ScriptedProgress progress;
        std::optional<Figure> figure = compute_figure(prepare_draw(parameters), progress);
        EXPECT_TRUE(figure.has_value());
        shown = std::make_unique<FigureWindow>(owner, std::move(*figure));
        return *shown;
    }
    Gtk::Window owner;
    std::unique_ptr<FigureWindow> shown;
};

// The frame's pixels as the renderer writes them in a PPM of the given options.
std::vector<std::uint8_t> rendered_pixels(const std::string& options, int side) {
    const std::string out = ::testing::TempDir() + "lumitra_presentation.ppm";
    const std::string command =
        std::string(LUMITRA_RENDER_PATH) + " " + options + " --out " + out + " 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    const std::vector<std::uint8_t> file = read_bytes(out);
    std::remove(out.c_str());
    const std::string header =
        "P6\n" + std::to_string(side) + " " + std::to_string(side) + "\n255\n";
    if (file.size() < header.size() ||
        std::string(file.begin(), file.begin() + header.size()) != header)
        return {};
    return {file.begin() + std::ptrdiff_t(header.size()), file.end()};
}

void press_f11(FigureWindow& window) {
    GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
    event->key.window = GDK_WINDOW(g_object_ref(window.dialog().get_window()->gobj()));
    event->key.keyval = GDK_KEY_F11;
    gtk_widget_event(GTK_WIDGET(window.dialog().gobj()), event);
    gdk_event_free(event);
}

}  // namespace

TEST_F(PresentationViewTest, AGrownWindowShowsTheFigureComputedAtItsSize) {
    struct Case {
        int mode;
        const char* options;
    };
    parameters.axis_type = kBiaxial;
    parameters.animation_step = 10;
    for (const Case c :
         {Case{kSingleImage, "--axis-type 1"}, Case{kAnimation,
                                                    "--axis-type 1 --draw-mode 2 "
                                                    "--animation-step 10 --frame 0"}}) {
        SCOPED_TRACE(c.mode);
        FigureWindow& window = open(c.mode);
        FigureView& view = window.view();
        const int own = window.figure().side;
        ASSERT_TRUE(gui_test::run_until([&] { return view.area().get_allocated_width() > 1; }));
        EXPECT_FALSE(window.presenting());

        window.dialog().resize(760, 700);
        ASSERT_TRUE(gui_test::run_until(
            [&] { return view.shown_side() > own && !view.recomputing(); }, 60000));
        EXPECT_TRUE(window.presenting());
        const int room =
            std::min(view.area().get_allocated_width(), view.area().get_allocated_height()) -
            2 * FigureView::kMargin;
        const int side = view.shown_side();
        EXPECT_EQ(side, room) << "the figure fills the room it has";
        EXPECT_TRUE(gui_test::shown_pixels(window) ==
                    rendered_pixels(
                        std::string(c.options) + " --output-size " + std::to_string(side), side))
            << "computed at " << side << ", not enlarged from " << own;

        // Back at its natural size, the window shows the figure of the Draw again.
        window.dialog().resize(1, 1);
        ASSERT_TRUE(gui_test::run_until([&] { return view.shown_side() == own; }, 5000));
        EXPECT_TRUE(gui_test::run_until([&] { return !window.presenting(); }, 5000));
        window.close();
    }
}

TEST_F(PresentationViewTest, F11TogglesFullScreen) {
    FigureWindow& window = open(kSingleImage);
    ASSERT_TRUE(gui_test::run_until([&] { return bool(window.dialog().get_window()); }));
    EXPECT_FALSE(window.full_screen());
    press_f11(window);
    EXPECT_TRUE(window.full_screen());
    press_f11(window);
    EXPECT_FALSE(window.full_screen());
}
