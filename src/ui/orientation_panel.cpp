#include "ui/orientation_panel.h"

#include <cstdio>

#include "model/controls.h"
#include "model/texts.h"
#include "ui/label_text.h"
#include "ui/symbol_style.h"
#include "ui/widget_builders.h"

namespace {

void destroy(Gtk::Widget* widget) {
    // Destroying a managed widget also frees its C++ wrapper and its children.
    if (widget != nullptr)
        gtk_widget_destroy(widget->gobj());
}

float value_of(Gtk::SpinButton* spin) {
    return static_cast<float>(spin->get_value());
}

std::string angle_text(float degrees) {
    char text[32];
    std::snprintf(text, sizeof text, "%3.0f", degrees);
    return text;
}

Gtk::SpinButton* add_theta_spin(Gtk::Box& row, float value) {
    Gtk::SpinButton* spin = make_labeled_spin(row, "q  ", {25, 50}, value, controls::kAxisTheta);
    if (Gtk::Label* label = spin_label(*spin))
        set_symbol_style(*label);
    set_tooltip(*spin, texts::angle_to_microscope_axis_tip);
    return spin;
}

Gtk::SpinButton* add_phi_spin(Gtk::Box& row, float value) {
    Gtk::SpinButton* spin = make_labeled_spin(row, "f  ", {25, 50}, value, controls::kAxisPhi);
    spin->set_wrap(true);
    if (Gtk::Label* label = spin_label(*spin))
        set_symbol_style(*label);
    set_tooltip(*spin, texts::azimuth);
    return spin;
}

Gtk::Label* add_row_label(Gtk::Box& row, const std::string& text, float xalign, int width,
                          bool symbol) {
    Gtk::Label* label = make_label_utf8(row, text, 0);
    if (symbol)
        set_symbol_style(*label);
    label->set_xalign(xalign);
    label->set_size_request(width, -1);
    return label;
}

}  // namespace

OrientationPanel::OrientationPanel(RecordEditor& editor)
    : Gtk::Frame(shown_text(texts::orientation_frame)),
      editor_(editor),
      state_(editor.orientation()) {
    set_border_width(10);
    editor_.signal_changed().connect(sigc::mem_fun(*this, &OrientationPanel::show_record));
}

void OrientationPanel::show_record() {
    const ParameterRecord& record = editor_.record();
    if (shown_kind_ != record.axis_type || shown_mode_ != record.draw_mode) {
        build_content();
    } else if (record.two_vz != shown_two_vz_ && axes_[0].holder != nullptr) {
        // A new optic axial angle has moved the axes that follow it: every row is shown
        // afresh, the rotation axis's with R at 0, as no edit is under way any more.
        for (int axis = 0; axis < kAxisCount; ++axis)
            build_axis_row(axis);
    }
    shown_two_vz_ = record.two_vz;
    show_display_values();
}

void OrientationPanel::forget_content() {
    content_ = nullptr;
    c_theta_ = c_phi_ = step_ = nullptr;
    step_changed_.disconnect();
    axes_.fill(AxisWidgets{});
    theta_ = phi_ = rotation_ = nullptr;
    rotation_changed_.disconnect();
}

void OrientationPanel::build_content() {
    if (content_ != nullptr) {
        Gtk::Box* old = content_;
        forget_content();
        destroy(old);
    }
    content_ = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_VERTICAL, 0));
    add(*content_);
    const ParameterRecord& record = editor_.record();
    shown_kind_ = record.axis_type;
    shown_mode_ = record.draw_mode;
    if (record.axis_type == kBiaxial) {
        build_biaxial_rows();
    } else {
        build_uniaxial_rows();
    }
    if (record.draw_mode != kSingleImage)
        build_step_row();
    content_->show_all();
    state_.edit_kind = kNoEdit;
}

// --- uniaxial ---------------------------------------------------------------------------

