// The figure window's two switches for slides: the reference marks and the caption. Each
// click hands the chosen marks on, so that the figure is drawn again with them.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/checkbutton.h>

#include <functional>

#include "output/figure_marks.h"

class MarkSwitches : public Gtk::Box {
  public:
    explicit MarkSwitches(std::function<void(const FigureMarks&)> on_changed);

    Gtk::CheckButton& marks_switch() { return marks_; }
    Gtk::CheckButton& caption_switch() { return caption_; }

  private:
    Gtk::CheckButton marks_;
    Gtk::CheckButton caption_;
};
