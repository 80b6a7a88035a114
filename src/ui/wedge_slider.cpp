#include "ui/wedge_slider.h"

#include <gtkmm/adjustment.h>

#include "model/texts.h"

WedgeSlider::WedgeSlider(RecordEditor& editor)
    : RecordSlider(editor, texts::wedge_retardation, &ParameterRecord::wedge_retardation,
                   controls::kWedgeRetardation, texts::wedge_retardation_tip) {
    // The wedge travels its whole range, so its slider reaches the upper end (no page size).
    scale_->get_adjustment()->set_page_size(0.0);
    show_all_children();
    set_no_show_all(true);
    editor_.signal_changed().connect(sigc::mem_fun(*this, &WedgeSlider::show_record));
}

void WedgeSlider::show_record() {
    set_visible(editor_.record().no_test_plate == kQuartzWedge);
    show_value();
}
