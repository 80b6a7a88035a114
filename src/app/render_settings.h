// Settings that travel: the options that draw a figure, written as the command line of
// lumitra-render or as a settings file of option=value lines, and such a file read back, by
// the renderer (--settings FILE) and by the window alike.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/render_options.h"
#include "model/mineral_list.h"

// The options that draw the figure of options: the record's, then those of the figure
// window and the run (frame, tones, movie, antialiasing) that differ from their start.
std::vector<OptionValue> render_settings(const RenderOptions& options);

// Those of the settings that differ from what the renderer takes for an unset option; the
// angles of the axes stay together, all or none, since the parser takes a whole set of them
// as it stands but a single one as an edit.
std::vector<OptionValue> changed_settings(const std::vector<OptionValue>& settings);

// "lumitra-render --name value ... --out FILE", every word quoted for a POSIX shell where it
// needs to be.
std::string render_command(const std::vector<OptionValue>& settings, std::string_view out);

// A settings file: a comment saying what it is and how to use it, then name=value lines.
std::string settings_text(const std::vector<OptionValue>& settings);

struct SettingsLines {
    std::vector<std::string> arguments;  // "--name=value" (or "--name") of the lines taken
    std::vector<std::string> report;     // "FILE:LINE: what is wrong", one per line skipped
};

// The lines of a settings file as options, in their order. Blank lines and lines starting
// with # are passed over; a line that is not an option, or whose value its control cannot
// hold, is reported and skipped.
SettingsLines read_settings(std::string_view text, std::string_view file_name,
                            const MineralList& minerals = {});

// The settings file at path, its lines read as read_settings reads them and reported under
// shown_name; error says why when the file cannot be read, and nothing is taken then.
struct SettingsFile {
    SettingsLines lines;
    std::string error;
};
SettingsFile read_settings_file(const std::string& path, std::string_view shown_name,
                                const MineralList& minerals = {});

struct ExpandedArguments {
    std::vector<std::string> arguments;
    std::vector<std::string> report;  // the lines skipped
    std::string error;                // a file that could not be read: nothing is run
};

// The command line with every --settings FILE replaced by the options of the file's lines,
// so that options after it override the file's and options before it are overridden.
ExpandedArguments expand_settings(std::span<const std::string_view> arguments,
                                  const MineralList& minerals = {});
