// Save in the figure window: a file chooser, the format taken from the chosen name's
// extension, the movie-size question for an animation, and the writer that does the work.
#pragma once

#include <gtkmm.h>

#include <optional>
#include <string>

#include "output/file_extension.h"

class FigureWindow;

// The side of the square movie frames last confirmed in the movie-size dialog; 0 before.
extern int movie_size;

// Opens the save chooser for the window and waits until it is gone. Does nothing while the
// animation plays.
void on_save_clicked(FigureWindow& window);

// Acts on a name confirmed in the chooser. Returns false when the extension is refused: the
// message has been shown and the chooser stays open for another try. Otherwise the chooser
// is hidden, and the still or movie written, before this returns true.
bool on_save_ok(Gtk::FileChooserDialog& chooser, FigureWindow& window);

// Asks for the movie side: S rounded up to a multiple of 16, stepping by 16 up to 480,
// starting at 240 (or at the lower bound when that is larger). Empty when cancelled,
// also by the window frame's close.
std::optional<int> ask_movie_size(int figure_side);

// Writes the shown frame as a still (kBmp, kJpeg) or the whole series as a movie of side
// movie_size (kMpeg), and tells the user when the file could not be made.
void save_figure(const std::string& path, OutputFormat format, FigureWindow& window);

// The program's Shift-JIS message with "%s" replaced by a file name or part of one. The
// name is shown as the file system spells it (converted for display, never through the
// Shift-JIS conversion); the result is UTF-8.
std::string message_with_name(const char* sjis_template, const std::string& filename);

// The chooser and the movie-size dialog while they are shown, for tests; nullptr otherwise.
Gtk::FileChooserDialog* save_chooser();
Gtk::Dialog* movie_size_dialog();
Gtk::SpinButton* movie_size_spin();
