#include "ui/settings_transfer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/window_settings.h"
#include "gui_harness.h"
#include "model/orientation_edit.h"
#include "model/parameter_record.h"
#include "output/file_extension.h"
#include "support/files.h"
#include "ui/main_window.h"

namespace {

namespace fs = std::filesystem;

class SettingsTransferTest : public gui_test::GuiTest {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        use_settings_codec(window_settings_codec({}));
        dir_ = fs::path(::testing::TempDir()) / "lumitra_settings_transfer";
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        main = std::make_unique<MainWindow>(parameters);
    }
    void TearDown() override {
        main.reset();
        fs::remove_all(dir_);
        GuiTest::TearDown();
    }
    // The first message shown from now on: its text, after pressing its OK.
    void answer_next_message(std::string& text) {
        Glib::signal_timeout().connect(
            [&text] {
                Gtk::Window* message = gui_test::find_window("Lumitra - Message");
                if (message == nullptr)
                    return true;
                for (const std::string& label : gui_test::label_texts(*message))
                    text += label;
                gui_test::find_button(*message, "了解")->clicked();
                return false;
            },
            10);
    }
    fs::path dir_;
    std::unique_ptr<MainWindow> main;
};

bool same_record(const ParameterRecord& a, const ParameterRecord& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// A biaxial crystal turned as a user turns one: a new 2Vz, then Z made the rotation axis,
// tilted and the whole set rotated about it, which leaves every axis off the controls' steps.
TEST_F(SettingsTransferTest, SettingsFileDrawsTheBytesOfTheWindowsSave) {
    main->mode_frames().button(kCrystalKindButton).clicked();
    main->mode_frames().button(kTestPlateButton).clicked();
    gui_test::run_pending_events();
    main->optical_properties().two_vz_spin()->set_value(64);
    main->orientation().axis_radio(kAxisZ)->set_active(true);
    gui_test::run_pending_events();
    main->orientation().rotation_theta_spin()->set_value(35);
    main->orientation().rotation_angle_spin()->set_value(-47);
    main->other_parameters().thickness_spin().set_value(85);
    gui_test::run_pending_events();
    const ParameterRecord edited = parameters;
    ASSERT_NE(edited.x_axis_theta, std::round(edited.x_axis_theta));

    const fs::path settings = dir_ / "lecture 1 figure.txt";
    ASSERT_TRUE(main->settings().save(settings.string()));
    // Another crystal, then the file read back: the record exactly as it was.
    main->mode_frames().button(kCrystalKindButton).clicked();
    main->other_parameters().thickness_spin().set_value(300);
    ASSERT_TRUE(main->settings().open(settings.string()));
    EXPECT_TRUE(same_record(parameters, edited));
    EXPECT_EQ(main->other_parameters().thickness_spin().get_value(), 85);

    main->draw_button().clicked();
    FigureWindow* window = main->figure_window();
    ASSERT_NE(window, nullptr);
    for (const char* name : {"window.bmp", "window.jpg"}) {
        window->save_dialog().save_still((dir_ / name).string(),
                                         output_format(file_extension(name)));
        const fs::path rendered =
            dir_ / (std::string("rendered") + fs::path(name).extension().string());
        const std::string command = std::string(LUMITRA_RENDER_PATH) + " --settings '" +
                                    settings.string() + "' --out " + rendered.string();
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        EXPECT_EQ(read_bytes(rendered), read_bytes(dir_ / name)) << name;
    }
}

TEST_F(SettingsTransferTest, BadLinesAreShownAndSkippedAndCopyGivesTheCommand) {
    const fs::path settings = dir_ / "hand-made.txt";
    std::ofstream(settings) << "# typed by hand\naxis-type=1\nthickness=5000\nbogus=3\n"
                               "thickness=120\n";
    std::string message;
    answer_next_message(message);
    gui_test::Watchdog watchdog;
    ASSERT_TRUE(main->settings().open(settings.string()));
    EXPECT_EQ(parameters.axis_type, kBiaxial);
    EXPECT_EQ(parameters.thickness, 120.0f);
    EXPECT_NE(message.find("の次の行は使われませんでした"), std::string::npos) << message;
    EXPECT_NE(message.find("hand-made.txt:3: --thickness 5000 is outside 10 to 3000"),
              std::string::npos)
        << message;

    main->settings().copy_button().clicked();
    EXPECT_EQ(Gtk::Clipboard::get()->wait_for_text(),
              "lumitra-render --thickness 120 --axis-type 1 --out figure.png");
}

}  // namespace
