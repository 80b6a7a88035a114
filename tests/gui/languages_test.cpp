// The program in other languages. The locale is chosen once per process, so each locale is
// tried in a child: this test program run again with the locale variables set, writing what
// its windows show to a file (gui_test_main.cpp).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "app/install_paths.h"
#include "gui_harness.h"
#include "model/controls.h"
#include "model/derived_values.h"
#include "model/parameter_record.h"
#include "model/texts.h"
#include "model/translation.h"
#include "optics/figure_computation.h"
#include "shown_texts.h"
#include "support/files.h"
#include "support/japanese_text.h"
#include "support/scripted_progress.h"
#include "ui/figure_window.h"
#include "ui/label_text.h"
#include "ui/main_window.h"
#include "ui/message_dialog.h"
#include "ui/movie_size_dialog.h"
#include "ui/progress_dialog.h"
#include "ui/save_dialog.h"

namespace {

constexpr char kWidthLine[] = "width ";

void add_texts(ShownTexts& shown, const std::string& where, Gtk::Window& window) {
    shown.texts.push_back(where + " title: " + window.get_title());
    // One line each, for the child's file.
    for (std::string text : gui_test::shown_texts(window)) {
        std::replace(text.begin(), text.end(), '\n', '|');
        shown.texts.push_back(where + ": " + text);
    }
}

void add_main_window(ShownTexts& shown) {
    MainWindow main(parameters);
    ModeFrames& modes = main.mode_frames();
    // Every crystal kind, drawing mode, accessory, range and projection, each switch clicked
    // round to where it started.
    for (int kind = 0; kind < 2; ++kind) {
        for (int mode = 0; mode < 3; ++mode) {
            for (int other = 0; other < 4; ++other) {
                gui_test::run_pending_events();
                add_texts(shown, "main", main);
                int minimum = 0, natural = 0;
                main.get_preferred_width(minimum, natural);
                shown.main_widths.push_back(natural);
                modes.button(kTestPlateButton).clicked();
                modes.button(kDrawRangeButton).clicked();
                main.preview().projection_button().clicked();
            }
            modes.button(kDrawModeButton).clicked();
        }
        modes.button(kCrystalKindButton).clicked();
    }
    // The optic sign of a uniaxial crystal: positive, negative, isotropic.
    Gtk::SpinButton& epsilon = *main.optical_properties().epsilon_spin();
    const double omega = main.optical_properties().omega_spin()->get_value();
    for (double step : {0.01, -0.01, 0.0}) {
        epsilon.set_value(omega + step);
        gui_test::run_pending_events();
        add_texts(shown, "main (sign)", main);
    }
}

void add_figure_window(ShownTexts& shown) {
    parameters.draw_mode = kAnimation;
    update_derived_fields(parameters);
    // The smallest figure: its window's texts do not depend on its size.
    parameters.image_size = image_size_range(parameters, kAnimation).lower;
    ScriptedProgress progress;
    std::optional<Figure> figure = compute_figure(prepare_draw(parameters), progress);
    if (!figure)
        return;
    Gtk::Window owner;
    FigureWindow window(owner, std::move(*figure));
    gui_test::run_pending_events();
    add_texts(shown, "figure", window.dialog());
}

void add_dialogs(ShownTexts& shown) {
    Gtk::Window owner;
    MovieSizeDialog movie_size(owner, 200);
    add_texts(shown, "movie size", movie_size.dialog());

    for (const char* message : {texts::computing, texts::enlarging, texts::creating_mpeg}) {
        ProgressDialog progress(&owner);
        progress.open_progress(message);
        add_texts(shown, "progress", *progress.dialog());
        progress.update_progress(1.0f);
    }

    for (const char* message : {texts::not_supported, texts::only_in_animation_mode,
                                texts::file_create_failed, texts::file_open_elsewhere}) {
        gui_test::inject([&] {
            Gtk::Window* dialog = gui_test::find_window("Lumitra - Message");
            if (dialog == nullptr)
                return;
            add_texts(shown, "message", *dialog);
            if (Gtk::Button* ok = gui_test::find_button(*dialog, shown_text(texts::ok)))
                ok->clicked();
        });
        gui_test::Watchdog watchdog;
        show_message_utf8(&owner, message_with_name(message, "figure.xyz"));
    }
}

// Runs this program again under the environment's locale settings; empty when the child
// failed.
std::optional<ShownTexts> shown_in_child(const std::string& locale_settings) {
    std::string file = (std::filesystem::temp_directory_path() / "lumitra-texts-XXXXXX").string();
    const int fd = mkstemp(file.data());
    if (fd < 0)
        return std::nullopt;
    close(fd);
    const std::string command =
        gui_test::rerun_command(locale_settings + " LUMITRA_SHOWN_TEXTS=" + file);
    const int status = std::system(command.c_str());
    std::istringstream lines(read_text(file));
    std::filesystem::remove(file);
    if (status != 0) {
        ADD_FAILURE() << command << " ended with " << status;
        return std::nullopt;
    }
    ShownTexts shown;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(kWidthLine, 0) == 0)
            shown.main_widths.push_back(std::stoi(line.substr(sizeof kWidthLine - 1)));
        else
            shown.texts.push_back(line);
    }
    return shown;
}

