// What every window and dialog of the program shows in the running process's language: the
// language tests compare a child process started under another locale with this one.
#pragma once

#include <string>
#include <vector>

struct ShownTexts {
    // "where: text" for every label and tooltip of every window, message and dialog, the main
    // window in each state its switches can take.
    std::vector<std::string> texts;
    // The main window's natural width in each of those states, in the same order.
    std::vector<int> main_widths;
};

ShownTexts collect_shown_texts();

// The child's side: starts translation under the environment's locale, collects the texts
// and writes them to path, one per line. Returns the process's exit status.
int write_shown_texts(const std::string& path);
