#include "ui/symbol_style.h"

#include <gdkmm/screen.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/stylecontext.h>

#include "model/symbol_letters.h"

namespace {

constexpr char kSymbolClass[] = "lumitra-symbol";
constexpr char kSymbolCss[] = "label.lumitra-symbol { font-size: 18px; }";

}  // namespace

void create_symbol_style() {
    static bool created = false;
    if (created) {
        return;
    }
    auto screen = Gdk::Screen::get_default();
    if (!screen) {
        return;
    }
    auto provider = Gtk::CssProvider::create();
    try {
        provider->load_from_data(kSymbolCss);
    } catch (const Glib::Error&) {
        return;  // a fixed, valid sheet; the default font still shows the letters
    }
    // Above the application's own sheet ("./gtkrc"): a label given this style keeps it.
    Gtk::StyleContext::add_provider_for_screen(screen, provider,
                                               GTK_STYLE_PROVIDER_PRIORITY_APPLICATION + 1);
    created = true;
}

void set_symbol_style(Gtk::Label& label) {
    label.set_text(symbol_letters_to_greek(label.get_text().raw()));
    label.get_style_context()->add_class(kSymbolClass);
}