void OrientationPanel::build_uniaxial_rows() {
    ParameterRecord& record = editor_.record();
    make_label(*content_, texts::c_optic_axis, 10);
    auto* row = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 0));
    content_->pack_start(*row, false, false, 10);
    make_label(*row, "C", 0)->set_size_request(53, -1);
    c_theta_ = add_theta_spin(*row, record.c_axis_theta);
    c_phi_ = add_phi_spin(*row, record.c_axis_phi);
    c_theta_->signal_value_changed().connect([this, &record] {
        record.c_axis_theta = value_of(c_theta_);
        editor_.changed();
    });
    c_phi_->signal_value_changed().connect([this, &record] {
        record.c_axis_phi = value_of(c_phi_);
        editor_.changed();
    });
}

// --- biaxial ----------------------------------------------------------------------------

void OrientationPanel::show_display_values() {
    const ParameterRecord& record = editor_.record();
    for (int axis = 0; axis < kAxisCount; ++axis) {
        if (axes_[axis].theta_text == nullptr)
            continue;
        const AxisRecord& a = state_.axes[axis];
        show_text(*axes_[axis].theta_text, angle_text(record.*a.theta));
        show_text(*axes_[axis].phi_text, angle_text(record.*a.phi));
    }
}

Gtk::Box& OrientationPanel::new_row(int axis) {
    destroy(axes_[axis].row);
    axes_[axis].theta_text = axes_[axis].phi_text = nullptr;
    auto* row = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 0));
    axes_[axis].holder->pack_start(*row, false, false, 0);
    axes_[axis].row = row;
    return *row;
}

void OrientationPanel::build_display_row(int axis) {
    Gtk::Box& row = new_row(axis);
    add_row_label(row, "q  ", 1.0f, 27, true);
    axes_[axis].theta_text = add_row_label(row, "", 0.0f, 50, false);
    add_row_label(row, "f  ", 1.0f, 30, true);
    axes_[axis].phi_text = add_row_label(row, "", 0.0f, 50, false);
    show_display_values();
    row.show_all();
}

// A tilt or turn ends a rotation about the axis: R shows 0 again. The directions stay where
// the rotation left them, which the edit itself takes care of, so the R handler is kept out.
void OrientationPanel::return_rotation_to_zero() {
    if (rotation_ == nullptr)
        return;
    rotation_changed_.block();
    rotation_->set_value(0.0);
    rotation_changed_.unblock();
}

void OrientationPanel::on_tilt() {
    if (state_.edit_kind == kRotateEdit)
        return_rotation_to_zero();
    tilt_rotation_axis(editor_.record(), state_, value_of(theta_));
    editor_.changed();
}

void OrientationPanel::on_turn() {
    if (state_.edit_kind == kRotateEdit)
        return_rotation_to_zero();
    turn_rotation_axis(editor_.record(), state_, value_of(phi_));
    editor_.changed();
}

void OrientationPanel::on_rotate() {
    rotate_about_rotation_axis(editor_.record(), state_, value_of(rotation_));
    editor_.changed();
}

void OrientationPanel::build_editable_row(int axis) {
    Gtk::Box& row = new_row(axis);
    const ParameterRecord& record = editor_.record();
    const AxisRecord& a = state_.axes[axis];
    theta_ = add_theta_spin(row, record.*a.theta);
    phi_ = add_phi_spin(row, record.*a.phi);
    rotation_ = make_labeled_spin(row, "R  ", {20, 16}, 0, controls::kRotationAngle);
    rotation_->set_wrap(true);
    // Room for "-180"; the requested width is narrower than any spin button can be drawn.
    rotation_->set_width_chars(4);
    set_tooltip(*rotation_, texts::rotate_about_axis_tip);
    theta_->signal_value_changed().connect(sigc::mem_fun(*this, &OrientationPanel::on_tilt));
    phi_->signal_value_changed().connect(sigc::mem_fun(*this, &OrientationPanel::on_turn));
    rotation_changed_.disconnect();
    rotation_changed_ = rotation_->signal_value_changed().connect(
        sigc::mem_fun(*this, &OrientationPanel::on_rotate));
    row.show_all();
}

