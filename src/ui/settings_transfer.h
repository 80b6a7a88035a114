// Copy as command, Save settings and Open settings of the main window: the record as the
// lumitra-render command line that draws its figure, or as a settings file of the renderer's
// options, and such a file read back into the record.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/window.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/parameter_record.h"
#include "ui/record_editor.h"

// A settings file read back: the record it makes, or why it makes none (a file that cannot
// be read, lines that contradict each other), and the lines that were skipped
// ("FILE:LINE: what is wrong").
struct SettingsLoad {
    std::optional<ParameterRecord> record;
    std::string error;
    std::vector<std::string> skipped;
};

// The renderer's options as the window uses them. They live in the layer above the windows,
// which lends them at start-up.
struct SettingsCodec {
    std::function<std::string(const ParameterRecord&)> command;
    std::function<std::string(const ParameterRecord&)> text;
    std::function<SettingsLoad(const std::string& path, const std::string& shown_name)> read;
};
void use_settings_codec(SettingsCodec codec);

class SettingsTransfer {
  public:
    // The dialogs stay above parent; an opened file's record goes through editor.
    SettingsTransfer(Gtk::Window& parent, RecordEditor& editor)
        : parent_(parent), editor_(editor) {}
    SettingsTransfer(const SettingsTransfer&) = delete;
    SettingsTransfer& operator=(const SettingsTransfer&) = delete;

    // Copy as command, Save settings and Open settings, at the end of box.
    void add_buttons(Gtk::Box& box);
    Gtk::Button& copy_button() { return *copy_; }

    // Puts the command line of the record on the clipboard.
    void copy_command();
    // Writes the record's settings file; a failure is told to the user.
    bool save(const std::string& path);
    // Reads a settings file into the record, telling the user which lines were skipped; a
    // file that cannot be read, or whose lines contradict each other, changes nothing.
    bool open(const std::string& path);

  private:
    void choose(bool saving);

    Gtk::Window& parent_;
    RecordEditor& editor_;
    Gtk::Button* copy_ = nullptr;
};
