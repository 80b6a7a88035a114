// The main window: the parameter panels in two columns under the mode row, and the Draw
// and Quit buttons. Closing or destroying it ends the program at once, also while another
// window holds the input grab; a movie being saved is cancelled first.
#pragma once

#include <gtkmm.h>

#include <functional>

// Builds and shows the main window with all its panels and returns it. It lives until the
// process ends (or release_main_window).
Gtk::Window* build_main_window();

// The main window, or nullptr before build_main_window.
Gtk::Window* main_window();
Gtk::Button* draw_button();
Gtk::Button* quit_button();

// What Draw does. Until a handler is set the button does nothing.
void set_draw_handler(std::function<void()> handler);

// Takes the main window down without ending the process: the orderly end after the main
// loop returned, and the way tests build a fresh window.
void release_main_window();

// Ends the process at once with status 0, the way closing the main window does, after
// undoing the work in progress (output/exit_cleanup.h).
[[noreturn]] void end_program_at_once();

// Makes a dialog stay above the window the user is working in: the window that holds the
// input grab, else the main window.
void make_transient_for_active_window(Gtk::Window& dialog);
