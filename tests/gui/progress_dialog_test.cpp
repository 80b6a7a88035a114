#include "ui/progress_dialog.h"

#include <gtest/gtest.h>

#include <cmath>

#include "gui_harness.h"
#include "model/texts.h"

namespace {

class ProgressDialog : public gui_test::GuiTest {
  protected:
    void TearDown() override {
        // Leave no dialog (and no grab) behind for the next test.
        if (progress_dialog() != nullptr) {
            update_progress(1.0f);
        }
        GuiTest::TearDown();
    }
};

using ProgressDialogDeathTest = ProgressDialog;

bool dialog_shown() {
    return progress_dialog() != nullptr && progress_dialog()->get_visible();
}

}  // namespace

TEST_F(ProgressDialog, OneUnitTaskClosesAtOneAndGoesOn) {
    open_progress(texts::computing);
    ASSERT_TRUE(dialog_shown());
    EXPECT_EQ(gui_test::grab_window(), GTK_WIDGET(progress_dialog()->gobj())) << "modal";
    const auto labels = gui_test::label_texts(*progress_dialog());
    EXPECT_NE(std::find(labels.begin(), labels.end(), "計算中です."), labels.end());
    EXPECT_NE(std::find(labels.begin(), labels.end(), "取消"), labels.end());
    EXPECT_EQ(progress_running, 1);

    EXPECT_EQ(update_progress(1.0f), 1);
    EXPECT_FALSE(dialog_shown());
    EXPECT_EQ(gui_test::grab_window(), nullptr);
    EXPECT_EQ(progress_running, 1) << "completion does not clear the flag";
}

TEST_F(ProgressDialog, CancelDuringTheLastUnitDiscardsTheTask) {
    constexpr int kUnits = 12;
    open_progress(texts::computing);
    std::vector<int> results;
    for (int k = 0; k < kUnits; ++k) {
        if (k == kUnits - 1) {
            // The user clicks Cancel while the last unit is computed: the click waits in
            // the queue until the update handles it.
            gui_test::inject([] { progress_cancel_button()->clicked(); });
        }
        results.push_back(update_progress(static_cast<float>(k + 1) / kUnits));
        if (results.back() == 0) {
            break;
        }
    }
    ASSERT_EQ(results.size(), static_cast<std::size_t>(kUnits));
    EXPECT_EQ(results.back(), 0) << "the cancel is seen before the bar is set";
    EXPECT_EQ(std::count(results.begin(), results.end(), 1), kUnits - 1);
    EXPECT_EQ(progress_running, 0);
    EXPECT_FALSE(dialog_shown());
    EXPECT_EQ(gui_test::grab_window(), nullptr);
    EXPECT_EQ(update_progress(0.5f), 0) << "stays cancelled until the next open";
}

TEST_F(ProgressDialog, WindowFrameCloseActsAsCancel) {
    open_progress(texts::enlarging);
    EXPECT_EQ(update_progress(0.25f), 1);
    gui_test::send_window_close(*progress_dialog());
    EXPECT_EQ(update_progress(0.5f), 0);
    EXPECT_EQ(progress_running, 0);
    EXPECT_FALSE(dialog_shown());
    EXPECT_EQ(gui_test::grab_window(), nullptr);
}

TEST_F(ProgressDialogDeathTest, UpdateBeforeAnyOpenReturnsZero) {
    // A fresh process: no dialog has ever been opened there.
    EXPECT_EXIT(std::exit(update_progress(0.5f) == 0 && progress_running == 0 ? 0 : 1),
                ::testing::ExitedWithCode(0), "");
}

TEST_F(ProgressDialog, SecondOpenGetsAFreshBar) {
    // The movie pipeline: enlargement completes, then the encoding opens its own dialog.
    open_progress(texts::enlarging);
    EXPECT_EQ(update_progress(0.5f), 1);
    EXPECT_DOUBLE_EQ(progress_bar()->get_fraction(), 0.5);
    EXPECT_EQ(update_progress(1.0f), 1);
    open_progress(texts::creating_mpeg);
    ASSERT_TRUE(dialog_shown());
    EXPECT_DOUBLE_EQ(progress_bar()->get_fraction(), 0.0);
    EXPECT_EQ(progress_running, 1);
    EXPECT_EQ(update_progress(0.25f), 1);
    EXPECT_DOUBLE_EQ(progress_bar()->get_fraction(), 0.25);

    // After a cancel the next open starts over with the flag set.
    progress_cancel_button()->clicked();
    EXPECT_EQ(update_progress(0.5f), 0);
    open_progress(texts::computing);
    EXPECT_EQ(progress_running, 1);
    EXPECT_EQ(update_progress(0.5f), 1);
}

TEST_F(ProgressDialog, AnOpenReplacesADialogLeftOpen) {
    open_progress(texts::computing);
    EXPECT_EQ(update_progress(0.5f), 1);  // this task never reaches 1.0
    open_progress(texts::enlarging);
    int shown = 0;
    for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
        shown += window->get_visible() ? 1 : 0;
    }
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(gui_test::grab_window(), GTK_WIDGET(progress_dialog()->gobj()));
    EXPECT_EQ(update_progress(1.0f), 1);
    EXPECT_EQ(gui_test::grab_window(), nullptr) << "no stale grab is left";
}

TEST_F(ProgressDialog, FractionsBelowOneNeverClose) {
    open_progress(texts::computing);
    const float fractions[] = {0.0f, 0.5f, 71.0f / 72.0f, 0.999f, std::nextafter(1.0f, 0.0f)};
    for (float f : fractions) {
        EXPECT_EQ(update_progress(f), 1) << f;
        EXPECT_TRUE(dialog_shown()) << f;
        EXPECT_DOUBLE_EQ(progress_bar()->get_fraction(), f);
    }
}

TEST_F(ProgressDialog, SinkReportsCancelAsStop) {
    GtkProgressSink sink;
    ProgressSink& core_view = sink;
    core_view.open(texts::computing);
    EXPECT_TRUE(core_view.update(1.0f / 3.0f));
    gui_test::inject([] { progress_cancel_button()->clicked(); });
    EXPECT_FALSE(core_view.update(2.0f / 3.0f));
    core_view.open(texts::computing);
    EXPECT_TRUE(core_view.update(1.0f));
    EXPECT_FALSE(dialog_shown());
}
