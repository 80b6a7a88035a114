#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/program.h"
#include "gui_harness.h"
#include "model/derived_values.h"
#include "model/parameter_record.h"
#include "model/texts.h"
#include "support/fake_encoder.h"
#include "support/files.h"
#include "support/movie_test_support.h"
#include "ui/message_dialog.h"
#include "ui/progress_dialog.h"

namespace {

class MainWindowTest : public gui_test::GuiTest {
  protected:
    void TearDown() override {
        main.reset();
        GuiTest::TearDown();
    }
    MainWindow& build() {
        main = std::make_unique<MainWindow>(parameters);
        return *main;
    }
    std::unique_ptr<MainWindow> main;
};

using MainWindowDeathTest = MainWindowTest;
namespace fs = std::filesystem;

// Runs the program and presses Quit as soon as its main loop runs.
int run_and_quit() {
    gui_test::inject([] { gui_test::find_main_window()->quit_button().clicked(); });
    char name[] = "lumitra";
    char* argv[] = {name, nullptr};
    return run_lumitra(1, argv);
}

}  // namespace

TEST_F(MainWindowTest, ShowsTitleButtonsAndTheOtherParametersPanel) {
    Gtk::Window* window = &build();
    EXPECT_EQ(window->get_title(), "Lumitra (Version 2.0.0)");
    EXPECT_TRUE(window->get_visible());
    EXPECT_EQ(window->get_type_hint(), Gdk::WINDOW_TYPE_HINT_DIALOG);
    EXPECT_STREQ(gtk_window_get_default_icon_name(), "org.lumitra.Lumitra");
    EXPECT_EQ(main->draw_button().get_label(), "描画");
    EXPECT_EQ(main->quit_button().get_label(), "終了");
    // Buttons that stand apart keep all four borders: the box must not join them.
    EXPECT_FALSE(main->draw_button().get_parent()->get_style_context()->has_class("linked"));
    const auto labels = gui_test::label_texts(*window);
    EXPECT_TRUE(gui_test::contains(labels, "(その他のパラメータ)"));
    EXPECT_TRUE(gui_test::contains(labels, "開口数  "));
    EXPECT_FLOAT_EQ(parameters.image_size, 200.0f) << "the size panel sets it at start-up";
}

TEST_F(MainWindowTest, DrawComputesTheRecordAsItStandsWhenPressed) {
    build();
    parameters.thickness = 300.0f;  // an edit the panels have not seen: Draw reads the record
    main->draw_button().clicked();
    FigureWindow* figure = main->figure_window();
    ASSERT_NE(figure, nullptr);
    EXPECT_EQ(std::memcmp(&figure->figure().setup.params, &parameters, sizeof parameters), 0);
    main->draw_button().clicked();
    EXPECT_EQ(main->figure_window(), figure) << "one figure at a time";
    figure->close_button().clicked();
    EXPECT_EQ(main->figure_window(), nullptr);
}

TEST_F(MainWindowTest, AFailedDrawShowsTheMessageAndLeavesTheWindowUsable) {
    build();
    // A side whose figure no address space holds: its buffer is refused before any memory
    // is asked for, so the failure is the same on every machine and under the sanitizers.
    parameters.image_size = 2e9f;
    std::vector<std::string> shown;
    bool message_holds_the_input = false;
    gui_test::inject([&] {
        Gtk::Window* message = gui_test::find_window("Lumitra - Message");
        if (message == nullptr)
            return;
        shown = gui_test::label_texts(*message);
        message_holds_the_input = gui_test::grab_window() == GTK_WIDGET(message->gobj());
        gui_test::find_button(*message, "了解")->clicked();
    });
    gui_test::Watchdog watchdog;
    main->draw_button().clicked();
    EXPECT_TRUE(gui_test::contains(shown, "描画に失敗しました.")) << "no message";
    EXPECT_TRUE(message_holds_the_input) << "the progress dialog outlived the failure";
    EXPECT_EQ(main->figure_window(), nullptr);
    EXPECT_EQ(gui_test::grab_window(), nullptr);

    // The next Draw, at the size the panels hold, opens its figure.
    main->editor().changed();
    main->draw_button().clicked();
    ASSERT_NE(main->figure_window(), nullptr);
    EXPECT_EQ(main->figure_window()->figure().side, 200);
    main->figure_window()->close_button().clicked();
}

