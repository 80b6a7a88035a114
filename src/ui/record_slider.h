// A field of the record as a labelled slider under the other parameters, as wide as their
// rows: dragging it writes the field and tells the editor, so that the live figure follows
// as it moves; an edit elsewhere is shown by show_value.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/scale.h>

#include "model/controls.h"
#include "ui/record_editor.h"

class RecordSlider : public Gtk::Box {
  public:
    Gtk::Scale& scale() { return *scale_; }

  protected:
    RecordSlider(RecordEditor& editor, const char* label_sjis, float ParameterRecord::*field,
                 const ControlRange& range, const char* tip_sjis);
    // Moves the slider to the record's value when an edit elsewhere changed it.
    void show_value();

    RecordEditor& editor_;
    Gtk::Scale* scale_ = nullptr;

  private:
    float ParameterRecord::*field_;
};
