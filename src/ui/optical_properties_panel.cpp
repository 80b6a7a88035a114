#include "ui/optical_properties_panel.h"

#include "model/controls.h"
#include "model/derived_values.h"
#include "model/parameter_record.h"
#include "model/texts.h"
#include "ui/label_text.h"
#include "ui/orientation_panel.h"
#include "ui/projection_preview.h"
#include "ui/symbol_style.h"
#include "ui/widget_builders.h"

namespace {

constexpr int kCaptionWidth = 80;

Gtk::Frame* frame = nullptr;
Gtk::Box* content = nullptr;
Gtk::SpinButton* omega_control = nullptr;
Gtk::SpinButton* epsilon_control = nullptr;
Gtk::Label* sign = nullptr;
Gtk::SpinButton* alpha_control = nullptr;
Gtk::SpinButton* gamma_control = nullptr;
Gtk::SpinButton* two_vz_control = nullptr;
Gtk::SpinButton* two_vx_control = nullptr;

void forget_content() {
    content = nullptr;
    omega_control = epsilon_control = alpha_control = gamma_control = two_vz_control =
        two_vx_control = nullptr;
    sign = nullptr;
}

void forget_widgets(GtkWidget*, gpointer) {
    frame = nullptr;
    forget_content();
}

Gtk::Box* add_row(int padding) {
    auto* row = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 0));
    content->pack_start(*row, false, false, padding);
    return row;
}

void add_caption(Gtk::Box& row, const char* sjis) {
    make_label(row, sjis, 0)->set_size_request(kCaptionWidth, -1);
}

Gtk::SpinButton* add_index_spin(Gtk::Box& row, const char* symbol_text, float value,
                                const char* tip) {
    Gtk::SpinButton* spin =
        make_labeled_spin(row, symbol_text, {25, 60}, value, controls::kRefractiveIndex);
    // Room for all three decimals ("1.544"): a narrower entry would hide the last one.
    spin->set_width_chars(5);
    if (Gtk::Label* label = spin_label(*spin))
        set_symbol_style(*label);
    set_tooltip(*spin, tip);
    return spin;
}

Gtk::SpinButton* add_angle_spin(Gtk::Box& row, const char* text, float value, const char* tip) {
    Gtk::SpinButton* spin =
        make_labeled_spin(row, text, {35, 50}, value, controls::kOpticAxialAngle);
    set_tooltip(*spin, tip);
    return spin;
}

float value_of(Gtk::SpinButton* spin) {
    return static_cast<float>(spin->get_value());
}

// The projection preview draws its field-of-view circle with the record's mean index.
void store_mean_index() {
    parameters.mean_index = mean_index(parameters);
}

// ω and ε are compared as the record holds them, in single precision.
const char* sign_text() {
    if (parameters.epsilon > parameters.omega)
        return texts::sign_positive;
    if (parameters.epsilon < parameters.omega)
        return texts::sign_negative;
    return texts::sign_isotropic;
}

void uniaxial_index_changed() {
    store_mean_index();
    sign->set_text(sjis_to_utf8(sign_text()));
    redraw_projection_preview();
}

void on_omega_changed() {
    parameters.omega = value_of(omega_control);
    uniaxial_index_changed();
}

void on_epsilon_changed() {
    parameters.epsilon = value_of(epsilon_control);
    uniaxial_index_changed();
}

// α never exceeds γ: each index is the other one's bound from the moment the content is
// built, so that no order of kind changes and edits lets them cross. Moving a bound does
// not move the other spin button's value.
void bound_indices_by_each_other() {
    alpha_control->get_adjustment()->set_upper(parameters.gamma);
    gamma_control->get_adjustment()->set_lower(parameters.alpha);
}

void on_alpha_changed() {
    parameters.alpha = value_of(alpha_control);
    store_mean_index();
    bound_indices_by_each_other();
    redraw_projection_preview();
}

void on_gamma_changed() {
    parameters.gamma = value_of(gamma_control);
    store_mean_index();
    bound_indices_by_each_other();
    redraw_projection_preview();
}

