// The modal progress dialog of every long task: a message, a bar and "取消". The task runs
// on the GUI thread; each update lets the toolkit handle what is pending (repaints, a click
// on Cancel) and tells the task whether to go on. The core's tasks see it as a ProgressSink.
#pragma once

#include <gtkmm/button.h>
#include <gtkmm/dialog.h>
#include <gtkmm/progressbar.h>
#include <gtkmm/window.h>

#include <memory>

#include "model/progress_sink.h"

class ProgressDialog : public ProgressSink {
  public:
    // The dialog stays above parent, the window whose task it follows; nullptr for none.
    explicit ProgressDialog(Gtk::Window* parent) : parent_(parent) {}
    // Takes down a dialog still shown.
    ~ProgressDialog() override;
    ProgressDialog(const ProgressDialog&) = delete;
    ProgressDialog& operator=(const ProgressDialog&) = delete;

    // Builds and shows the dialog with the Shift-JIS message; it holds the input grab until
    // it closes. A dialog still open from an earlier task is taken down first.
    void open_progress(const char* message_sjis);

    // Handles every pending event, then returns 0 if the user cancelled (the bar is left as
    // it was), else shows the fraction and returns 1. A fraction of exactly 1.0 closes the
    // dialog. Callers pass (units done) / (all units) so that the last call is exactly 1.0.
    int update_progress(float fraction);

    // Handles every pending event and returns 0 if the user cancelled, else 1; the bar stays
    // as it is. For a task that waits on something else between two updates.
    int poll_progress();

    // True from the moment a dialog is built until the user cancels or closes it; false
    // before any dialog and after a cancel. Completion (fraction 1.0) leaves it true.
    bool running() const { return running_; }

    // What Cancel does, for the task's owner: the next update or poll tells the task to stop.
    void cancel() { on_cancel(); }

    // The dialog, its bar and its Cancel button while one is shown; nullptr otherwise.
    Gtk::Dialog* dialog() { return dialog_.get(); }
    Gtk::ProgressBar* bar() { return bar_; }
    Gtk::Button* cancel_button() { return cancel_; }

    void open(const char* message_sjis) override { open_progress(message_sjis); }
    bool update(float fraction) override { return update_progress(fraction) != 0; }
    bool keep_going() override { return poll_progress() != 0; }

  private:
    void take_down(bool inside_its_handler);
    void on_cancel();
    void delete_retired();

    Gtk::Window* parent_;
    bool running_ = false;
    std::unique_ptr<Gtk::Dialog> dialog_;
    Gtk::ProgressBar* bar_ = nullptr;
    Gtk::Button* cancel_ = nullptr;
    // A dialog taken down from inside one of its own signal handlers; it is deleted once that
    // emission is over (at the next update or open, or when the loop is idle).
    std::unique_ptr<Gtk::Dialog> retired_;
    sigc::connection retire_at_idle_;
};
