#include "ui/other_parameters_panel.h"

#include "model/controls.h"
#include "model/derived_values.h"
#include "model/parameter_record.h"
#include "model/texts.h"
#include "ui/label_text.h"
#include "ui/widget_builders.h"

namespace {

constexpr RowWidths kWidths{155, 53};

Gtk::Frame* frame = nullptr;
Gtk::Box* content = nullptr;
Gtk::SpinButton* aperture = nullptr;
Gtk::SpinButton* thickness = nullptr;
Gtk::SpinButton* size = nullptr;
std::function<void()> aperture_redraw;

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
    parameters.image_size = image_size_field(parameters, parameters.draw_mode);
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

    aperture = make_labeled_spin(*content, texts::numerical_aperture, kWidths,
                                 parameters.numerical_aperture, controls::kNumericalAperture);
    aperture->signal_value_changed().connect(
        sigc::bind(&on_aperture_changed, &parameters.numerical_aperture));
    thickness = make_labeled_spin(*content, texts::thickness, kWidths, parameters.thickness,
                                  controls::kThickness);
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

    float* field = &image_size_field(parameters, parameters.draw_mode);
    parameters.image_size = *field;
    const ControlRange range = image_size_range(parameters, parameters.draw_mode);
    if (range.upper < parameters.image_size) {
        parameters.image_size = range.upper;
        *field = parameters.image_size;
    }

    size = make_labeled_spin(*content, texts::image_size, kWidths, parameters.image_size, range);
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
