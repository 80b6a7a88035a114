#include "ui/save_dialog.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "model/derived_values.h"
#include "model/parameter_record.h"
#include "optics/figure_computation.h"
#include "support/fake_encoder.h"
#include "support/files.h"
#include "support/scripted_progress.h"
#include "ui/figure_window.h"
#include "ui/movie_size_dialog.h"

namespace {

namespace fs = std::filesystem;

constexpr char kMessageTitle[] = "Lumitra - Message";

// The figure window of the running test, whose Save the helpers below drive.
std::unique_ptr<FigureWindow> shown;

Gtk::FileChooserDialog* save_chooser() {
    return shown ? shown->save_dialog().chooser() : nullptr;
}
MovieSizeDialog* movie_size_dialog() {
    return shown ? shown->save_dialog().movie_size_dialog() : nullptr;
}

class SaveDialogTest : public gui_test::GuiTest {
  protected:
    void SetUp() override {
        // The chooser keeps its settings in memory, not in a desktop session's store.
        g_setenv("GSETTINGS_BACKEND", "memory", FALSE);
        GuiTest::SetUp();
        std::string pattern = (fs::temp_directory_path() / "lumitra-save-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        shown.reset();
        GuiTest::TearDown();
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    // Opens the figure window for the record in the given mode.
    FigureWindow& open_figure(int mode) {
        parameters.draw_mode = mode;
        update_derived_fields(parameters);
        ScriptedProgress progress;
        std::optional<Figure> figure = compute_figure(prepare_draw(parameters), progress);
        EXPECT_TRUE(figure.has_value());
        shown = std::make_unique<FigureWindow>(owner_, std::move(*figure));
        return *shown;
    }

    // The window the figure window belongs to.
    Gtk::Window owner_;
    fs::path dir_;
};

// Types a name into the chooser and confirms it, as the user would, once the chooser is up.
void confirm_name(const fs::path& dir, const std::string& name) {
    Gtk::FileChooserDialog* chooser = save_chooser();
    ASSERT_NE(chooser, nullptr);
    chooser->set_current_folder(dir.string());
    // The chooser takes its folder in on the main loop.
    gui_test::run_until([&] { return chooser->get_current_folder() == dir.string(); }, 1000);
    chooser->set_current_name(name);
    chooser->response(Gtk::RESPONSE_ACCEPT);
}

// Runs action as soon as ready() holds, checking from the main loop every 10 ms: the
// chooser confirms a name only after it has looked the folder up, so the next dialog
// comes a variable time after the confirmation.
void when(std::function<bool()> ready, std::function<void()> action) {
    Glib::signal_timeout().connect(
        [ready = std::move(ready), action = std::move(action)] {
            if (!ready())
                return true;
            action();
            return false;
        },
        10);
}

bool message_shown() {
    return gui_test::find_window(kMessageTitle) != nullptr;
}

// Reads the message dialog's text and presses its OK.
std::string answer_message() {
    Gtk::Window* message = gui_test::find_window(kMessageTitle);
    if (message == nullptr)
        return "(no message)";
    const std::vector<std::string> labels = gui_test::label_texts(*message);
    gui_test::find_button(*message, "了解")->clicked();
    return labels.empty() ? "" : labels.front();
}

std::uint32_t little_endian(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           std::uint32_t(bytes[at + 3]) << 24;
}

// The pixels of a 24-bit bottom-up BMP as R, G, B bytes, rows from the top.
std::vector<std::uint8_t> decode_bmp(const std::vector<std::uint8_t>& file, int& side) {
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M')
        return {};
    side = int(little_endian(file, 18));
    const std::size_t stride = (3 * std::size_t(side) + 3) / 4 * 4;
    const std::size_t offset = little_endian(file, 10);
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < side; ++y) {
        const std::size_t row = offset + stride * std::size_t(side - 1 - y);
        for (int x = 0; x < side; ++x) {
            const std::size_t p = row + 3 * std::size_t(x);
            rgb.insert(rgb.end(), {file[p + 2], file[p + 1], file[p]});
        }
    }
    return rgb;
}

}  // namespace

TEST_F(SaveDialogTest, PresetNameFollowsTheMode) {
    for (const auto& [mode, preset] :
         {std::pair{kSingleImage, "lumitra.jpg"}, std::pair{kAnimation, "lumitra.mpg"}}) {
        FigureWindow& window = open_figure(mode);
        std::string seen;
        std::string title;
        gui_test::inject([&] {
            ASSERT_NE(save_chooser(), nullptr);
            seen = save_chooser()->get_current_name();
            title = save_chooser()->get_title();
            save_chooser()->response(Gtk::RESPONSE_CANCEL);
        });
        gui_test::Watchdog watchdog;
        window.save_button().clicked();
        EXPECT_EQ(seen, preset);
        EXPECT_EQ(title, "Save as jpg or bmp file");
        EXPECT_EQ(save_chooser(), nullptr);
        EXPECT_TRUE(fs::is_empty(dir_)) << "Cancel writes nothing";
        window.close();
    }
}

TEST_F(SaveDialogTest, SavedBmpIsTheFrameTheWindowShows) {
    // A full-range biaxial figure at a changed light and gamma, so that the tones and the
    // overlay both have to match.
    parameters.axis_type = kBiaxial;
    parameters.draw_range = kFullRange;
    FigureWindow& window = open_figure(kSingleImage);
    window.light_scale().set_value(1.3 * window.figure().reference_light);
    window.gamma_scale().set_value(3.0);

    gui_test::inject([&] { confirm_name(dir_, "still.bmp"); }, 100);
    gui_test::Watchdog watchdog;
    window.save_button().clicked();

    int side = 0;
    const std::vector<std::uint8_t> saved = decode_bmp(read_bytes(dir_ / "still.bmp"), side);
    EXPECT_EQ(side, 200);
    const std::vector<std::uint8_t> shown = gui_test::shown_pixels(window);
    ASSERT_EQ(saved.size(), shown.size());
    std::size_t differing = 0;
    int green = 0;
    for (std::size_t i = 0; i < shown.size(); i += 3) {
        differing +=
            saved[i] != shown[i] || saved[i + 1] != shown[i + 1] || saved[i + 2] != shown[i + 2];
        green += saved[i] == 0 && saved[i + 1] == 255 && saved[i + 2] == 0;
    }
    EXPECT_EQ(differing, 0u) << "pixels that differ between the window and the file";
    EXPECT_GT(green, 200) << "the field-of-view circle is in the file";
}

TEST_F(SaveDialogTest, OddSideStillMatchesTheWindowAndTheRenderer) {
    // An odd side puts the figure centre on a pixel; the marks of the off-centre optic axes
    // must still land where the window draws them, and the command-line renderer must write
    // the very same file for the same parameters.
    parameters.axis_type = kBiaxial;
    parameters.draw_range = kFullRange;
    parameters.image_size_single = 201;
    FigureWindow& window = open_figure(kSingleImage);

    gui_test::inject([&] { confirm_name(dir_, "odd.bmp"); }, 100);
    gui_test::Watchdog watchdog;
    window.save_button().clicked();

    const std::vector<std::uint8_t> file = read_bytes(dir_ / "odd.bmp");
    int side = 0;
    const std::vector<std::uint8_t> saved = decode_bmp(file, side);
    EXPECT_EQ(side, 201);
    EXPECT_EQ(saved, gui_test::shown_pixels(window));

    const fs::path rendered = dir_ / "rendered.bmp";
    const std::string command = std::string(LUMITRA_RENDER_PATH) +
                                " --axis-type 1 --draw-range 1 --image-size-single 201 --out " +
                                rendered.string();
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_EQ(read_bytes(rendered), file);
}

TEST_F(SaveDialogTest, FormatFollowsTheExtensionOfTheName) {
    struct Case {
        const char* name;
        bool jpeg;
    };
    FigureWindow& window = open_figure(kSingleImage);
    for (const Case c : {Case{"figure", false}, Case{"a.b.BMP", false}, Case{"figure.JpEg", true},
                         Case{"x.jpg", true}}) {
        gui_test::inject([&] { confirm_name(dir_, c.name); }, 100);
        gui_test::Watchdog watchdog;
        window.save_button().clicked();
        const std::vector<std::uint8_t> file = read_bytes(dir_ / c.name);
        ASSERT_GE(file.size(), 3u) << c.name;
        if (c.jpeg) {
            EXPECT_EQ(file[0], 0xFF) << c.name;
            EXPECT_EQ(file[1], 0xD8) << c.name;
        } else {
            EXPECT_EQ(file.size(), 54u + 600u * 200u) << c.name;
            EXPECT_EQ(file[0], 'B') << c.name;
        }
    }
}

TEST_F(SaveDialogTest, RefusedExtensionsKeepTheChooserOpen) {
    FigureWindow& window = open_figure(kSingleImage);
    std::vector<std::string> messages;
    std::vector<bool> chooser_still_up;
    // Each step runs in the loop the previous one left running: the chooser, then the
    // message over it.
    std::function<void(int)> step = [&](int k) {
        static const char* const names[] = {"picture.tif", "movie.mpeg", "figure."};
        if (k == 3) {
            save_chooser()->response(Gtk::RESPONSE_CANCEL);
            return;
        }
        confirm_name(dir_, names[k]);
        when(message_shown, [&, k] {
            messages.push_back(answer_message());
            when([] { return !message_shown(); },
                 [&, k] {
                     chooser_still_up.push_back(save_chooser() != nullptr &&
                                                save_chooser()->get_visible());
                     step(k + 1);
                 });
        });
    };
    gui_test::inject([&] { step(0); }, 100);
    gui_test::Watchdog watchdog(8000);
    window.save_button().clicked();

    EXPECT_EQ(messages, (std::vector<std::string>{
                            "tif ファイルはサポートされておりません.",
                            "mpeg ファイルはアニメーションモードでしかサポートされておりません.",
                            " ファイルはサポートされておりません."}));
    EXPECT_EQ(chooser_still_up, (std::vector<bool>{true, true, true}));
    EXPECT_TRUE(fs::is_empty(dir_));
}

TEST_F(SaveDialogTest, FailedWriteNamesThePathAsTheFileSystemSpellsIt) {
    // A directory where the still should go: the writer cannot create the file. (The
    // chooser itself would open such a directory instead of confirming it, so the write is
    // started directly, as the chooser's OK starts it.)
    fs::create_directory(dir_ / "図1.bmp");
    FigureWindow& window = open_figure(kSingleImage);
    std::string message;
    when(message_shown, [&] { message = answer_message(); });
    gui_test::Watchdog watchdog;
    window.save_dialog().save_still((dir_ / "図1.bmp").string(), OutputFormat::kBmp);
    // The program's own words, then the system's reason.
    EXPECT_EQ(message, "ファイル " + (dir_ / "図1.bmp").string() + " の作成に失敗しました.\n" +
                           g_strerror(EISDIR));
    EXPECT_TRUE(fs::is_directory(dir_ / "図1.bmp"));
    EXPECT_TRUE(fs::is_empty(dir_ / "図1.bmp"));
}

TEST_F(SaveDialogTest, MovieSizeDialogOffersMultiplesOf16UpTo480) {
    struct Case {
        int side, lower, start;
    };
    for (const Case c : {Case{100, 112, 240}, Case{192, 192, 240}, Case{250, 256, 256}}) {
        MovieSizeDialog question(owner_, c.side);
        gui_test::inject([&] {
            Gtk::Dialog* dialog = &question.dialog();
            EXPECT_EQ(dialog->get_title(), "MPEG file size");
            const auto labels = gui_test::label_texts(*dialog);
            EXPECT_NE(std::find(labels.begin(), labels.end(), "イメージサイズ(画素): "),
                      labels.end());
            Gtk::SpinButton* spin = &question.spin();
            const auto adjustment = spin->get_adjustment();
            EXPECT_EQ(adjustment->get_lower(), c.lower) << c.side;
            EXPECT_EQ(adjustment->get_upper(), 480) << c.side;
            EXPECT_EQ(adjustment->get_step_increment(), 16) << c.side;
            EXPECT_EQ(spin->get_value_as_int(), c.start) << c.side;
            spin->set_value(480);
            gui_test::find_button(*dialog, "了解")->clicked();
        });
        gui_test::Watchdog watchdog;
        EXPECT_EQ(question.run(), std::optional<int>(480)) << c.side;
    }
}

TEST_F(SaveDialogTest, MovieSizeDialogClosedFromItsFrameCancelsTheMovie) {
    FigureWindow& window = open_figure(kAnimation);
    bool asked = false;
    gui_test::inject(
        [&] {
            confirm_name(dir_, "movie.mpg");
            when([] { return movie_size_dialog() != nullptr; },
                 [&] {
                     asked = true;
                     EXPECT_EQ(movie_size_dialog()->spin().get_adjustment()->get_lower(), 112);
                     EXPECT_EQ(movie_size_dialog()->dialog().get_transient_for(), &window.dialog());
                     gui_test::send_window_close(movie_size_dialog()->dialog());
                 });
        },
        100);
    gui_test::Watchdog watchdog;
    window.save_button().clicked();
    EXPECT_TRUE(asked);
    EXPECT_EQ(movie_size_dialog(), nullptr);
    EXPECT_TRUE(fs::is_empty(dir_)) << "Cancel makes no movie";

    // Cancel in the dialog itself does the same.
    MovieSizeDialog question(owner_, 100);
    gui_test::inject([&] { gui_test::find_button(question.dialog(), "取消")->clicked(); });
    EXPECT_EQ(question.run(), std::nullopt);
}

TEST_F(SaveDialogTest, MovieOfTheAnimationAtTheChosenSide) {
    FigureWindow& window = open_figure(kAnimation);
    gui_test::inject(
        [&] {
            confirm_name(dir_, "turn.mpeg");
            when([] { return movie_size_dialog() != nullptr; },
                 [] {
                     movie_size_dialog()->spin().set_value(112);
                     gui_test::find_button(movie_size_dialog()->dialog(), "了解")->clicked();
                 });
        },
        100);
    gui_test::Watchdog watchdog(30000);
    window.save_button().clicked();

    const std::vector<std::uint8_t> movie = read_bytes(dir_ / "turn.mpeg");
    ASSERT_GE(movie.size(), 12u);
    // An MPEG-1 video stream opens with a sequence header: 00 00 01 B3, then 12 bits of
    // width and 12 of height.
    EXPECT_EQ(movie[3], 0xB3);
    EXPECT_EQ((movie[4] << 4) | (movie[5] >> 4), 112);
    EXPECT_EQ(((movie[5] & 0x0F) << 8) | movie[6], 112);
    for (const auto& entry : fs::directory_iterator(dir_))
        EXPECT_EQ(entry.path().filename(), "turn.mpeg") << "nothing else is left behind";
}

TEST_F(SaveDialogTest, AnExportCancelledByItsOwnerCleansUpBeforeHandingOver) {
    FigureWindow& window = open_figure(kAnimation);
    EXPECT_FALSE(window.cancel_export([] {})) << "no export is running";

    // The encoder hangs, so the export is still running when its owner cancels it.
    const fs::path encoder_pid = dir_ / "encoder.pid";
    const fs::path child_pid = dir_ / "child.pid";
    const FakeEncoder fake(dir_ / "bin", "sleep 1000 & echo $! > " + child_pid.string() +
                                             "; echo $$ > " + encoder_pid.string() + "; wait");
    const fs::path out = dir_ / "out";
    fs::create_directory(out);
    std::ofstream(out / "movie.mpg") << "old movie";
    const auto files_in_out = [&] {
        return std::distance(fs::directory_iterator(out), fs::directory_iterator());
    };

    int handed_over = 0;
    bool clean_when_handed_over = false;
    when([&] { return pid_in(encoder_pid) != 0; },
         [&] {
             EXPECT_TRUE(window.cancel_export([&] {
                 ++handed_over;
                 clean_when_handed_over = files_in_out() == 1 && process_ended(pid_in(encoder_pid));
             }));
         });
    // A message (the cancel taken for a failure) would wait for an answer until this fires.
    gui_test::Watchdog watchdog(20000);
    window.save_dialog().save_movie((out / "movie.mpg").string(), 16);

    EXPECT_EQ(handed_over, 1);
    EXPECT_TRUE(clean_when_handed_over) << "encoder stopped and temporaries gone first";
    EXPECT_EQ(read_text(out / "movie.mpg"), "old movie");
    EXPECT_TRUE(process_ended(pid_in(child_pid)));
    EXPECT_FALSE(window.cancel_export([] {})) << "the export is over";
}

// The window's Save and lumitra-render write one file the same way: a PNG still, an MP4
// movie of the animation and a figure computed at 1080 pixels, byte for byte what the
// renderer writes for the same record (x264 without its non-deterministic mode and the MP4
// muxer without a creation time write the same bytes for the same frames).
TEST_F(SaveDialogTest, EveryFormatAndSizeIsTheFileTheRendererWrites) {
    SaveDialog::use_movie_module(LUMITRA_MOVIE_MODULE_PATH);
    struct Case {
        int mode;
        const char* name;
        int output_size;  // 0: the figure's own
        const char* options;
    };
    const Case cases[] = {
        {kSingleImage, "still.png", 0, "--axis-type 1 --draw-range 1"},
        {kAnimation, "stage.mp4", 0, "--axis-type 1 --draw-range 1 --draw-mode 2 --movie-size 240"},
        {kSingleImage, "slide.png", 1080, "--axis-type 1 --draw-range 1 --output-size 1080"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        parameters.axis_type = kBiaxial;
        parameters.draw_range = kFullRange;
        FigureWindow& window = open_figure(c.mode);
        gui_test::inject(
            [&] {
                if (c.output_size != 0)
                    shown->save_dialog().output_size_spin()->set_value(c.output_size);
                confirm_name(dir_, c.name);
                // The movie's side is asked as for an MPEG-1 movie; its starting value is kept.
                when([] { return movie_size_dialog() != nullptr; },
                     [] {
                         gui_test::find_button(movie_size_dialog()->dialog(), "了解")->clicked();
                     });
            },
            100);
        {
            gui_test::Watchdog watchdog(120000);
            window.save_button().clicked();
        }
        const fs::path rendered = dir_ / (std::string("rendered-") + c.name);
        const std::string command = std::string(LUMITRA_RENDER_PATH) + " " + c.options + " --out " +
                                    rendered.string() + " 2>/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const std::vector<std::uint8_t> saved = read_bytes(dir_ / c.name);
        ASSERT_GT(saved.size(), 1000u);
        EXPECT_TRUE(saved == read_bytes(rendered)) << "the window's file differs";
        window.close();
    }
    // The PNG at 1080 holds a figure computed at that size: its header says so.
    const std::vector<std::uint8_t> slide = read_bytes(dir_ / "slide.png");
    ASSERT_GT(slide.size(), 24u);
    EXPECT_EQ((slide[16] << 24 | slide[17] << 16 | slide[18] << 8 | slide[19]), 1080);
}
