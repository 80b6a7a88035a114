#include "ui/mode_frames.h"

#include <cstdio>

#include "model/accessories.h"
#include "model/controls.h"
#include "model/texts.h"
#include "ui/label_text.h"
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
    show_accessory_tip();
}

// An accessory's tooltip gives its retardation and the direction of its slow vibration.
void ModeFrames::show_accessory_tip() {
    const ParameterRecord& record = editor_.record();
    Gtk::Button& button = *buttons_[kTestPlateButton];
    char text[256];
    switch (record.no_test_plate) {
        case kQuartzWedge: {
            const ControlRange& wedge = controls::kWedgeRetardation;
            std::snprintf(text, sizeof text, shown_text(texts::wedge_tip).c_str(),
                          static_cast<int>(wedge.lower), static_cast<int>(wedge.upper));
            break;
        }
        case kFirstOrderPlate:
        case kQuarterWavePlate:
            std::snprintf(text, sizeof text, shown_text(texts::accessory_tip).c_str(),
                          static_cast<int>(accessory_retardation(record)));
            break;
        default:
            set_tooltip(button, switch_of(kTestPlateButton).tip);
            return;
    }
    button.set_tooltip_text(text);
}
