// Program entry: start-up in its fixed order, the main window, the main loop.
#pragma once

#include <string>

// Runs the program and returns its exit status: 0 when the user quits with Quit.
// Destroying or closing the main window ends the process from inside instead.
int run_lumitra(int argc, char** argv);

// Initialises GTK and gtkmm once; the toolkit consumes its own options from argv. Later
// calls do nothing, so a test program that set up the toolkit itself can still call
// run_lumitra.
void init_toolkit(int& argc, char**& argv);

// Reads the optional style sheet at path (the program's "./gtkrc", CSS in GTK 3). A
// missing file is silent and returns true. A file that is not a regular file of at most
// 1 MiB, that GTK could not parse safely or that does not parse leaves the default look,
// writes one line to standard error and returns false, at once.
bool load_style_sheet(const std::string& path);
