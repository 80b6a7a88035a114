#include "ui/widget_builders.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "ui/label_text.h"

namespace {

constexpr char kLabelKey[] = "label";
constexpr char kEnteredOnlyKey[] = "entered-only";

Gtk::Label* make_row_label(Gtk::Box& row, const char* sjis, int width) {
    auto* label = Gtk::manage(new Gtk::Label(shown_text(sjis)));
    label->set_xalign(1.0f);
    label->set_yalign(0.5f);
    label->set_size_request(width, -1);
    row.pack_start(*label, false, false, 0);
    return label;
}

// The characters of the widest value the range allows, as the spin shows it.
int widest_value_chars(const ControlRange& range) {
    int widest = 0;
    for (float value : {range.lower, range.upper}) {
        char text[64];
        const int length = std::snprintf(text, sizeof text, "%.*f", range.digits, double(value));
        widest = std::max(widest, length);
    }
    return widest;
}

// A typed text that reads as a number within the adjustment's bounds and on the range's
// grid; a text on its way to a value ("0.", "-", "15" of "150" below a lower bound of 20)
// reads as nothing. A control with decimals waits for the first one: "1" on the way to
// "1.6" is an index of 1.000, far from what the user means.
std::optional<double> typed_value(const Gtk::SpinButton& spin, const ControlRange& grid) {
    if (grid.digits > 0) {
        const std::string text = spin.get_text().raw();
        const auto point = text.find('.');
        if (point == std::string::npos || point + 1 >= text.size() ||
            !std::isdigit(static_cast<unsigned char>(text[point + 1])))
            return std::nullopt;
    }
    const std::optional<double> value = typed_number(spin);
    const Glib::RefPtr<const Gtk::Adjustment> adjustment = spin.get_adjustment();
    if (!value || *value < adjustment->get_lower() || *value > adjustment->get_upper())
        return std::nullopt;
    // Within a thousandth of a step, as the snapping below allows: the steps are floats.
    const double steps = (*value - grid.lower) / grid.step;
    if (std::abs(steps - std::round(steps)) > 1e-3)
        return std::nullopt;
    return value;
}

// A value is taken as it is typed, not only at Enter or when the focus leaves, so that what
// follows the record (the live figure) follows the keys. The text stays as typed meanwhile:
// the spin's own formatting ("1.5" to "1.500") would move the cursor under the user's hands.
// A handler that puts another value into the spin has it shown formatted, and Enter or
// leaving the spin formats it as before.
void take_values_as_typed(Gtk::SpinButton& spin, const ControlRange& grid) {
    auto taking = std::make_shared<bool>(false);
    Gtk::SpinButton* typed_in = &spin;
    auto reads = [typed_in, grid] { return typed_value(*typed_in, grid); };
    spin.signal_output().connect(
        [typed_in, taking, reads] { return *taking && reads() == typed_in->get_value(); }, false);
    spin.signal_changed().connect([typed_in, taking, reads] {
        if (g_object_get_data(G_OBJECT(typed_in->gobj()), kEnteredOnlyKey) != nullptr)
            return;
        const std::optional<double> value = reads();
        if (!value || *value == typed_in->get_value())
            return;
        *taking = true;
        typed_in->set_value(*value);
        *taking = false;
    });
}

}  // namespace

