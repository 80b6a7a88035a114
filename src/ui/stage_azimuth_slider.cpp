#include "ui/stage_azimuth_slider.h"

#include "model/controls.h"
#include "model/texts.h"
#include "ui/widget_builders.h"

namespace {

// As wide a label as the other parameters' rows above it.
constexpr RowWidths kWidths{155, 53};

}  // namespace

StageAzimuthSlider::StageAzimuthSlider(RecordEditor& editor)
    : Gtk::Box(Gtk::ORIENTATION_VERTICAL, 0), editor_(editor) {
    set_border_width(5);
    ParameterRecord& record = editor_.record();
    // A full turn is the stage at zero again, so the slider stops one step below it.
    scale_ = make_labeled_scale(*this, texts::stage_azimuth, kWidths, record.stage_azimuth,
                                controls::kStageAzimuth);
    set_tooltip(*scale_, texts::stage_azimuth_single_tip);
    if (auto* row = dynamic_cast<Gtk::Box*>(scale_->get_parent())) {
        row->child_property_expand(*scale_) = true;
        row->child_property_fill(*scale_) = true;
    }
    scale_->signal_value_changed().connect([this, &record] {
        record.stage_azimuth = static_cast<float>(scale_->get_value());
        editor_.changed();
    });
    editor_.signal_changed().connect(sigc::mem_fun(*this, &StageAzimuthSlider::show_record));
}

void StageAzimuthSlider::show_record() {
    const ParameterRecord& record = editor_.record();
    if (scale_->get_value() != record.stage_azimuth)
        scale_->set_value(record.stage_azimuth);
}
