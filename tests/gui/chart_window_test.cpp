// The chart window beside the main window: opened by its button, it follows the record, and
// its 保存 writes the chart by the name's extension.
#include "ui/chart_window.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "gui_harness.h"
#include "model/texts.h"
#include "panels_fixture.h"
#include "support/files.h"
#include "ui/label_text.h"

namespace {

class ChartWindowTest : public panels_test::MainWindowPanels {
  protected:
    ChartWindow& open_chart() {
        main->chart_button().clicked();
        gui_test::run_pending_events();
        EXPECT_NE(main->chart_window(), nullptr);
        return *main->chart_window();
    }
};

TEST_F(ChartWindowTest, ThicknessMovesTheCrystalPointUpItsLine) {
    ChartWindow& window = open_chart();
    EXPECT_EQ(window.get_transient_for(), main.get());
    EXPECT_EQ(window.get_title(), shown_text(texts::colour_chart));
    Gtk::SpinButton& thickness = main->other_parameters().thickness_spin();
    set(&thickness, 20.0);
    gui_test::run_pending_events();
    ASSERT_TRUE(window.chart().crystal_point);
    const ChartPoint thin = *window.chart().crystal_point;
    set(&thickness, 40.0);
    gui_test::run_pending_events();
    ASSERT_TRUE(window.chart().crystal_point);
    const ChartPoint thick = *window.chart().crystal_point;
    // Twice the thickness: twice the height above the axis and twice the retardation.
    const Chart& chart = window.chart();
    EXPECT_NEAR(chart.y1 - thick.y, 2 * (chart.y1 - thin.y), 1e-6);
    EXPECT_NEAR(thick.x - chart.x0, 2 * (thin.x - chart.x0), 1e-6);
    // Past the chart's 50 µm the point leaves it.
    set(&thickness, 80.0);
    gui_test::run_pending_events();
    EXPECT_FALSE(window.chart().crystal_point);
}

class ChartSaveTest : public ChartWindowTest {
  protected:
    void SetUp() override {
        ChartWindowTest::SetUp();
        dir_ = std::filesystem::temp_directory_path() / "lumitra-chart-test";
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directory(dir_);
    }
    void TearDown() override {
        std::filesystem::remove_all(dir_);
        ChartWindowTest::TearDown();
    }
    std::filesystem::path dir_;
};

TEST_F(ChartSaveTest, SavesEachFormatByItsExtension) {
    ChartWindow& window = open_chart();
    for (const char* name : {"a.png", "a.SVG", "a.pdf"})
        EXPECT_TRUE(window.save((dir_ / name).string())) << name;
    EXPECT_TRUE(std::filesystem::exists(dir_ / "a.png.json"));
    const std::string pdf = read_text(dir_ / "a.pdf").substr(0, 5);
    EXPECT_EQ(pdf, "%PDF-");
}

}  // namespace