void OrientationPanel::build_axis_row(int axis) {
    if (axis == state_.rotation_axis) {
        build_editable_row(axis);
    } else {
        build_display_row(axis);
    }
}

// Choosing another rotation axis moves nothing: only the rows change.
void OrientationPanel::on_radio_toggled(int axis) {
    if (axis == state_.rotation_axis || !axes_[axis].radio->get_active())
        return;
    const int old = state_.rotation_axis;
    select_rotation_axis(state_, axis);
    build_display_row(old);
    build_editable_row(axis);
}

void OrientationPanel::build_biaxial_rows() {
    auto* captions = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_VERTICAL, 0));
    content_->pack_start(*captions, false, false, 10);
    make_label(*captions, texts::ab_optic_axes, 0);
    make_label(*captions, texts::xyz_principal_axes, 0);

    Gtk::RadioButton::Group group;
    for (int axis = 0; axis < kAxisCount; ++axis) {
        auto* holder = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 0));
        content_->pack_start(*holder, false, false, 0);
        auto* radio =
            Gtk::manage(new Gtk::RadioButton(group, std::string(1, state_.axes[axis].name)));
        holder->pack_start(*radio, false, false, 10);
        set_tooltip(*radio, texts::rotation_axis_tip);
        axes_[axis].holder = holder;
        axes_[axis].radio = radio;
        build_axis_row(axis);
    }
    // Connected only once the right button is active, so that building the group does not
    // count as a choice.
    axes_[state_.rotation_axis].radio->set_active(true);
    for (int axis = 0; axis < kAxisCount; ++axis) {
        axes_[axis].radio->signal_toggled().connect([this, axis] { on_radio_toggled(axis); });
    }
}

// --- stage-azimuth step -------------------------------------------------------------------

void OrientationPanel::on_step_changed() {
    ParameterRecord& record = editor_.record();
    const bool rotation = record.draw_mode == kRotationImage;
    float& field = rotation ? record.rotation_step : record.animation_step;
    float step = value_of(step_);
    if (rotation) {
        step = snap_rotation_step(step, field);
        // The snapped value comes back to this handler once more, after this call: by then
        // the record holds it and nothing is left to do.
        if (step_->get_value() != step) {
            step_changed_.block();
            step_->set_value(step);
            step_changed_.unblock();
        }
    }
    if (step == field)
        return;
    field = step;
    editor_.changed();
}

void OrientationPanel::build_step_row() {
    const ParameterRecord& record = editor_.record();
    const bool rotation = record.draw_mode == kRotationImage;
    step_ = make_labeled_spin(*content_, "Df  ", {160, 50},
                              rotation ? record.rotation_step : record.animation_step,
                              rotation ? controls::kRotationStep : controls::kAnimationStep);
    step_->set_width_chars(4);  // "22.5"
    if (rotation)
        take_values_when_entered(*step_);
    if (Gtk::Label* label = spin_label(*step_))
        set_symbol_style(*label);
    set_tooltip(*step_, texts::azimuth_sampling_tip);
    step_changed_ = step_->signal_value_changed().connect(
        sigc::mem_fun(*this, &OrientationPanel::on_step_changed));
}

Gtk::RadioButton* OrientationPanel::axis_radio(int axis) {
    return axis >= 0 && axis < kAxisCount ? axes_[axis].radio : nullptr;
}

std::string OrientationPanel::axis_row_theta_text(int axis) {
    if (axis < 0 || axis >= kAxisCount || axes_[axis].theta_text == nullptr)
        return {};
    return axes_[axis].theta_text->get_text();
}

std::string OrientationPanel::axis_row_phi_text(int axis) {
    if (axis < 0 || axis >= kAxisCount || axes_[axis].phi_text == nullptr)
        return {};
    return axes_[axis].phi_text->get_text();
}
