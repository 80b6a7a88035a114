// The quartz wedge's retardation as a slider, shown only while the wedge is the accessory:
// the live figure follows it as it is dragged, so that the rings move as the wedge goes in.
#pragma once

#include "ui/record_slider.h"

class WedgeSlider : public RecordSlider {
  public:
    explicit WedgeSlider(RecordEditor& editor);

  private:
    void show_record();
};
