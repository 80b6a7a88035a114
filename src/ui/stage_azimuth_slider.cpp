#include "ui/stage_azimuth_slider.h"

#include "model/texts.h"

// A full turn is the stage at zero again, so the slider stops one step below it.
StageAzimuthSlider::StageAzimuthSlider(RecordEditor& editor)
    : RecordSlider(editor, texts::stage_azimuth, &ParameterRecord::stage_azimuth,
                   controls::kStageAzimuth, texts::stage_azimuth_single_tip) {
    editor_.signal_changed().connect(sigc::mem_fun(*this, &StageAzimuthSlider::show_value));
}
