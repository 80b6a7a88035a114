#include "ui/record_slider.h"

#include "ui/widget_builders.h"

namespace {

// As wide a label as the other parameters' rows above it.
constexpr RowWidths kWidths{155, 53};

}  // namespace

RecordSlider::RecordSlider(RecordEditor& editor, const char* label_sjis,
                           float ParameterRecord::*field, const ControlRange& range,
                           const char* tip_sjis)
    : Gtk::Box(Gtk::ORIENTATION_VERTICAL, 0), editor_(editor), field_(field) {
    set_border_width(5);
    ParameterRecord& record = editor_.record();
    scale_ = make_labeled_scale(*this, label_sjis, kWidths, record.*field_, range);
    set_tooltip(*scale_, tip_sjis);
    // The slider takes the row's width: one as narrow as a spin is no use over a wide range.
    if (auto* row = dynamic_cast<Gtk::Box*>(scale_->get_parent())) {
        row->child_property_expand(*scale_) = true;
        row->child_property_fill(*scale_) = true;
    }
    scale_->signal_value_changed().connect([this, &record] {
        record.*field_ = static_cast<float>(scale_->get_value());
        editor_.changed();
    });
}

void RecordSlider::show_value() {
    const float value = editor_.record().*field_;
    if (scale_->get_value() != value)
        scale_->set_value(value);
}
