#include "ui/wedge_slider.h"

#include "model/controls.h"
#include "model/texts.h"
#include "ui/widget_builders.h"

namespace {

// As wide a label as the other parameters' rows above it.
constexpr RowWidths kWidths{155, 53};

}  // namespace

WedgeSlider::WedgeSlider(RecordEditor& editor)
    : Gtk::Box(Gtk::ORIENTATION_VERTICAL, 0), editor_(editor) {
    set_border_width(5);
    ParameterRecord& record = editor_.record();
    const ControlRange& range = controls::kWedgeRetardation;
    scale_ = make_labeled_scale(*this, texts::wedge_retardation, kWidths, record.wedge_retardation,
                                range);
    // The wedge travels its whole range, so its slider reaches the upper end (no page size),
    // and it takes the row's width: a slider as narrow as a spin is no use over 2000 nm.
    scale_->get_adjustment()->set_page_size(0.0);
    set_tooltip(*scale_, texts::wedge_retardation_tip);
    if (auto* row = dynamic_cast<Gtk::Box*>(scale_->get_parent())) {
        row->child_property_expand(*scale_) = true;
        row->child_property_fill(*scale_) = true;
    }
    scale_->signal_value_changed().connect([this, &record] {
        record.wedge_retardation = static_cast<float>(scale_->get_value());
        editor_.changed();
    });
    show_all_children();
    set_no_show_all(true);
    editor_.signal_changed().connect(sigc::mem_fun(*this, &WedgeSlider::show_record));
}

void WedgeSlider::show_record() {
    const ParameterRecord& record = editor_.record();
    set_visible(record.no_test_plate == kQuartzWedge);
    if (scale_->get_value() != record.wedge_retardation)
        scale_->set_value(record.wedge_retardation);
}
