#include "ui/progress_dialog.h"

#include <gtest/gtest.h>

#include <cmath>

#include "gui_harness.h"
#include "model/texts.h"

namespace {

class ProgressDialogTest : public gui_test::GuiTest {
  protected:
    bool dialog_shown() { return progress.dialog() != nullptr && progress.dialog()->get_visible(); }
    // The window whose task the dialog follows.
    Gtk::Window owner;
    // Its destructor leaves no dialog (and no grab) behind for the next test.
    ProgressDialog progress{&owner};
};

}  // namespace

TEST_F(ProgressDialogTest, OneUnitTaskClosesAtOneAndGoesOn) {
    progress.open_progress(texts::computing);
    ASSERT_TRUE(dialog_shown());
    EXPECT_EQ(gui_test::grab_window(), GTK_WIDGET(progress.dialog()->gobj())) << "modal";
    EXPECT_EQ(progress.dialog()->get_transient_for(), &owner) << "kept above its owner";
    const auto labels = gui_test::label_texts(*progress.dialog());
    EXPECT_NE(std::find(labels.begin(), labels.end(), "計算中です."), labels.end());
    EXPECT_NE(std::find(labels.begin(), labels.end(), "取消"), labels.end());
    EXPECT_TRUE(progress.running());

    EXPECT_EQ(progress.update_progress(1.0f), 1);
    EXPECT_FALSE(dialog_shown());
    EXPECT_EQ(gui_test::grab_window(), nullptr);
    EXPECT_TRUE(progress.running()) << "completion does not clear the flag";
}

TEST_F(ProgressDialogTest, CancelDuringTheLastUnitDiscardsTheTask) {
    constexpr int kUnits = 12;
    progress.open_progress(texts::computing);
    std::vector<int> results;
    for (int k = 0; k < kUnits; ++k) {
        if (k == kUnits - 1) {
            // The user clicks Cancel while the last unit is computed: the click waits in
            // the queue until the update handles it.
            gui_test::inject([this] { progress.cancel_button()->clicked(); });
        }
        results.push_back(progress.update_progress(static_cast<float>(k + 1) / kUnits));
        if (results.back() == 0) {
            break;
        }
    }
    ASSERT_EQ(results.size(), static_cast<std::size_t>(kUnits));
    EXPECT_EQ(results.back(), 0) << "the cancel is seen before the bar is set";
    EXPECT_EQ(std::count(results.begin(), results.end(), 1), kUnits - 1);
    EXPECT_FALSE(progress.running());
    EXPECT_FALSE(dialog_shown());
    EXPECT_EQ(gui_test::grab_window(), nullptr);
    EXPECT_EQ(progress.update_progress(0.5f), 0) << "stays cancelled until the next open";
}

TEST_F(ProgressDialogTest, WindowFrameCloseActsAsCancel) {
    progress.open_progress(texts::enlarging);
    EXPECT_EQ(progress.update_progress(0.25f), 1);
    gui_test::send_window_close(*progress.dialog());
    EXPECT_EQ(progress.update_progress(0.5f), 0);
    EXPECT_FALSE(progress.running());
    EXPECT_FALSE(dialog_shown());
    EXPECT_EQ(gui_test::grab_window(), nullptr);
}

TEST_F(ProgressDialogTest, UpdateBeforeAnyOpenReturnsZero) {
    EXPECT_EQ(progress.update_progress(0.5f), 0);
    EXPECT_FALSE(progress.running());
}

TEST_F(ProgressDialogTest, SecondOpenGetsAFreshBar) {
    // The movie pipeline: enlargement completes, then the encoding opens its own dialog.
    progress.open_progress(texts::enlarging);
    EXPECT_EQ(progress.update_progress(0.5f), 1);
    EXPECT_DOUBLE_EQ(progress.bar()->get_fraction(), 0.5);
    EXPECT_EQ(progress.update_progress(1.0f), 1);
    progress.open_progress(texts::creating_mpeg);
    ASSERT_TRUE(dialog_shown());
    EXPECT_DOUBLE_EQ(progress.bar()->get_fraction(), 0.0);
    EXPECT_TRUE(progress.running());
    EXPECT_EQ(progress.update_progress(0.25f), 1);
    EXPECT_DOUBLE_EQ(progress.bar()->get_fraction(), 0.25);

    // After a cancel the next open starts over with the flag set.
    progress.cancel_button()->clicked();
    EXPECT_EQ(progress.update_progress(0.5f), 0);
    progress.open_progress(texts::computing);
    EXPECT_TRUE(progress.running());
    EXPECT_EQ(progress.update_progress(0.5f), 1);
}

TEST_F(ProgressDialogTest, AnOpenReplacesADialogLeftOpen) {
    progress.open_progress(texts::computing);
    EXPECT_EQ(progress.update_progress(0.5f), 1);  // this task never reaches 1.0
    progress.open_progress(texts::enlarging);
    int shown = 0;
    for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
        shown += window->get_visible() ? 1 : 0;
    }
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(gui_test::grab_window(), GTK_WIDGET(progress.dialog()->gobj()));
    EXPECT_EQ(progress.update_progress(1.0f), 1);
    EXPECT_EQ(gui_test::grab_window(), nullptr) << "no stale grab is left";
}

TEST_F(ProgressDialogTest, FractionsBelowOneNeverClose) {
    progress.open_progress(texts::computing);
    const float fractions[] = {0.0f, 0.5f, 71.0f / 72.0f, 0.999f, std::nextafter(1.0f, 0.0f)};
    for (float f : fractions) {
        EXPECT_EQ(progress.update_progress(f), 1) << f;
        EXPECT_TRUE(dialog_shown()) << f;
        EXPECT_DOUBLE_EQ(progress.bar()->get_fraction(), f);
    }
}

TEST_F(ProgressDialogTest, SinkReportsCancelAsStop) {
    ProgressSink& core_view = progress;
    core_view.open(texts::computing);
    EXPECT_TRUE(core_view.update(1.0f / 3.0f));
    gui_test::inject([this] { progress.cancel_button()->clicked(); });
    EXPECT_FALSE(core_view.update(2.0f / 3.0f));
    core_view.open(texts::computing);
    EXPECT_TRUE(core_view.update(1.0f));
    EXPECT_FALSE(dialog_shown());
}