Gtk::SpinButton* make_labeled_spin(Gtk::Box& box, const char* sjis, RowWidths widths, float value,
                                   const ControlRange& range) {
    auto* row = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 0));
    box.pack_start(*row, false, false, 2);
    Gtk::Label* label = make_row_label(*row, sjis, widths.label);

    auto adjustment =
        Gtk::Adjustment::create(value, range.lower, range.upper, range.step, range.page, 0.0);
    auto* spin =
        Gtk::manage(new Gtk::SpinButton(adjustment, 0.0, static_cast<unsigned>(range.digits)));
    // Room for the widest value of the range and no more: without a character count the
    // entry would ask for room for ten digits.
    spin->set_width_chars(widest_value_chars(range));
    spin->set_size_request(widths.control, -1);
    spin->set_numeric(true);
    spin->set_snap_to_ticks(true);
    // Snapping applies only to typed text: a value set through the adjustment (as an
    // assistive technology sets it) is moved onto the grid here, before the handlers that
    // panels connect later see it, so that no record ever holds 151.8 for an image size.
    const ControlRange grid = range;
    spin->signal_value_changed().connect([spin, grid] {
        const double value = spin->get_value();
        const double on_grid =
            grid.lower + std::round((value - grid.lower) / grid.step) * double(grid.step);
        if (std::abs(on_grid - value) > 1e-3 * grid.step)
            spin->set_value(on_grid);
    });
    take_values_as_typed(*spin, range);
    row->pack_start(*spin, false, false, 0);

    g_object_set_data(G_OBJECT(spin->gobj()), kLabelKey, label->gobj());
    return spin;
}

Gtk::Scale* make_labeled_scale(Gtk::Box& box, const char* sjis, RowWidths widths, float value,
                               const ControlRange& range) {
    auto* row = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 10));
    box.pack_start(*row, false, false, 5);
    make_row_label(*row, sjis, widths.label);

    auto adjustment = Gtk::Adjustment::create(value, range.lower, range.upper, range.step,
                                              range.page, range.page);
    auto* scale = Gtk::manage(new Gtk::Scale(adjustment, Gtk::ORIENTATION_HORIZONTAL));
    scale->set_digits(range.digits);
    scale->set_size_request(widths.control, -1);
    row->pack_start(*scale, false, false, 0);
    return scale;
}

Gtk::Button* make_button(Gtk::Box& box, const char* sjis) {
    auto* button = Gtk::manage(new Gtk::Button(shown_text(sjis)));
    button->set_border_width(5);
    box.pack_start(*button, true, true, 0);
    // A dialog's action area is a button box, which lays its buttons out by its own rule
    // and ignores the packing: there the buttons share the width only in this layout.
    if (auto* buttons = dynamic_cast<Gtk::ButtonBox*>(&box)) {
        buttons->set_layout(Gtk::BUTTONBOX_EXPAND);
        // That layout also joins the buttons into one linked group, which takes away the
        // inner borders; with the space between them the left button looks cut off.
        buttons->get_style_context()->remove_class("linked");
    }
    return button;
}

Gtk::Label* make_label_utf8(Gtk::Box& box, const std::string& utf8, int padding) {
    auto* label = Gtk::manage(new Gtk::Label(utf8));
    box.pack_start(*label, false, false, padding);
    return label;
}

Gtk::Label* make_label(Gtk::Box& box, const char* sjis, int padding) {
    return make_label_utf8(box, shown_text(sjis), padding);
}

void set_tooltip(Gtk::Widget& widget, const char* sjis) {
    widget.set_tooltip_text(shown_text(sjis));
}

void set_button_label(Gtk::Button& button, const char* sjis) {
    const std::string text = shown_text(sjis);
    if (auto* label = dynamic_cast<Gtk::Label*>(button.get_child())) {
        show_text(*label, text);
    } else {
        button.set_label(text);
    }
}

void show_text(Gtk::Label& label, const std::string& utf8) {
    if (label.get_text() != utf8)
        label.set_text(utf8);
}

Gtk::Label* spin_label(Gtk::SpinButton& spin) {
    auto* label = static_cast<GtkLabel*>(g_object_get_data(G_OBJECT(spin.gobj()), kLabelKey));
    return label != nullptr ? Glib::wrap(label) : nullptr;
}

void take_values_when_entered(Gtk::SpinButton& spin) {
    g_object_set_data(G_OBJECT(spin.gobj()), kEnteredOnlyKey, &spin);
}

std::optional<double> typed_number(const Gtk::SpinButton& spin) {
    const std::string text = spin.get_text().raw();
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    if (first == std::string::npos)
        return std::nullopt;
    double value = 0.0;
    const char* end = text.data() + last + 1;
    const auto [stop, error] = std::from_chars(text.data() + first, end, value);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}
