// The stage's turn for the single image and the live figure, as a slider under the other
// parameters: the live figure follows it as it is dragged, so that a lecturer can bring a
// section to its 45° position before Draw.
#pragma once

#include "ui/record_slider.h"

class StageAzimuthSlider : public RecordSlider {
  public:
    explicit StageAzimuthSlider(RecordEditor& editor);
};
