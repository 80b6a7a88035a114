#include "ui/other_parameters_panel.h"

#include "model/derived_values.h"
#include "model/texts.h"
#include "ui/label_text.h"
#include "ui/widget_builders.h"

namespace {

constexpr RowWidths kWidths{155, 53};

}  // namespace

OtherParametersPanel::OtherParametersPanel(RecordEditor& editor)
    : Gtk::Frame(shown_text(texts::other_parameters_frame)), editor_(editor) {
    set_border_width(10);
    add(content_);
    ParameterRecord& record = editor_.record();
    aperture_ = make_labeled_spin(content_, texts::numerical_aperture, kWidths,
                                  record.numerical_aperture, controls::kNumericalAperture);
    set_tooltip(*aperture_, texts::numerical_aperture_tip);
    aperture_->signal_value_changed().connect([this, &record] {
        record.numerical_aperture = static_cast<float>(aperture_->get_value());
        editor_.changed();
    });
    thickness_ = make_labeled_spin(content_, texts::thickness, kWidths, record.thickness,
                                   controls::kThickness);
    set_tooltip(*thickness_, texts::thickness_tip);
    thickness_->signal_value_changed().connect([this, &record] {
        record.thickness = static_cast<float>(thickness_->get_value());
        editor_.changed();
    });
    editor_.signal_changed().connect(sigc::mem_fun(*this, &OtherParametersPanel::show_record));
}

void OtherParametersPanel::show_record() {
    const ParameterRecord& record = editor_.record();
    // A record replaced as a whole (settings opened) is shown here too.
    if (static_cast<float>(thickness_->get_value()) != record.thickness)
        thickness_->set_value(record.thickness);
    if (static_cast<float>(aperture_->get_value()) != record.numerical_aperture)
        aperture_->set_value(record.numerical_aperture);
    if (size_ == nullptr || shown_mode_ != record.draw_mode ||
        shown_maximum_ != image_size_range(record, record.draw_mode).upper) {
        build_size_row();
        return;
    }
    // This may run inside the size spin's own value-changed signal: the row is updated in
    // place, never destroyed under the spin.
    if (size_->get_value() != record.image_size)
        size_->set_value(record.image_size);
}

// The size row of the current mode, up to the mode's maximum for its step; the record has
// already lowered a size above it.
void OtherParametersPanel::build_size_row() {
    if (size_ != nullptr) {
        // The row is the spin's parent: label and spin go together.
        gtk_widget_destroy(GTK_WIDGET(size_->get_parent()->gobj()));
        size_ = nullptr;
    }
    ParameterRecord& record = editor_.record();
    const ControlRange range = image_size_range(record, record.draw_mode);
    shown_mode_ = record.draw_mode;
    shown_maximum_ = range.upper;
    size_ = make_labeled_spin(content_, texts::image_size, kWidths, record.image_size, range);
    set_tooltip(*size_, texts::image_size_tip);
    size_->signal_value_changed().connect([this, &record] {
        image_size_field(record, record.draw_mode) = static_cast<float>(size_->get_value());
        editor_.changed();
    });
    show_all();
}
