#include "ui/message_dialog.h"

#include <gtest/gtest.h>

#include <functional>

#include "gui_harness.h"
#include "model/texts.h"

namespace {

constexpr char kTitle[] = "Lumitra - Message";

using MessageDialog = gui_test::GuiTest;

// Answers the message dialog the way the user would, and records what it showed.
struct Answer {
    bool found = false;
    bool grabbed = false;
    std::vector<std::string> labels;
    void look(Gtk::Window& dialog) {
        found = true;
        grabbed = gui_test::grab_window() == GTK_WIDGET(dialog.gobj());
        labels = gui_test::label_texts(dialog);
    }
};

}  // namespace

TEST_F(MessageDialog, ReturnsAfterOk) {
    Answer answer;
    gui_test::inject([&] {
        Gtk::Window* dialog = gui_test::find_window(kTitle);
        ASSERT_NE(dialog, nullptr);
        answer.look(*dialog);
        Gtk::Button* ok = gui_test::find_button(*dialog, "了解");
        ASSERT_NE(ok, nullptr);
        ok->clicked();
    });
    gui_test::Watchdog watchdog;
    show_message(nullptr, texts::computing);
    EXPECT_TRUE(answer.found);
    EXPECT_TRUE(answer.grabbed) << "the dialog is modal";
    EXPECT_NE(std::find(answer.labels.begin(), answer.labels.end(), "計算中です."),
              answer.labels.end());
    EXPECT_EQ(gui_test::find_window(kTitle), nullptr);
    EXPECT_EQ(gui_test::grab_window(), nullptr) << "input returns to the other windows";
}

TEST_F(MessageDialog, ReturnsAfterAWindowFrameClose) {
    bool sent = false;
    gui_test::inject([&] {
        Gtk::Window* dialog = gui_test::find_window(kTitle);
        ASSERT_NE(dialog, nullptr);
        gui_test::send_window_close(*dialog);
        sent = true;
    });
    gui_test::Watchdog watchdog;
    show_message(nullptr, texts::not_supported);
    EXPECT_TRUE(sent);
    EXPECT_EQ(gui_test::find_window(kTitle), nullptr);
    EXPECT_EQ(gui_test::grab_window(), nullptr);
}

namespace {

// The texts of the message the call shows, read before its OK is pressed.
std::vector<std::string> texts_shown_by(const std::function<void()>& show) {
    std::vector<std::string> labels;
    gui_test::inject([&] {
        Gtk::Window* dialog = gui_test::find_window(kTitle);
        ASSERT_NE(dialog, nullptr);
        labels = gui_test::label_texts(*dialog);
        gui_test::find_button(*dialog, "了解")->clicked();
    });
    gui_test::Watchdog watchdog;
    show();
    return labels;
}

}  // namespace

TEST_F(MessageDialog, ShowsAFileNameAsTyped) {
    // A backslash and a tilde would read as ¥ and ‾ through Shift-JIS; UTF-8 keeps them.
    const std::string text = "ファイル C:\\~\\図.bmp の作成に失敗しました.";
    EXPECT_TRUE(
        gui_test::contains(texts_shown_by([&] { show_message_utf8(nullptr, text); }), text));
}

TEST_F(MessageDialog, InvalidShiftJisMessageIsNotEmpty) {
    const auto labels =
        texts_shown_by([] { show_message(nullptr, "\203t\203@\203C\203\213 a\377.bmp"); });
    EXPECT_TRUE(gui_test::contains(labels, "ファイル a\uFFFD.bmp"));
}
