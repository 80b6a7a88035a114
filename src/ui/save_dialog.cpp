#include "ui/save_dialog.h"

#include <glib.h>
#include <gtkmm/label.h>

#include <cerrno>
#include <optional>

#include "model/controls.h"
#include "model/parameter_record.h"
#include "model/texts.h"
#include "optics/figure_computation.h"
#include "optics/large_figure.h"
#include "ui/figure_animation.h"
#include "ui/figure_view.h"
#include "ui/label_text.h"
#include "ui/message_dialog.h"
#include "ui/movie_size_dialog.h"
#include "ui/progress_dialog.h"
#include "ui/widget_builders.h"

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
    // Larger figures than the size controls allow, for slides and projectors: the figure is
    // computed again at the size asked for, never enlarged.
    // The chooser owns the row and takes it down with itself.
    auto* extra = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 0));
    Gtk::SpinButton* size = make_labeled_spin(*extra, texts::output_size, {100, 60},
                                              float(view_.figure().side), controls::kOutputSize);
    // The memory the size takes, stated before anything is computed.
    Gtk::Label* memory = make_label_utf8(*extra, "", 5);
    const auto state_memory = [this, size, memory] {
        const int side = size->get_value_as_int();
        const DrawSetup setup = prepare_draw_at_side(view_.figure().setup.params, side);
        memory->set_text(side == view_.figure().side
                             ? std::string()
                             : memory_amount(figure_memory(setup, processor_count())));
    };
    size->signal_value_changed().connect(state_memory);
    extra->show_all();
    chooser.set_extra_widget(*extra);
    const ShownWhileInScope<Gtk::SpinButton> size_shown(output_size_, size);
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
    if (is_movie(format) && !animation_mode()) {
        show_message_utf8(&message_parent(), message_with_name(texts::only_in_animation_mode,
                                                               std::string(*extension)));
        return false;
    }
    if (const std::optional<OutputError> problem = movie_writer_problem(format, movie_module_)) {
        show_message_utf8(&message_parent(), message_with_name(texts::file_create_failed, path) +
                                                 "\n" + problem->what);
        return false;
    }

    int side = view_.figure().side;
    if (output_size_ != nullptr) {
        output_size_->update();
        side = output_size_->get_value_as_int();
    }
    if (chooser_ != nullptr)
        chooser_->hide();
    if (side != view_.figure().side) {
        save_at_size(path, format, side);
    } else if (is_movie(format)) {
        MovieSizeDialog question(parent_, view_.figure().side);
        const ShownWhileInScope<MovieSizeDialog> shown(movie_size_, &question);
        const std::optional<int> movie_side = question.run();
        if (movie_side)
            save_movie(path, *movie_side, format);
    } else {
        // The chooser may have covered the figure; it is repainted before the write starts.
        view_.redraw();
        save_still(path, format);
    }
    return true;
}

void SaveDialog::write(const FigureFile& file, const Figure& figure, const ToneTable& tones,
                       ProgressSink& progress) {
    const auto ask_to_close = [this](const std::string& busy_path) {
        show_message_utf8(&message_parent(),
                          message_with_name(texts::file_open_elsewhere, busy_path));
    };
    const int written = write_figure_file(file, figure, tones, progress, ask_to_close);
    const int error = errno;
    if (after_export_) {
        // The export has cleaned up after itself; whoever cancelled it takes over.
        const std::function<void()> after = std::move(after_export_);
        after_export_ = nullptr;
        after();
        return;
    }
    if (written == 0)
        show_failure(message_parent(), file.path, error);
}

void SaveDialog::save_still(const std::string& path, OutputFormat format) {
    SilentProgress progress;
    FigureFile file{path, format, view_.current_frame()};
    file.marks = view_.marks();
    write(file, view_.figure(), view_.tone_table(), progress);
}

void SaveDialog::save_movie(const std::string& path, int movie_side, OutputFormat format) {
    ProgressDialog progress(&parent_);
    const ShownWhileInScope<ProgressDialog> running(export_progress_, &progress);
    const float fps = animation_ != nullptr ? animation_->frames_per_second() : 0.0f;
    write({path, format, 0, movie_side, fps}, view_.figure(), view_.tone_table(), progress);
}

void SaveDialog::save_at_size(const std::string& path, OutputFormat format, int side) {
    const Figure& shown = view_.figure();
    DrawSetup setup = prepare_draw_at_side(shown.setup.params, side);
    setup.antialias = shown.setup.antialias;
    setup.vibration_directions = shown.setup.vibration_directions;
    const std::uint64_t needed = figure_memory(setup, processor_count());
    const std::uint64_t available = available_memory();
    if (!check_memory(setup, needed, available).fits) {
        std::string text = shown_text(texts::not_enough_memory);
        for (const std::uint64_t amount : {needed, available})
            if (const std::size_t at = text.find("%s"); at != std::string::npos)
                text.replace(at, 2, memory_amount(amount));
        show_message_utf8(&message_parent(), text);
        return;
    }
    ProgressDialog progress(&parent_);
    const ShownWhileInScope<ProgressDialog> running(export_progress_, &progress);
    const std::optional<Figure> large = compute_figure(setup, progress);
    if (!large)
        return;
    const ToneTable tones = view_.tone_table_for(*large);
    const float fps = animation_ != nullptr ? animation_->frames_per_second() : 0.0f;
    FigureFile file{path, format, view_.current_frame(), large->side, fps};
    file.marks = view_.marks();
    write(file, *large, tones, progress);
}

bool SaveDialog::cancel_export(std::function<void()> after_cleanup) {
    if (export_progress_ == nullptr)
        return false;
    after_export_ = std::move(after_cleanup);
    export_progress_->cancel();
    return true;
}
