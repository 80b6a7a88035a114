// The modal progress dialog of every long task: a message, a bar and "取消". The task runs
// on the GUI thread; each update lets the toolkit handle what is pending (repaints, a click
// on Cancel) and tells the task whether to go on.
#pragma once

#include <gtkmm.h>

#include "model/progress_sink.h"

// 1 from the moment a dialog is built until the user cancels or closes it; 0 before any
// dialog and after a cancel. Completion (fraction 1.0) leaves it at 1. Read-only outside
// the dialog.
extern int progress_running;

// Builds and shows the dialog with the Shift-JIS message; it holds the input grab until it
// closes. A dialog still open from an earlier task is taken down first.
void open_progress(const char* message_sjis);

// Handles every pending event, then returns 0 if the user cancelled (the bar is left as
// it was), else shows the fraction and returns 1. A fraction of exactly 1.0 closes the
// dialog. Callers pass (units done) / (all units) so that the last call is exactly 1.0.
int update_progress(float fraction);

// Handles every pending event and returns 0 if the user cancelled, else 1; the bar stays as
// it is. For a task that waits on something else between two updates.
int poll_progress();

// The dialog, its bar and its Cancel button while one is shown; nullptr otherwise.
Gtk::Dialog* progress_dialog();
Gtk::ProgressBar* progress_bar();
Gtk::Button* progress_cancel_button();

// The progress dialog as the core's tasks see it.
class GtkProgressSink : public ProgressSink {
  public:
    void open(const char* message_sjis) override { open_progress(message_sjis); }
    bool update(float fraction) override { return update_progress(fraction) != 0; }
    bool keep_going() override { return poll_progress() != 0; }
};
