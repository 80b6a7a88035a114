#include "ui/optical_properties_panel.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <tuple>

#include "model/controls.h"
#include "model/derived_values.h"
#include "model/mineral_list.h"
#include "model/optic_sign.h"
#include "model/section_edit.h"
#include "model/texts.h"
#include "ui/label_text.h"
#include "ui/symbol_style.h"
#include "ui/widget_builders.h"

namespace {

constexpr int kCaptionWidth = 80;

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

const char* sign_text(const ParameterRecord& record) {
    switch (optic_sign(record)) {
        case OpticSign::kPositive:
            return texts::sign_positive;
        case OpticSign::kNegative:
            return texts::sign_negative;
        case OpticSign::kNeither:
            return texts::sign_neither;
        case OpticSign::kIsotropic:
            break;
    }
    return texts::sign_isotropic;
}

// With a point whatever the locale, as the spin buttons show the indices.
std::string index_text(double index) {
    char text[32];
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, index, std::chars_format::fixed,
                      controls::kRefractiveIndex.digits);
    return error == std::errc() ? std::string(text, end) : std::string();
}

// Sets the spin to the value without running its handler.
void show_value(Gtk::SpinButton* spin, sigc::connection& handler, double value) {
    if (spin->get_value() == value)
        return;
    handler.block();
    spin->set_value(value);
    handler.unblock();
}

std::vector<Mineral>& offered_minerals() {
    static std::vector<Mineral> minerals;
    return minerals;
}

}  // namespace

void OpticalPropertiesPanel::use_minerals(std::vector<Mineral> minerals) {
    offered_minerals() = std::move(minerals);
}

OpticalPropertiesPanel::OpticalPropertiesPanel(RecordEditor& editor)
    : Gtk::Frame(shown_text(texts::optical_properties_frame)), editor_(editor) {
    set_border_width(10);
    add(outer_);
    build_choosers();
    editor_.signal_changed().connect(sigc::mem_fun(*this, &OpticalPropertiesPanel::show_record));
}

// The choosers stay while the content below them is rebuilt for another crystal kind.
void OpticalPropertiesPanel::build_choosers() {
    // One chooser a row, captioned like the rows below, so that long English names widen
    // the frame no more than one chooser does.
    for (auto [caption, chooser, tip] : {std::tuple{texts::mineral, &mineral_, texts::mineral_tip},
                                         {texts::section, &section_, texts::section_tip}}) {
        auto* row = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 0));
        outer_.pack_start(*row, false, false, 3);
        add_caption(*row, caption);
        row->pack_start(*chooser, false, false, 0);
        set_tooltip(*chooser, tip);
    }
    // The names in the window's language, in the list's order, which groups related minerals.
    const bool japanese = shown_text(texts::mineral) == sjis_to_utf8(texts::mineral);
    mineral_.append(shown_text(texts::custom_values));
    for (const Mineral& m : offered_minerals())
        mineral_.append(japanese ? m.name_ja : m.name);
    mineral_.set_active(0);
    mineral_chosen_ = mineral_.signal_changed().connect(
        sigc::mem_fun(*this, &OpticalPropertiesPanel::on_mineral_chosen));
    section_chosen_ = section_.signal_changed().connect(
        sigc::mem_fun(*this, &OpticalPropertiesPanel::on_section_chosen));
    outer_.show_all();
}

void OpticalPropertiesPanel::on_mineral_chosen() {
    const int row = mineral_.get_active_row_number();
    if (row <= 0)
        return;
    apply_mineral(editor_.record(), editor_.orientation(), offered_minerals()[row - 1]);
    editor_.changed();
}

void OpticalPropertiesPanel::on_section_chosen() {
    const int row = section_.get_active_row_number();
    const std::span<const SectionName> sections = sections_for(editor_.record().axis_type);
    if (row < 0 || row >= int(sections.size()))
        return;
    apply_section(editor_.record(), editor_.orientation(), sections[row].section);
    editor_.changed();
}

