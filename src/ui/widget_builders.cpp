#include "ui/widget_builders.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ui/label_text.h"

namespace {

constexpr char kLabelKey[] = "label";

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