// Setting the partner spin button runs its handler, which sets this one to the value it
// already holds; that ends the exchange.
void on_two_vz_changed() {
    const float v = value_of(two_vz_control);
    two_vx_control->set_value(180.0 - v);
    parameters.two_vz = v;
    recompute_axes_for_two_v();
}

void on_two_vx_changed() {
    const float v = value_of(two_vx_control);
    two_vz_control->set_value(180.0 - v);
    parameters.two_vz = static_cast<float>(180.0 - v);
    recompute_axes_for_two_v();
}

void build_uniaxial_content() {
    Gtk::Box* indices = add_row(9);
    add_caption(*indices, texts::refractive_index);
    omega_control = add_index_spin(*indices, "w  ", parameters.omega, texts::ordinary_index_tip);
    epsilon_control =
        add_index_spin(*indices, "e  ", parameters.epsilon, texts::extraordinary_index_tip);
    make_label(*indices, "  ", 0);

    Gtk::Box* sign_row = add_row(12);
    add_caption(*sign_row, texts::optic_sign);
    sign = make_label(*sign_row, sign_text(), 10);
    sign->set_xalign(0.0f);

    store_mean_index();
    omega_control->signal_value_changed().connect(&on_omega_changed);
    epsilon_control->signal_value_changed().connect(&on_epsilon_changed);
}

void build_biaxial_content() {
    Gtk::Box* indices = add_row(9);
    add_caption(*indices, texts::refractive_index);
    alpha_control = add_index_spin(*indices, "a  ", parameters.alpha, texts::least_index_tip);
    gamma_control = add_index_spin(*indices, "g  ", parameters.gamma, texts::greatest_index_tip);
    make_label(*indices, "  ", 0);

    Gtk::Box* angles = add_row(9);
    add_caption(*angles, texts::optic_axial_angle);
    two_vz_control = add_angle_spin(*angles, "2Vz ", parameters.two_vz, texts::two_vz_tip);
    two_vx_control = add_angle_spin(*angles, "2Vx ", 180.0f - parameters.two_vz, texts::two_vx_tip);

    store_mean_index();
    bound_indices_by_each_other();
    alpha_control->signal_value_changed().connect(&on_alpha_changed);
    gamma_control->signal_value_changed().connect(&on_gamma_changed);
    two_vz_control->signal_value_changed().connect(&on_two_vz_changed);
    two_vx_control->signal_value_changed().connect(&on_two_vx_changed);
}

}  // namespace

void build_optical_properties_panel(Gtk::Box& column) {
    frame = Gtk::manage(new Gtk::Frame(sjis_to_utf8(texts::optical_properties_frame)));
    frame->set_border_width(10);
    column.pack_start(*frame, false, false, 0);
    g_signal_connect(frame->gobj(), "destroy", G_CALLBACK(&forget_widgets), nullptr);
    rebuild_optical_properties_panel();
}

void rebuild_optical_properties_panel() {
    if (frame == nullptr)
        return;
    if (content != nullptr) {
        Gtk::Box* old = content;
        forget_content();
        // Destroying the managed box also frees its C++ wrappers and every child in it.
        gtk_widget_destroy(GTK_WIDGET(old->gobj()));
    }
    content = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_VERTICAL, 0));
    frame->add(*content);
    if (parameters.axis_type == kBiaxial) {
        build_biaxial_content();
    } else {
        build_uniaxial_content();
    }
    content->show_all();
}

Gtk::SpinButton* omega_spin() {
    return omega_control;
}
Gtk::SpinButton* epsilon_spin() {
    return epsilon_control;
}
Gtk::Label* optic_sign_label() {
    return sign;
}
Gtk::SpinButton* alpha_spin() {
    return alpha_control;
}
Gtk::SpinButton* gamma_spin() {
    return gamma_control;
}
Gtk::SpinButton* two_vz_spin() {
    return two_vz_control;
}
Gtk::SpinButton* two_vx_spin() {
    return two_vx_control;
}
