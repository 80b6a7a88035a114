#include "ui/save_dialog.h"

#include <glib.h>

#include <cerrno>
#include <optional>

#include "model/parameter_record.h"
#include "model/texts.h"
#include "output/figure_marks.h"
#include "output/movie_pipeline.h"
#include "output/still_writers.h"
#include "render/frame_rendering.h"
#include "ui/figure_animation.h"
#include "ui/figure_view.h"
#include "ui/label_text.h"
#include "ui/message_dialog.h"
#include "ui/movie_size_dialog.h"
#include "ui/progress_dialog.h"

namespace {

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
void show_failure(Gtk::Window& parent, const std::string& path, int error) {
    std::string text = message_with_name(texts::file_create_failed, path);
    if (error != 0)
        text += std::string("\n") + g_strerror(error);
    show_message_utf8(&parent, text);
}

}  // namespace

std::string message_with_name(const char* sjis_template, const std::string& filename) {
    gchar* shown = g_filename_display_name(filename.c_str());
    const std::string name = shown != nullptr ? shown : filename;
    g_free(shown);
    std::string text = shown_text(sjis_template);
    if (const std::size_t at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, name);
    return text;
}

bool SaveDialog::animation_mode() const {
    return view_.figure().setup.params.draw_mode == kAnimation;
}

Gtk::Window& SaveDialog::message_parent() {
    if (export_progress_ != nullptr && export_progress_->dialog() != nullptr)
        return *export_progress_->dialog();
    return parent_;
}

void SaveDialog::run() {
    if (animation_ != nullptr && animation_->stage().running())
        return;

    Gtk::FileChooserDialog chooser("Save as jpg or bmp file", Gtk::FILE_CHOOSER_ACTION_SAVE);
    chooser.set_transient_for(parent_);
    chooser.add_button("_Cancel", Gtk::RESPONSE_CANCEL);
    chooser.add_button("_Save", Gtk::RESPONSE_ACCEPT);
    chooser.set_default_response(Gtk::RESPONSE_ACCEPT);
    chooser.set_current_name(animation_mode() ? "lumitra.mpg" : "lumitra.jpg");
    const ShownWhileInScope<Gtk::FileChooserDialog> shown(chooser_, &chooser);

    // A refused extension leaves the chooser up for another try.
    while (chooser.run() == Gtk::RESPONSE_ACCEPT) {
        const std::string path = chooser.get_filename();
        if (path.empty())
            continue;
        if (accept(path))
            break;
    }
}

bool SaveDialog::accept(const std::string& path) {
    const std::optional<std::string_view> extension = file_extension(path);
    const OutputFormat format = output_format(extension);

    if (format == OutputFormat::kUnsupported) {
        show_message_utf8(&message_parent(),
                          message_with_name(texts::not_supported, std::string(*extension)));
        return false;
    }
    if (format == OutputFormat::kMpeg && !animation_mode()) {
        show_message_utf8(&message_parent(), message_with_name(texts::only_in_animation_mode,
                                                               std::string(*extension)));
        return false;
    }

    if (chooser_ != nullptr)
        chooser_->hide();
    if (format == OutputFormat::kMpeg) {
        MovieSizeDialog question(parent_, view_.figure().side);
        const ShownWhileInScope<MovieSizeDialog> shown(movie_size_, &question);
        const std::optional<int> side = question.run();
        if (side)
            save_movie(path, *side);
    } else {
        // The chooser may have covered the figure; it is repainted before the write starts.
        view_.redraw();
        save_still(path, format);
    }
    return true;
}

void SaveDialog::save_still(const std::string& path, OutputFormat format) {
    const Figure& figure = view_.figure();
    const std::vector<std::uint8_t> still =
        marked_still(figure, view_.current_frame(), view_.tone_table(), view_.marks());
    if (still_writer(format)(path.c_str(), still.data(), figure.side, figure.side) == 0)
        show_failure(message_parent(), path, errno);
}

void SaveDialog::save_movie(const std::string& path, int movie_side) {
    ProgressDialog progress(&parent_);
    const ShownWhileInScope<ProgressDialog> running(export_progress_, &progress);
    const auto ask_to_close = [this](const std::string& busy_path) {
        show_message_utf8(&message_parent(),
                          message_with_name(texts::file_open_elsewhere, busy_path));
    };
    const float fps = animation_ != nullptr ? animation_->frames_per_second() : 0.0f;
    const int written = write_movie(path, view_.figure(), view_.tone_table(), movie_side, fps,
                                    progress, ask_to_close);
    const int error = errno;
    if (after_export_) {
        // The export has cleaned up after itself; whoever cancelled it takes over.
        const std::function<void()> after = std::move(after_export_);
        after_export_ = nullptr;
        after();
        return;
    }
    if (written == 0)
        show_failure(message_parent(), path, error);
}

bool SaveDialog::cancel_export(std::function<void()> after_cleanup) {
    if (export_progress_ == nullptr)
        return false;
    after_export_ = std::move(after_cleanup);
    export_progress_->cancel();
    return true;
}
