#include "ui/mode_frames.h"

#include <array>

#include "model/parameter_record.h"
#include "model/texts.h"
#include "ui/optical_properties_panel.h"
#include "ui/orientation_panel.h"
#include "ui/other_parameters_panel.h"
#include "ui/projection_preview.h"
#include "ui/widget_builders.h"

namespace {

std::array<Gtk::Button*, 4> buttons{};

const char* crystal_kind_caption(int value) {
    return value == kBiaxial ? texts::biaxial : texts::uniaxial;
}

const char* draw_mode_caption(int value) {
    switch (value) {
        case kRotationImage:
            return texts::rotation_image_mode;
        case kAnimation:
            return texts::animation_mode;
        default:
            return texts::single_image_mode;
    }
}

const char* test_plate_caption(int value) {
    return value == 0 ? texts::test_plate_inserted : texts::no_test_plate;
}

const char* draw_range_caption(int value) {
    return value == kFullRange ? texts::full_range : texts::microscope_field;
}

void on_crystal_kind_clicked() {
    parameters.axis_type = parameters.axis_type == kUniaxial ? kBiaxial : kUniaxial;
    set_button_label(*buttons[kCrystalKindButton], crystal_kind_caption(parameters.axis_type));
    rebuild_orientation_panel();
    // The optical properties come before the preview: they set the mean index that the
    // preview's field-of-view circle is drawn with.
    rebuild_optical_properties_panel();
    redraw_projection_preview();
}

void on_draw_mode_clicked() {
    switch (parameters.draw_mode) {
        case kSingleImage:
            parameters.draw_mode = kRotationImage;
            break;
        case kRotationImage:
            parameters.draw_mode = kAnimation;
            break;
        default:
            parameters.draw_mode = kSingleImage;
            break;
    }
    set_button_label(*buttons[kDrawModeButton], draw_mode_caption(parameters.draw_mode));
    rebuild_orientation_panel();
    redraw_projection_preview();
    rebuild_image_size_control();
}

void on_test_plate_clicked() {
    parameters.no_test_plate = parameters.no_test_plate == 1 ? 0 : 1;
    set_button_label(*buttons[kTestPlateButton], test_plate_caption(parameters.no_test_plate));
}

void on_draw_range_clicked() {
    parameters.draw_range =
        parameters.draw_range == kMicroscopeField ? kFullRange : kMicroscopeField;
    set_button_label(*buttons[kDrawRangeButton], draw_range_caption(parameters.draw_range));
    redraw_projection_preview();
}

void forget_widgets(GtkWidget*, gpointer) {
    buttons.fill(nullptr);
}

Gtk::Button* add_button(Gtk::Box& row, const char* caption, const char* tip, void (*on_clicked)()) {
    Gtk::Button* b = make_button(row, caption);
    b->set_border_width(0);
    set_tooltip(*b, tip);
    b->signal_clicked().connect(on_clicked);
    return b;
}

}  // namespace

void build_mode_frames(Gtk::Box& box) {
    auto* row = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 0));
    row->set_homogeneous(true);
    auto* frame = Gtk::manage(new Gtk::Frame());
    box.pack_start(*frame, false, false, 0);
    frame->add(*row);
    g_signal_connect(frame->gobj(), "destroy", G_CALLBACK(&forget_widgets), nullptr);

    parameters.axis_type = kUniaxial;
    parameters.draw_mode = kSingleImage;
    parameters.no_test_plate = 1;
    parameters.draw_range = kMicroscopeField;
    buttons[kCrystalKindButton] = add_button(*row, crystal_kind_caption(parameters.axis_type),
                                             texts::optic_axis_type_tip, &on_crystal_kind_clicked);
    buttons[kDrawModeButton] = add_button(*row, draw_mode_caption(parameters.draw_mode),
                                          texts::drawing_mode_tip, &on_draw_mode_clicked);
    buttons[kTestPlateButton] = add_button(*row, test_plate_caption(parameters.no_test_plate),
                                           texts::test_plate_tip, &on_test_plate_clicked);
    buttons[kDrawRangeButton] = add_button(*row, draw_range_caption(parameters.draw_range),
                                           texts::drawing_range_tip, &on_draw_range_clicked);
}

Gtk::Button* mode_button(ModeButton which) {
    return buttons[which];
}
