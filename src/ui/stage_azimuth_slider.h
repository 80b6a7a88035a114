// The stage's turn for the single image and the live figure, as a slider under the other
// parameters: the live figure follows it as it is dragged, so that a lecturer can bring a
// section to its 45° position before Draw.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/scale.h>

#include "ui/record_editor.h"

class StageAzimuthSlider : public Gtk::Box {
  public:
    explicit StageAzimuthSlider(RecordEditor& editor);

    Gtk::Scale& scale() { return *scale_; }

  private:
    void show_record();

    RecordEditor& editor_;
    Gtk::Scale* scale_ = nullptr;
};
