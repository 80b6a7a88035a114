#include "ui/mode_frames.h"

#include "model/controls.h"
#include "ui/widget_builders.h"

namespace {

const SwitchControl& switch_of(ModeButton which) {
    return switch_controls()[std::size_t(which)];
}

}  // namespace

ModeFrames::ModeFrames(RecordEditor& editor) : editor_(editor) {
    row_.set_homogeneous(true);
    add(row_);
    const ParameterRecord& record = editor_.record();
    for (ModeButton which :
         {kCrystalKindButton, kDrawModeButton, kTestPlateButton, kDrawRangeButton}) {
        const SwitchControl& control = switch_of(which);
        Gtk::Button* button = make_button(row_, caption_of(control, record.*control.field));
        button->set_border_width(0);
        set_tooltip(*button, control.tip);
        button->signal_clicked().connect([this, which] { on_clicked(which); });
        buttons_[which] = button;
    }
    editor_.signal_changed().connect(sigc::mem_fun(*this, &ModeFrames::show_values));
}

void ModeFrames::on_clicked(ModeButton which) {
    const SwitchControl& control = switch_of(which);
    std::int32_t& value = editor_.record().*control.field;
    value = next_value(control, value);
    editor_.changed();
}

// Each caption names its switch's current value.
void ModeFrames::show_values() {
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        const SwitchControl& control = switch_of(ModeButton(i));
        set_button_label(*buttons_[i], caption_of(control, editor_.record().*control.field));
    }
}
