#include "panels/other_parameters_panel.h"

#include "app/label_text.h"
#include "app/widget_builders.h"
#include "model/derived_values.h"
#include "model/parameter_record.h"
#include "model/texts.h"

namespace {

constexpr int kLabelWidth = 155;
constexpr int kSpinWidth = 53;

Gtk::Frame* frame = nullptr;
Gtk::Box* content = nullptr;
Gtk::SpinButton* aperture = nullptr;
Gtk::SpinButton* thickness = nullptr;
Gtk::SpinButton* size = nullptr;
std::function<void()> aperture_redraw;

float* current_size_field() {
    switch (parameters.draw_mode) {
        case kRotationImage:
            return &parameters.image_size_rotation;
        case kAnimation:
            return &parameters.image_size_animation;
        default:
            return &parameters.image_size_single;
    }
}

float current_step() {
    return parameters.draw_mode == kAnimation ? parameters.animation_step
                                              : parameters.rotation_step;
}

void on_aperture_changed(float* field) {
    *field = static_cast<float>(aperture->get_value());
    if (aperture_redraw) {
        aperture_redraw();
    }
}

void on_thickness_changed(float* field) {
    *field = static_cast<float>(thickness->get_value());
}

void on_size_changed(float* field, Gtk::SpinButton* spin) {
    *field = static_cast<float>(spin->get_value());
    parameters.image_size = *current_size_field();
}

void forget_widgets(GtkWidget*, gpointer) {
    frame = nullptr;
    content = nullptr;
    aperture = nullptr;
    thickness = nullptr;
    size = nullptr;
}

}  // namespace

void build_other_parameters_panel(Gtk::Box& column) {
    frame = Gtk::manage(new Gtk::Frame(sjis_to_utf8(texts::other_parameters_frame)));
    frame->set_border_width(10);
    column.pack_start(*frame, false, false, 0);
    g_signal_connect(frame->gobj(), "destroy", G_CALLBACK(&forget_widgets), nullptr);
    content = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_VERTICAL, 0));
    frame->add(*content);

    aperture = make_labeled_spin(*content, texts::numerical_aperture, kLabelWidth, kSpinWidth,
                                 parameters.numerical_aperture, 0.1f, 1.0f, 0.01f, 0.1f, 2.0f);
    aperture->signal_value_changed().connect(
        sigc::bind(&on_aperture_changed, &parameters.numerical_aperture));
    thickness = make_labeled_spin(*content, texts::thickness, kLabelWidth, kSpinWidth,
                                  parameters.thickness, 10.0f, 3000.0f, 1.0f, 10.0f, 0.0f);
    thickness->signal_value_changed().connect(
        sigc::bind(&on_thickness_changed, &parameters.thickness));

    rebuild_image_size_control();
}

void rebuild_image_size_control() {
    if (content == nullptr) {
        return;
    }
    if (size != nullptr) {
        // The row is the spin's parent: label and spin go together.
        gtk_widget_destroy(GTK_WIDGET(size->get_parent()->gobj()));
        size = nullptr;
    }

    float* field = current_size_field();
    parameters.image_size = *field;
    const int maximum = max_image_size(parameters.draw_mode, current_step());
    if (static_cast<float>(maximum) < parameters.image_size) {
        parameters.image_size = static_cast<float>(maximum);
        *field = parameters.image_size;
    }

    size = make_labeled_spin(*content, texts::image_size, kLabelWidth, kSpinWidth,
                             parameters.image_size, 20.0f, static_cast<float>(maximum), 1.0f, 10.0f,
                             0.0f);
    size->signal_value_changed().connect(sigc::bind(&on_size_changed, field, size));
    frame->show_all();
}

void set_aperture_redraw_hook(std::function<void()> redraw) {
    aperture_redraw = std::move(redraw);
}

Gtk::SpinButton* aperture_spin() {
    return aperture;
}
Gtk::SpinButton* thickness_spin() {
    return thickness;
}
Gtk::SpinButton* image_size_spin() {
    return size;
}
