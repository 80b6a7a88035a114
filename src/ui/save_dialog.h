// Save in the figure window: a file chooser, the format taken from the chosen name's
// extension, the movie-size question for an animation, and the writer that does the work.
#pragma once

#include <gtkmm/filechooserdialog.h>
#include <gtkmm/spinbutton.h>
#include <gtkmm/window.h>

#include <functional>
#include <string>

#include "optics/figure_buffer.h"
#include "output/figure_file.h"
#include "render/tone_table.h"

class FigureAnimation;
class FigureView;
class MovieSizeDialog;
class ProgressDialog;

class SaveDialog {
  public:
    // Saves what the view shows; animation is the turning stage in the animation mode, else
    // nullptr. The dialogs it opens stay above parent.
    SaveDialog(Gtk::Window& parent, FigureView& view, const FigureAnimation* animation)
        : parent_(parent), view_(view), animation_(animation) {}
    SaveDialog(const SaveDialog&) = delete;
    SaveDialog& operator=(const SaveDialog&) = delete;

    // Opens the save chooser and waits until it is gone. Does nothing while the animation
    // plays.
    void run();

    // Acts on a name confirmed in the chooser. Returns false when the extension is refused:
    // the message has been shown and the chooser stays open for another try. Otherwise the
    // chooser is hidden, and the still or movie written, before this returns true.
    bool accept(const std::string& path);

    // Writes the shown frame as a still, or the whole series as a movie of the given side,
    // and tells the user when the file could not be made.
    void save_still(const std::string& path, OutputFormat format);
    void save_movie(const std::string& path, int movie_side,
                    OutputFormat format = OutputFormat::kMpeg);
    // Computes the figure again side pixels across (beyond the size controls, after checking
    // that the memory it takes is there) and writes it; a movie is then side across too.
    void save_at_size(const std::string& path, OutputFormat format, int side);

    // The file of FFmpeg's encoders, which a save of an MP4, WebM or GIF loads; set once at
    // start-up.
    static void use_movie_module(std::string file) { movie_module_ = std::move(file); }

    // Cancels the movie being written, as its Cancel would; once the export has removed its
    // temporaries and stopped its encoder, after_cleanup runs instead of any message.
    // False when no movie is being written.
    bool cancel_export(std::function<void()> after_cleanup);

    // The chooser and the movie-size dialog while they are shown, for tests; nullptr
    // otherwise.
    Gtk::FileChooserDialog* chooser() { return chooser_; }
    MovieSizeDialog* movie_size_dialog() { return movie_size_; }
    // The chooser's output size: the figure's side unless the user asks for another.
    Gtk::SpinButton* output_size_spin() { return output_size_; }

  private:
    bool animation_mode() const;
    void write(const FigureFile& file, const Figure& figure, const ToneTable& tones,
               ProgressSink& progress);
    // The window a message goes above: the one that holds the input at the moment, the
    // export's progress dialog or the figure window.
    Gtk::Window& message_parent();

    Gtk::Window& parent_;
    FigureView& view_;
    const FigureAnimation* animation_;
    Gtk::FileChooserDialog* chooser_ = nullptr;
    MovieSizeDialog* movie_size_ = nullptr;
    Gtk::SpinButton* output_size_ = nullptr;
    static inline std::string movie_module_;
    ProgressDialog* export_progress_ = nullptr;
    std::function<void()> after_export_;
};

// The program's Shift-JIS message with "%s" replaced by a file name or part of one. The
// name is shown as the file system spells it (converted for display, never through the
// Shift-JIS conversion); the result is UTF-8.
std::string message_with_name(const char* sjis_template, const std::string& filename);
