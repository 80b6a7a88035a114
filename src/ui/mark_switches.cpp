#include "ui/mark_switches.h"

#include "model/texts.h"
#include "ui/label_text.h"
#include "ui/widget_builders.h"

MarkSwitches::MarkSwitches(std::function<void(const FigureMarks&)> on_changed)
    : Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 10),
      marks_(shown_text(texts::marks)),
      caption_(shown_text(texts::caption)) {
    set_border_width(5);
    set_tooltip(marks_, texts::marks_tip);
    set_tooltip(caption_, texts::caption_tip);
    pack_start(marks_, false, false, 0);
    pack_start(caption_, false, false, 0);
    const auto changed = [this, on_changed = std::move(on_changed)] {
        on_changed({marks_.get_active(), caption_.get_active()});
    };
    marks_.signal_toggled().connect(changed);
    caption_.signal_toggled().connect(changed);
}
