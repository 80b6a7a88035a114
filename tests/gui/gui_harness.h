// Helpers for tests that drive the real windows on a virtual X server: run what is pending,
// act as the user from inside a nested main loop, and find widgets by what the user sees.
#pragma once

#include <gtest/gtest.h>
#include <gtkmm.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/figure_window.h"

class MainWindow;

namespace gui_test {

// Handles every pending event, idle and due timeout, as the main loop would.
void run_pending_events();

// Runs action once from a timeout, delay_ms from now: the way to press a button while a
// nested loop (a modal dialog) has control.
void inject(std::function<void()> action, unsigned delay_ms = 0);

// The window manager's close button: a delete request for the window's GDK window, put on
// the event queue and dispatched the way a real one is (through any event filter and
// GTK's grab rules).
void send_window_close(Gtk::Window& window);

// Runs the main loop until done() holds or timeout_ms have passed; returns done().
bool run_until(const std::function<bool()>& done, unsigned timeout_ms = 2000);

// The visible top-level window with this title, or nullptr.
Gtk::Window* find_window(const std::string& title);

// The program's main window, for a test that let the program build it; nullptr when there
// is none.
MainWindow* find_main_window();

// The first button under root whose label reads text (internal children included).
Gtk::Button* find_button(Gtk::Widget& root, const std::string& text);

// The texts of every label under root, in tree order.
std::vector<std::string> label_texts(Gtk::Widget& root);

// Everything under root that the user reads: each label's text and each tooltip, in tree
// order.
std::vector<std::string> shown_texts(Gtk::Widget& root);

// Whether the texts hold this one.
bool contains(const std::vector<std::string>& texts, const std::string& text);

// The pixels of an RGB24 surface as R, G, B bytes, rows from the top.
std::vector<std::uint8_t> surface_rgb(const Cairo::RefPtr<Cairo::ImageSurface>& surface);

// The figure as the figure window's drawing area shows it (without the margin).
std::vector<std::uint8_t> shown_pixels(FigureWindow& window);

// The top-level window that holds the input grab, or nullptr when none does.
GtkWidget* grab_window();

// The command that runs this test program again with the locale variables cleared, then the
// variables in settings ("LANG=en_US.UTF-8 NAME=value") set; arguments may follow.
std::string rerun_command(const std::string& settings);

// Set in the environment of a test re-run by run_translated.
inline constexpr char kTranslatedRun[] = "LUMITRA_TRANSLATED_RUN";

// Runs the current test again in a child process that shows the program's texts in the
// language of locale_settings ("LANG=en_US.UTF-8"); true when it passed. Inside that child
// it returns true at once: test with translated_run() which side runs.
bool run_translated(const std::string& locale_settings);
bool translated_run();

// Fails the running test and ends the innermost main loop if it is still running after
// timeout_ms, so that a dialog nobody answers cannot hang the suite.
class Watchdog {
  public:
    explicit Watchdog(unsigned timeout_ms = 5000);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

  private:
    sigc::connection timeout_;
};

// A test with the record at its defaults, the way start-up leaves it before the panels.
class GuiTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace gui_test
