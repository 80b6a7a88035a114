#pragma once

// Runs the program: start-up, the main window and the main loop. Returns the exit status.
int run_lumitra(int argc, char** argv);
