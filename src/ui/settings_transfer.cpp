#include "ui/settings_transfer.h"

#include <glib.h>
#include <gtkmm/clipboard.h>
#include <gtkmm/filechooserdialog.h>

#include "model/orientation_edit.h"
#include "model/texts.h"
#include "output/replacement_file.h"
#include "ui/label_text.h"
#include "ui/message_dialog.h"
#include "ui/save_dialog.h"
#include "ui/widget_builders.h"

namespace {

SettingsCodec& codec() {
    static SettingsCodec installed;
    return installed;
}

// The program's message about the file, then one line for each detail.
void tell(Gtk::Window& parent, const char* sjis_template, const std::string& path,
          const std::vector<std::string>& details) {
    std::string text = message_with_name(sjis_template, path);
    for (const std::string& detail : details)
        text += "\n" + detail;
    show_message_utf8(&parent, text);
}

}  // namespace

void use_settings_codec(SettingsCodec installed) {
    codec() = std::move(installed);
}

void SettingsTransfer::add_buttons(Gtk::Box& box) {
    copy_ = make_button(box, texts::copy_as_command);
    set_tooltip(*copy_, texts::copy_as_command_tip);
    copy_->signal_clicked().connect(sigc::mem_fun(*this, &SettingsTransfer::copy_command));
    Gtk::Button* save = make_button(box, texts::save_settings);
    set_tooltip(*save, texts::save_settings_tip);
    save->signal_clicked().connect([this] { choose(true); });
    Gtk::Button* open = make_button(box, texts::open_settings);
    set_tooltip(*open, texts::open_settings_tip);
    open->signal_clicked().connect([this] { choose(false); });
}

void SettingsTransfer::copy_command() {
    if (codec().command)
        Gtk::Clipboard::get()->set_text(codec().command(editor_.record()));
}

bool SettingsTransfer::save(const std::string& path) {
    if (!codec().text)
        return false;
    const std::string text = codec().text(editor_.record());
    ReplacementFile file(path);
    file.write(text.data(), text.size());
    if (const int error = file.ok() ? file.commit() : file.error(); error != 0) {
        tell(parent_, texts::file_create_failed, path, {g_strerror(error)});
        return false;
    }
    return true;
}

bool SettingsTransfer::open(const std::string& path) {
    if (!codec().read)
        return false;
    gchar* shown = g_filename_display_name(path.c_str());
    const SettingsLoad load = codec().read(path, shown != nullptr ? shown : path);
    g_free(shown);
    if (!load.record) {
        std::vector<std::string> details = load.skipped;
        details.push_back(load.error);
        tell(parent_, texts::settings_not_read, path, details);
        return false;
    }
    // The panels show what an edit moves; a record replaced as a whole is shown by building
    // their content anew, as a change of crystal kind does, first for the other kind.
    ParameterRecord& record = editor_.record();
    record = *load.record;
    record.axis_type = record.axis_type == kBiaxial ? kUniaxial : kBiaxial;
    editor_.changed();
    record = *load.record;
    // The axes come as they stand; the next edit of 2V needs the sense of Y they imply.
    OrientationState& state = editor_.orientation();
    state.y_parity = y_parity_of(record);
    state.edit_kind = kNoEdit;
    editor_.changed();
    if (!load.skipped.empty())
        tell(parent_, texts::settings_lines_skipped, path, load.skipped);
    return true;
}

void SettingsTransfer::choose(bool saving) {
    Gtk::FileChooserDialog chooser(
        shown_text(saving ? texts::save_settings : texts::open_settings),
        saving ? Gtk::FILE_CHOOSER_ACTION_SAVE : Gtk::FILE_CHOOSER_ACTION_OPEN);
    chooser.set_transient_for(parent_);
    chooser.add_button("_Cancel", Gtk::RESPONSE_CANCEL);
    chooser.add_button(saving ? "_Save" : "_Open", Gtk::RESPONSE_ACCEPT);
    chooser.set_default_response(Gtk::RESPONSE_ACCEPT);
    if (saving) {
        chooser.set_current_name("lumitra-settings.txt");
        chooser.set_do_overwrite_confirmation(true);
    }
    if (chooser.run() != Gtk::RESPONSE_ACCEPT || chooser.get_filename().empty())
        return;
    const std::string path = chooser.get_filename();
    chooser.hide();
    if (saving)
        save(path);
    else
        open(path);
}
