#include "ui/orientation_panel.h"

#include <array>
#include <cstdio>

#include "model/controls.h"
#include "model/parameter_record.h"
#include "model/texts.h"
#include "ui/label_text.h"
#include "ui/other_parameters_panel.h"
#include "ui/projection_preview.h"
#include "ui/symbol_style.h"
#include "ui/widget_builders.h"

namespace {

OrientationState state;

Gtk::Frame* frame = nullptr;
Gtk::Box* content = nullptr;
Gtk::SpinButton* c_theta = nullptr;
Gtk::SpinButton* c_phi = nullptr;
Gtk::SpinButton* step = nullptr;

// The biaxial rows: per axis the box holding its radio button and its current row.
struct AxisWidgets {
    Gtk::Box* holder = nullptr;
    Gtk::RadioButton* radio = nullptr;
    Gtk::Box* row = nullptr;
    Gtk::Label* theta_text = nullptr;  // display rows only
    Gtk::Label* phi_text = nullptr;
};
std::array<AxisWidgets, kAxisCount> axes{};
Gtk::SpinButton* theta_spin = nullptr;
Gtk::SpinButton* phi_spin = nullptr;
Gtk::SpinButton* r_spin = nullptr;
sigc::connection r_changed;

void forget_content() {
    content = nullptr;
    c_theta = c_phi = step = nullptr;
    axes.fill(AxisWidgets{});
    theta_spin = phi_spin = r_spin = nullptr;
    r_changed.disconnect();
}

void forget_widgets(GtkWidget*, gpointer) {
    frame = nullptr;
    forget_content();
}

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

// --- uniaxial ---------------------------------------------------------------------------

void on_c_angle_changed(float* field, Gtk::SpinButton* spin) {
    *field = value_of(spin);
    redraw_projection_preview();
}

void build_uniaxial_rows() {
    make_label(*content, texts::c_optic_axis, 10);
    auto* row = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 0));
    content->pack_start(*row, false, false, 10);
    make_label(*row, "C", 0)->set_size_request(53, -1);
    c_theta = add_theta_spin(*row, parameters.c_axis_theta);
    c_phi = add_phi_spin(*row, parameters.c_axis_phi);
    c_theta->signal_value_changed().connect(
        sigc::bind(&on_c_angle_changed, &parameters.c_axis_theta, c_theta));
    c_phi->signal_value_changed().connect(
        sigc::bind(&on_c_angle_changed, &parameters.c_axis_phi, c_phi));
}

// --- biaxial ----------------------------------------------------------------------------

void show_display_values(int axis) {
    const AxisRecord& record = state.axes[axis];
    if (axes[axis].theta_text == nullptr)
        return;
    axes[axis].theta_text->set_text(angle_text(parameters.*record.theta));
    axes[axis].phi_text->set_text(angle_text(parameters.*record.phi));
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

Gtk::Box* new_row(int axis) {
    destroy(axes[axis].row);
    axes[axis].theta_text = axes[axis].phi_text = nullptr;
    auto* row = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 0));
    axes[axis].holder->pack_start(*row, false, false, 0);
    axes[axis].row = row;
    return row;
}

void build_display_row(int axis) {
    Gtk::Box* row = new_row(axis);
    add_row_label(*row, "q  ", 1.0f, 27, true);
    axes[axis].theta_text = add_row_label(*row, "", 0.0f, 50, false);
    add_row_label(*row, "f  ", 1.0f, 30, true);
    axes[axis].phi_text = add_row_label(*row, "", 0.0f, 50, false);
    show_display_values(axis);
    row->show_all();
}

void refresh_other_rows() {
    for (int axis = 0; axis < kAxisCount; ++axis) {
        if (axis != state.rotation_axis)
            show_display_values(axis);
    }
}

// A tilt or turn ends a rotation about the axis: R shows 0 again. The directions stay where
// the rotation left them, which the edit itself takes care of, so the R handler is kept out.
void return_r_to_zero() {
    if (r_spin == nullptr)
        return;
    r_changed.block();
    r_spin->set_value(0.0);
    r_changed.unblock();
}

void on_tilt() {
    if (state.edit_kind == kRotateEdit)
        return_r_to_zero();
    tilt_rotation_axis(parameters, state, value_of(theta_spin));
    refresh_other_rows();
    redraw_projection_preview();
}

void on_turn() {
    if (state.edit_kind == kRotateEdit)
        return_r_to_zero();
    turn_rotation_axis(parameters, state, value_of(phi_spin));
    refresh_other_rows();
    redraw_projection_preview();
}

void on_rotate() {
    rotate_about_rotation_axis(parameters, state, value_of(r_spin));
    refresh_other_rows();
    redraw_projection_preview();
}

void build_editable_row(int axis) {
    Gtk::Box* row = new_row(axis);
    const AxisRecord& record = state.axes[axis];
    theta_spin = add_theta_spin(*row, parameters.*record.theta);
    phi_spin = add_phi_spin(*row, parameters.*record.phi);
    r_spin = make_labeled_spin(*row, "R  ", {20, 16}, 0, controls::kRotationAngle);
    r_spin->set_wrap(true);
    // Room for "-180"; the requested width is narrower than any spin button can be drawn.
    r_spin->set_width_chars(4);
    set_tooltip(*r_spin, texts::rotate_about_axis_tip);
    theta_spin->signal_value_changed().connect(&on_tilt);
    phi_spin->signal_value_changed().connect(&on_turn);
    r_changed.disconnect();
    r_changed = r_spin->signal_value_changed().connect(&on_rotate);
    row->show_all();
}

