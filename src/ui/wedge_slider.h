// The quartz wedge's retardation as a slider, shown only while the wedge is the accessory:
// the live figure follows it as it is dragged, so that the rings move as the wedge goes in.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/scale.h>

#include "ui/record_editor.h"

class WedgeSlider : public Gtk::Box {
  public:
    explicit WedgeSlider(RecordEditor& editor);

    Gtk::Scale& scale() { return *scale_; }

  private:
    void show_record();

    RecordEditor& editor_;
    Gtk::Scale* scale_ = nullptr;
};