TEST_F(MainWindowTest, DrawsProgressStaysAboveTheMainWindow) {
    Gtk::Window& window = build();
    GtkWindow* above = nullptr;
    // Runs from the progress dialog's first look at the events, while it holds the grab.
    gui_test::inject([&] {
        if (GtkWidget* grab = gui_test::grab_window(); grab != GTK_WIDGET(window.gobj()))
            above = gtk_window_get_transient_for(GTK_WINDOW(grab));
    });
    main->draw_button().clicked();
    ASSERT_NE(main->figure_window(), nullptr);
    EXPECT_EQ(above, window.gobj());
}

TEST_F(MainWindowTest, QuitEndsTheMainLoopAndRunReturnsZero) {
    gui_test::Watchdog watchdog;
    EXPECT_EQ(run_and_quit(), 0);
    EXPECT_EQ(gui_test::find_main_window(), nullptr) << "taken down in order after the loop";
}

TEST_F(MainWindowTest, QuitWhileAModalWindowHoldsTheGrabStillReturnsZero) {
    ProgressDialog progress(nullptr);
    gui_test::inject([&] {
        progress.open_progress(texts::computing);
        gui_test::find_main_window()->quit_button().clicked();
    });
    gui_test::Watchdog watchdog;
    char name[] = "lumitra";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(run_lumitra(1, argv), 0);
    progress.update_progress(1.0f);
}

TEST_F(MainWindowTest, AMessageTakesTheInputFromTheMainWindow) {
    Gtk::Window* window = &build();
    GtkWidget* grab_during = nullptr;
    Gtk::Window* above = nullptr;
    gui_test::inject([&] {
        grab_during = gui_test::grab_window();
        Gtk::Window* message = gui_test::find_window("Lumitra - Message");
        above = message->get_transient_for();
        gui_test::find_button(*message, "了解")->clicked();
    });
    gui_test::Watchdog watchdog;
    show_message(window, texts::not_supported);
    ASSERT_NE(grab_during, nullptr);
    EXPECT_NE(grab_during, GTK_WIDGET(window->gobj()));
    EXPECT_EQ(above, window) << "kept above the window it belongs to";
    EXPECT_EQ(gui_test::grab_window(), nullptr) << "after OK the main window takes input again";
}

