// Work in progress that must not outlive the program when it ends without returning to the
// code that started it (the main window closed during a movie export): the encoder's
// processes and the temporaries of the export. Each registration lasts as long as its object.
#pragma once

#include <functional>

class UndoOnExit {
  public:
    explicit UndoOnExit(std::function<void()> undo);
    ~UndoOnExit();
    UndoOnExit(const UndoOnExit&) = delete;
    UndoOnExit& operator=(const UndoOnExit&) = delete;

  private:
    std::function<void()> undo_;
    friend void undo_work_in_progress();
};

// Runs every registered undo, newest first, once. For an end of the program that does not
// unwind: it is called just before the process ends.
void undo_work_in_progress();
