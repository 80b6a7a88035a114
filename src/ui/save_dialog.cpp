#include "ui/save_dialog.h"

#include <glib.h>

#include <cerrno>

#include "model/controls.h"
#include "model/texts.h"
#include "output/movie_pipeline.h"
#include "output/still_writers.h"
#include "render/frame_rendering.h"
#include "ui/figure_window.h"
#include "ui/label_text.h"
#include "ui/main_window.h"
#include "ui/message_dialog.h"
#include "ui/progress_dialog.h"
#include "ui/widget_builders.h"

int movie_size = 0;

namespace {

Gtk::FileChooserDialog* shown_chooser = nullptr;
Gtk::Dialog* shown_size_dialog = nullptr;
Gtk::SpinButton* shown_size_spin = nullptr;

// Sets a pointer for the lifetime of a scope, so that it never outlives its dialog.
template <class T>
class ShownWhileInScope {
  public:
    ShownWhileInScope(T*& slot, T* value) : slot_(slot) { slot_ = value; }
    ~ShownWhileInScope() { slot_ = nullptr; }
    ShownWhileInScope(const ShownWhileInScope&) = delete;
    ShownWhileInScope& operator=(const ShownWhileInScope&) = delete;

  private:
    T*& slot_;
};

// The program's message, and on a second line the system's reason when there is one.
void show_failure(const std::string& path, int error) {
    std::string text = message_with_name(texts::file_create_failed, path);
    if (error != 0)
        text += std::string("\n") + g_strerror(error);
    show_message_utf8(text);
}

}  // namespace

std::string message_with_name(const char* sjis_template, const std::string& filename) {
    gchar* shown = g_filename_display_name(filename.c_str());
    const std::string name = shown != nullptr ? shown : filename;
    g_free(shown);
    std::string text = sjis_to_utf8(sjis_template);
    if (const std::size_t at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, name);
    return text;
}

void on_save_clicked(FigureWindow& window) {
    if (window.animation_running())
        return;

    Gtk::FileChooserDialog chooser("Save as jpg or bmp file", Gtk::FILE_CHOOSER_ACTION_SAVE);
    chooser.set_transient_for(window.dialog());
    chooser.add_button("_Cancel", Gtk::RESPONSE_CANCEL);
    chooser.add_button("_Save", Gtk::RESPONSE_ACCEPT);
    chooser.set_default_response(Gtk::RESPONSE_ACCEPT);
    const bool animation = window.figure().setup.params.draw_mode == kAnimation;
    chooser.set_current_name(animation ? "lumitra.mpg" : "lumitra.jpg");
    const ShownWhileInScope<Gtk::FileChooserDialog> shown(shown_chooser, &chooser);

    // A refused extension leaves the chooser up for another try.
    while (chooser.run() == Gtk::RESPONSE_ACCEPT) {
        if (on_save_ok(chooser, window))
            break;
    }
}

bool on_save_ok(Gtk::FileChooserDialog& chooser, FigureWindow& window) {
    const std::string path = chooser.get_filename();
    if (path.empty())
        return false;
    const std::optional<std::string_view> extension = file_extension(path);
    const OutputFormat format = output_format(extension);
    const bool animation = window.figure().setup.params.draw_mode == kAnimation;

    // The chooser saves what its title offers: BMP and JPEG stills, and MPEG movies.
    if (format == OutputFormat::kUnsupported || format == OutputFormat::kPpm) {
        show_message_utf8(message_with_name(texts::not_supported, std::string(*extension)));
        return false;
    }
    if (format == OutputFormat::kMpeg && !animation) {
        show_message_utf8(
            message_with_name(texts::only_in_animation_mode, std::string(*extension)));
        return false;
    }

    chooser.hide();
    if (format == OutputFormat::kMpeg) {
        const std::optional<int> side = ask_movie_size(window.figure().side);
        if (!side)
            return true;
        movie_size = *side;
    } else {
        // The chooser may have covered the figure; it is repainted before the write starts.
        window.redraw();
    }
    save_figure(path, format, window);
    return true;
}

std::optional<int> ask_movie_size(int figure_side) {
    Gtk::Dialog dialog;
    dialog.set_title("MPEG file size");
    make_transient_for_active_window(dialog);
    Gtk::SpinButton* spin =
        make_labeled_spin(*dialog.get_content_area(), texts::movie_image_size, {185, 60},
                          float(default_movie_size(figure_side)), movie_size_range(figure_side));
    Gtk::ButtonBox* actions = dialog.get_action_area();
    Gtk::Button* ok = make_button(*actions, texts::ok);
    Gtk::Button* cancel = make_button(*actions, texts::cancel);
    ok->signal_clicked().connect([&dialog] { dialog.response(Gtk::RESPONSE_OK); });
    cancel->signal_clicked().connect([&dialog] { dialog.response(Gtk::RESPONSE_CANCEL); });
    dialog.show_all();

    const ShownWhileInScope<Gtk::Dialog> shown(shown_size_dialog, &dialog);
    const ShownWhileInScope<Gtk::SpinButton> shown_spin(shown_size_spin, spin);
    // run() holds the grab and answers a window-frame close with a delete-event response,
    // which counts as Cancel.
    if (dialog.run() != Gtk::RESPONSE_OK)
        return std::nullopt;
    spin->update();
    return spin->get_value_as_int();
}

void save_figure(const std::string& path, OutputFormat format, FigureWindow& window) {
    const Figure& figure = window.figure();
    if (format == OutputFormat::kMpeg) {
        GtkProgressSink progress;
        const auto ask_to_close = [](const std::string& busy_path) {
            show_message_utf8(message_with_name(texts::file_open_elsewhere, busy_path));
        };
        if (write_movie(path, figure, window.tone_table(), movie_size, window.frames_per_second(),
                        progress, ask_to_close) == 0)
            show_failure(path, errno);
        return;
    }
    const std::vector<std::uint8_t> still =
        render_still(figure, window.current_frame(), window.tone_table());
    const StillWriter writer = still_writer(format);
    if (writer(path.c_str(), still.data(), figure.side, figure.side) == 0)
        show_failure(path, errno);
}

Gtk::FileChooserDialog* save_chooser() {
    return shown_chooser;
}
Gtk::Dialog* movie_size_dialog() {
    return shown_size_dialog;
}
Gtk::SpinButton* movie_size_spin() {
    return shown_size_spin;
}