TEST_F(MainWindowDeathTest, DestroyingTheMainWindowEndsTheProgram) {
    EXPECT_EXIT(
        {
            gtk_widget_destroy(GTK_WIDGET(build().gobj()));
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(MainWindowDeathTest, WindowFrameCloseEndsTheProgramAlsoUnderAModalGrab) {
    EXPECT_EXIT(
        {
            Gtk::Window* window = &build();
            gui_test::run_pending_events();
            ProgressDialog progress(window);
            progress.open_progress(texts::computing);  // holds the grab, as the figure window does
            gui_test::send_window_close(*window);
            gui_test::run_pending_events();
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(MainWindowDeathTest, QuitDuringAMessageEndsTheProgramAtOnce) {
    // Ending only the message's own loop would resume the task that showed it. The message
    // comes from a handler of the main loop, as every message does.
    EXPECT_EXIT(
        {
            build();
            gui_test::inject([this] {
                gui_test::inject([this] { main->quit_button().clicked(); });
                show_message(main.get(), texts::not_supported);
                std::exit(3);
            });
            gtk_main();
            std::exit(4);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(MainWindowDeathTest, WindowFrameCloseEndsTheProgram) {
    EXPECT_EXIT(
        {
            Gtk::Window* window = &build();
            gui_test::run_pending_events();
            gui_test::send_window_close(*window);
            gui_test::run_pending_events();
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(MainWindowDeathTest, ClosingDuringAMovieExportCancelsItBeforeTheEnd) {
    // The encoder hangs, so the export is still running when the window is closed: the
    // encoder and its process go, the temporaries go, the older movie stays.
    // The death test runs this body again in a new process, which must use the same folder.
    constexpr char kFolderVariable[] = "LUMITRA_TEST_EXPORT_FOLDER";
    std::string pattern = (fs::temp_directory_path() / "lumitra-close-XXXXXX").string();
    if (const char* given = std::getenv(kFolderVariable))
        pattern = given;
    else
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    setenv(kFolderVariable, pattern.c_str(), 1);
    const fs::path dir = pattern;
    const fs::path encoder_pid = dir / "encoder.pid";
    const fs::path child_pid = dir / "child.pid";
    const FakeEncoder fake(dir / "bin", "sleep 1000 & echo $! > " + child_pid.string() +
                                            "; echo $$ > " + encoder_pid.string() + "; wait");
    const fs::path movie = dir / "out" / "movie.mpg";
    fs::create_directory(dir / "out");
    std::ofstream(movie) << "old movie";
    EXPECT_EXIT(
        {
            MainWindow& window = build();
            parameters.draw_mode = kAnimation;
            update_derived_fields(parameters);
            window.draw_button().clicked();
            gui_test::run_pending_events();
            Glib::signal_timeout().connect(
                [&] {
                    if (pid_in(encoder_pid) == 0)
                        return true;
                    gui_test::send_window_close(window);
                    return false;
                },
                10);
            if (window.figure_window() == nullptr)
                std::exit(4);
            window.figure_window()->save_dialog().save_movie(movie.string(), 16);
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(read_text(movie), "old movie");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "out"), fs::directory_iterator()), 1);
    EXPECT_TRUE(process_ended(pid_in(encoder_pid)));
    EXPECT_TRUE(process_ended(pid_in(child_pid)));
    unsetenv(kFolderVariable);
    fs::remove_all(dir);
}

TEST(StyleSheet, MissingIsSilentAndBrokenGivesOneLine) {
    const std::string missing = ::testing::TempDir() + "lumitra_no_such_gtkrc";
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(load_style_sheet(missing));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

    // An old resource file of the GTK 1 kind is not CSS.
    const std::string old_style = ::testing::TempDir() + "lumitra_old_gtkrc";
    std::ofstream(old_style) << "style \"default\"\n{\n  font = \"-*-fixed-*\"\n}\n"
                                "widget_class \"*\" style \"default\"\n";
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(load_style_sheet(old_style));
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find(old_style), std::string::npos) << "names the file";

    const std::string css = ::testing::TempDir() + "lumitra_css_gtkrc";
    std::ofstream(css) << "label { color: #202020; }\n";
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(load_style_sheet(css));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    std::remove(old_style.c_str());
    std::remove(css.c_str());
}

namespace {

std::string make_temp_directory() {
    std::string pattern = ::testing::TempDir() + "lumitra_sheets_XXXXXX";
    return mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

}  // namespace

TEST(StyleSheet, OnlyASmallRegularFileNamingNothingUnsafeIsHandedToTheToolkit) {
    const std::string dir = make_temp_directory();
    ASSERT_FALSE(dir.empty());
    constexpr std::size_t kMiB = 1 << 20;
    const std::string rule = "label { color: #202020; }\n";
    auto write = [&](const std::string& name, const std::string& text) {
        std::ofstream(dir + "/" + name, std::ios::binary) << text;
        return dir + "/" + name;
    };
    // Exactly 1 MiB is still a style sheet.
    const std::string largest = rule + "/*" + std::string(kMiB - rule.size() - 4, 'x') + "*/";
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(load_style_sheet(write("largest", largest)));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

    // Images named by a sheet are fine while they are small regular files.
    write("picture.png", "not decoded before it is shown");
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(load_style_sheet(
        write("named", "#none { background-image: url('" + dir + "/picture.png'); }")));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

    std::string chain;
    for (int i = 0; i < 20000; ++i)
        chain += "box > ";
    const std::string refused[] = {
        dir,          // a directory
        "/dev/zero",  // endless
        write("too_large", largest + " "),
        write("deep", chain + "label { color: red; }"),
        write("import", "@import url(\"other.css\");\n" + rule),
        write("image", "#none { background-image: url('" + dir + "/image.png'); }"),
    };
    ASSERT_EQ(mkfifo((dir + "/image.png").c_str(), 0600), 0);
    for (const std::string& path : refused) {
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(load_style_sheet(path)) << path;
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_NE(said.find(path + " ignored"), std::string::npos) << said;
    }
    std::filesystem::remove_all(dir);
}

TEST_F(MainWindowDeathTest, AFifoNamedGtkrcDoesNotHoldUpTheStart) {
    const std::string dir = make_temp_directory();
    ASSERT_FALSE(dir.empty());
    ASSERT_EQ(mkfifo((dir + "/gtkrc").c_str(), 0600), 0);
    EXPECT_EXIT(
        {
            if (chdir(dir.c_str()) != 0)
                std::exit(4);
            alarm(20);  // a start-up waiting for a writer ends here, by the signal
            std::exit(run_and_quit());
        },
        ::testing::ExitedWithCode(0), "\\./gtkrc ignored \\(not a regular file\\)");
    std::filesystem::remove_all(dir);
}