void build_axis_row(int axis) {
    if (axis == state.rotation_axis) {
        build_editable_row(axis);
    } else {
        build_display_row(axis);
    }
}

void on_radio_toggled(int axis) {
    if (axis == state.rotation_axis || !axes[axis].radio->get_active())
        return;
    const int old = state.rotation_axis;
    select_rotation_axis(state, axis);
    build_display_row(old);
    build_editable_row(axis);
}

void build_biaxial_rows() {
    auto* captions = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_VERTICAL, 0));
    content->pack_start(*captions, false, false, 10);
    make_label(*captions, texts::ab_optic_axes, 0);
    make_label(*captions, texts::xyz_principal_axes, 0);

    Gtk::RadioButton::Group group;
    for (int axis = 0; axis < kAxisCount; ++axis) {
        auto* holder = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 0));
        content->pack_start(*holder, false, false, 0);
        auto* radio =
            Gtk::manage(new Gtk::RadioButton(group, std::string(1, state.axes[axis].name)));
        holder->pack_start(*radio, false, false, 10);
        axes[axis].holder = holder;
        axes[axis].radio = radio;
        build_axis_row(axis);
    }
    // Connected only once the right button is active, so that building the group does not
    // count as a choice.
    axes[state.rotation_axis].radio->set_active(true);
    for (int axis = 0; axis < kAxisCount; ++axis) {
        axes[axis].radio->signal_toggled().connect(sigc::bind(&on_radio_toggled, axis));
    }
}

// --- stage-azimuth step -------------------------------------------------------------------

void on_step_changed() {
    if (parameters.draw_mode == kRotationImage) {
        const float previous = parameters.sampling_step;
        parameters.rotation_step = value_of(step);
        // Setting the snapped value runs this handler once more, for a value that needs no
        // further correction.
        step->set_value(snap_rotation_step(parameters.rotation_step, previous));
        parameters.sampling_step = parameters.rotation_step;
    } else {
        parameters.animation_step = value_of(step);
        parameters.sampling_step = parameters.animation_step;
    }
    rebuild_image_size_control();
}

void build_step_row() {
    if (parameters.draw_mode == kRotationImage) {
        step = make_labeled_spin(*content, "Df  ", {160, 50}, parameters.rotation_step,
                                 controls::kRotationStep);
        parameters.sampling_step = parameters.rotation_step;
    } else {
        step = make_labeled_spin(*content, "Df  ", {160, 50}, parameters.animation_step,
                                 controls::kAnimationStep);
        parameters.sampling_step = parameters.animation_step;
    }
    step->set_width_chars(4);  // "22.5"
    if (Gtk::Label* label = spin_label(*step))
        set_symbol_style(*label);
    set_tooltip(*step, texts::azimuth_sampling_tip);
    step->signal_value_changed().connect(&on_step_changed);
}

}  // namespace

void build_orientation_panel(Gtk::Box& column) {
    frame = Gtk::manage(new Gtk::Frame(sjis_to_utf8(texts::orientation_frame)));
    frame->set_border_width(10);
    column.pack_start(*frame, false, false, 0);
    g_signal_connect(frame->gobj(), "destroy", G_CALLBACK(&forget_widgets), nullptr);
    rebuild_orientation_panel();
}

void rebuild_orientation_panel() {
    if (frame == nullptr)
        return;
    if (content != nullptr) {
        Gtk::Box* old = content;
        forget_content();
        destroy(old);
    }
    content = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_VERTICAL, 0));
    frame->add(*content);
    if (parameters.axis_type == kBiaxial) {
        build_biaxial_rows();
    } else {
        build_uniaxial_rows();
    }
    if (parameters.draw_mode != kSingleImage)
        build_step_row();
    content->show_all();
    state.edit_kind = kNoEdit;
}

void recompute_axes_for_two_v() {
    recompute_axes_for_two_v(parameters, state);
    if (axes[0].holder != nullptr) {
        for (int axis = 0; axis < kAxisCount; ++axis)
            build_axis_row(axis);
    }
    redraw_projection_preview();
}

OrientationState& orientation_state() {
    return state;
}
Gtk::SpinButton* c_theta_spin() {
    return c_theta;
}
Gtk::SpinButton* c_phi_spin() {
    return c_phi;
}
Gtk::RadioButton* axis_radio(int axis) {
    return axis >= 0 && axis < kAxisCount ? axes[axis].radio : nullptr;
}
Gtk::SpinButton* rotation_theta_spin() {
    return theta_spin;
}
Gtk::SpinButton* rotation_phi_spin() {
    return phi_spin;
}
Gtk::SpinButton* rotation_angle_spin() {
    return r_spin;
}
Gtk::SpinButton* sampling_step_spin() {
    return step;
}

std::string axis_row_theta_text(int axis) {
    if (axis < 0 || axis >= kAxisCount || axes[axis].theta_text == nullptr)
        return {};
    return axes[axis].theta_text->get_text();
}

std::string axis_row_phi_text(int axis) {
    if (axis < 0 || axis >= kAxisCount || axes[axis].phi_text == nullptr)
        return {};
    return axes[axis].phi_text->get_text();
}