// The mineral whose values the record holds, else the custom entry; the section list of the
// record's kind, rebuilt only when the kind changes (never from its own signal).
void OpticalPropertiesPanel::show_mineral_and_sections() {
    const ParameterRecord& record = editor_.record();
    const std::optional<std::size_t> mineral = mineral_of_record(offered_minerals(), record);
    const int row = mineral ? int(*mineral) + 1 : 0;
    if (mineral_.get_active_row_number() != row) {
        mineral_chosen_.block();
        mineral_.set_active(row);
        mineral_chosen_.unblock();
    }
    if (sections_kind_ == record.axis_type)
        return;
    sections_kind_ = record.axis_type;
    section_chosen_.block();
    section_.remove_all();
    for (const SectionName& name : sections_for(record.axis_type))
        section_.append(shown_text(name.label));
    section_chosen_.unblock();
}

void OpticalPropertiesPanel::show_record() {
    if (shown_kind_ != editor_.record().axis_type)
        build_content();
    show_mineral_and_sections();
    show_sign_bounds_and_angles();
}

void OpticalPropertiesPanel::build_content() {
    if (content_ != nullptr) {
        Gtk::Box* old = content_;
        omega_ = epsilon_ = alpha_ = gamma_ = two_vz_ = two_vx_ = nullptr;
        sign_ = beta_ = limit_note_ = nullptr;
        two_vz_changed_.disconnect();
        two_vx_changed_.disconnect();
        // Destroying the managed box also frees its C++ wrappers and every child in it.
        gtk_widget_destroy(GTK_WIDGET(old->gobj()));
    }
    content_ = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_VERTICAL, 0));
    outer_.pack_start(*content_, false, false, 0);
    shown_kind_ = editor_.record().axis_type;
    if (*shown_kind_ == kBiaxial) {
        build_biaxial_content();
    } else {
        build_uniaxial_content();
    }
    content_->show_all();
}

Gtk::Box& OpticalPropertiesPanel::add_row(int padding) {
    auto* row = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 0));
    content_->pack_start(*row, false, false, padding);
    return *row;
}

void OpticalPropertiesPanel::build_uniaxial_content() {
    const ParameterRecord& record = editor_.record();
    Gtk::Box& indices = add_row(9);
    add_caption(indices, texts::refractive_index);
    omega_ = add_index_spin(indices, "w  ", record.omega, texts::ordinary_index_tip);
    epsilon_ = add_index_spin(indices, "e  ", record.epsilon, texts::extraordinary_index_tip);
    make_label(indices, "  ", 0);

    Gtk::Box& sign_row = add_row(12);
    add_caption(sign_row, texts::optic_sign);
    sign_ = make_label(sign_row, sign_text(record), 10);
    sign_->set_xalign(0.0f);

    omega_->signal_value_changed().connect(
        [this] { on_index_changed(omega_, &ParameterRecord::omega); });
    epsilon_->signal_value_changed().connect(
        [this] { on_index_changed(epsilon_, &ParameterRecord::epsilon); });
}