using GuiLanguages = gui_test::GuiTest;

}  // namespace

ShownTexts collect_shown_texts() {
    parameters = ParameterRecord{};
    set_default_parameters();
    ShownTexts shown;
    add_main_window(shown);
    add_figure_window(shown);
    add_dialogs(shown);
    return shown;
}

int write_shown_texts(const std::string& path) {
    start_translation(catalogue_dir(LUMITRA_BUILD_CATALOGUES));
    // A locale missing from the system leaves C, which would pass for Japanese.
    if (std::string(setlocale(LC_MESSAGES, nullptr)) == "C" && std::getenv("LANG") &&
        std::string(std::getenv("LANG")).rfind("C", 0) != 0)
        return 2;
    const ShownTexts shown = collect_shown_texts();
    std::ofstream out(path, std::ios::binary);
    for (const std::string& text : shown.texts)
        out << text << '\n';
    for (int width : shown.main_widths)
        out << kWidthLine << width << '\n';
    return out ? 0 : 1;
}

TEST_F(GuiLanguages, JapaneseAndCLocalesShowTheJapaneseTextsByteForByte) {
    // This process never chose a language: it shows the texts as they always were.
    const ShownTexts japanese = collect_shown_texts();
    ASSERT_TRUE(gui_test::contains(japanese.texts, "main: 描画"));
    for (const char* locale : {"LANG=ja_JP.UTF-8", "LANG=C.UTF-8", "LC_ALL=C LANGUAGE=en"}) {
        const std::optional<ShownTexts> child = shown_in_child(locale);
        ASSERT_TRUE(child.has_value()) << locale;
        EXPECT_EQ(child->texts, japanese.texts) << locale;
    }
}

TEST_F(GuiLanguages, OtherLocalesShowEnglishNoWiderThanTheJapaneseWindow) {
    const ShownTexts japanese = collect_shown_texts();
    const std::optional<ShownTexts> english = shown_in_child("LANG=en_US.UTF-8");
    ASSERT_TRUE(english.has_value());
    EXPECT_TRUE(gui_test::contains(english->texts, "main: Draw"));
    EXPECT_TRUE(gui_test::contains(english->texts, "figure: Start"));
    EXPECT_TRUE(gui_test::contains(english->texts, "message: figure.xyz files are not supported."));
    EXPECT_EQ(english->texts.size(), japanese.texts.size());
    for (const std::string& text : english->texts)
        EXPECT_FALSE(has_japanese(text)) << text;
    ASSERT_EQ(english->main_widths.size(), japanese.main_widths.size());
    for (std::size_t i = 0; i < japanese.main_widths.size(); ++i)
        EXPECT_LE(english->main_widths[i], japanese.main_widths[i] * 1.1) << "state " << i;

    // German and French have no catalogue of their own: English, not the Japanese keys.
    for (const char* locale : {"LANG=de_DE.UTF-8", "LANG=de_DE.UTF-8 LANGUAGE=fr:de"}) {
        const std::optional<ShownTexts> child = shown_in_child(locale);
        ASSERT_TRUE(child.has_value()) << locale;
        EXPECT_EQ(child->texts, english->texts) << locale;
    }
}