void OpticalPropertiesPanel::build_biaxial_content() {
    const ParameterRecord& record = editor_.record();
    Gtk::Box& indices = add_row(9);
    add_caption(indices, texts::refractive_index);
    alpha_ = add_index_spin(indices, "a  ", record.alpha, texts::least_index_tip);
    gamma_ = add_index_spin(indices, "g  ", record.gamma, texts::greatest_index_tip);
    make_label(indices, "  ", 0);

    // Why a typed α or γ did not go in: the spin keeps the other index as its bound.
    limit_note_ = make_label_utf8(*content_, "", 0);
    limit_note_->set_line_wrap(true);
    limit_note_->set_max_width_chars(36);
    limit_note_->set_no_show_all(true);

    // β follows from α, γ and 2Vz as the figure computes it; it is shown, never entered.
    Gtk::Box& beta_row = add_row(0);
    make_label_utf8(beta_row, "", 0)->set_size_request(kCaptionWidth, -1);
    Gtk::Label* beta_symbol = make_label(beta_row, "b  ", 0);
    beta_symbol->set_size_request(25, -1);
    beta_symbol->set_xalign(1.0f);
    set_symbol_style(*beta_symbol);
    beta_ = make_label_utf8(beta_row, "", 4);
    beta_->set_xalign(0.0f);
    set_tooltip(*beta_, texts::beta_tip);

    Gtk::Box& angles = add_row(9);
    add_caption(angles, texts::optic_axial_angle);
    two_vz_ = add_angle_spin(angles, "2Vz ", record.two_vz, texts::two_vz_tip);
    two_vx_ =
        add_angle_spin(angles, "2Vx ", float(other_axial_angle(record.two_vz)), texts::two_vx_tip);

    alpha_->signal_value_changed().connect(
        [this] { on_index_changed(alpha_, &ParameterRecord::alpha); });
    gamma_->signal_value_changed().connect(
        [this] { on_index_changed(gamma_, &ParameterRecord::gamma); });
    two_vz_changed_ =
        two_vz_->signal_value_changed().connect([this] { on_angle_changed(value_of(two_vz_)); });
    two_vx_changed_ = two_vx_->signal_value_changed().connect(
        [this] { on_angle_changed(static_cast<float>(other_axial_angle(value_of(two_vx_)))); });

    Gtk::Box& sign_row = add_row(12);
    add_caption(sign_row, texts::optic_sign);
    sign_ = make_label(sign_row, sign_text(record), 10);
    sign_->set_xalign(0.0f);

    alpha_->signal_changed().connect(
        [this] { show_limit(typed_number(*alpha_), alpha_, texts::alpha_limited); });
    gamma_->signal_changed().connect(
        [this] { show_limit(typed_number(*gamma_), gamma_, texts::gamma_limited); });
}

// A typed index beyond the other one shows why it cannot go in; the spin then holds the
// bound, and the note stays until an index within the bounds is typed.
void OpticalPropertiesPanel::show_limit(std::optional<double> typed, Gtk::SpinButton* spin,
                                        const char* note) {
    if (!typed)
        return;
    const ParameterRecord& record = editor_.record();
    const bool is_alpha = spin == alpha_;
    const double bound = is_alpha ? record.gamma : record.alpha;
    const double tolerance = 0.5 * controls::kRefractiveIndex.step;
    const bool beyond = is_alpha ? *typed > bound + tolerance : *typed < bound - tolerance;
    if (beyond) {
        char text[256];
        std::snprintf(text, sizeof text, shown_text(note).c_str(), index_text(bound).c_str());
        show_text(*limit_note_, text);
        limit_note_->show();
    } else if (std::abs(*typed - bound) > tolerance) {
        limit_note_->hide();
    }
}

void OpticalPropertiesPanel::on_index_changed(Gtk::SpinButton* spin,
                                              float ParameterRecord::*field) {
    editor_.record().*field = value_of(spin);
    editor_.changed();
}

// The record keeps only 2Vz; the axes that depend on it move with it.
void OpticalPropertiesPanel::on_angle_changed(float two_vz) {
    ParameterRecord& record = editor_.record();
    record.two_vz = two_vz;
    recompute_axes_for_two_v(record, editor_.orientation());
    editor_.changed();
}

void OpticalPropertiesPanel::show_sign_bounds_and_angles() {
    const ParameterRecord& record = editor_.record();
    if (sign_ != nullptr)
        show_text(*sign_, shown_text(sign_text(record)));
    if (beta_ != nullptr)
        show_text(*beta_, index_text(beta_index(record.alpha, record.gamma, record.two_vz)));
    // α never exceeds γ: each index is the other one's bound from the moment the content is
    // built, so that no order of kind changes and edits lets them cross. Moving a bound does
    // not move the other spin button's value.
    if (alpha_ != nullptr) {
        alpha_->get_adjustment()->set_upper(record.gamma);
        gamma_->get_adjustment()->set_lower(record.alpha);
    }
    if (two_vz_ != nullptr) {
        show_value(two_vz_, two_vz_changed_, record.two_vz);
        show_value(two_vx_, two_vx_changed_, other_axial_angle(record.two_vz));
    }
}
