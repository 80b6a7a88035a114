#include "app/program.h"

#include <gtkmm.h>

#include <iostream>

#include "app/draw_figure.h"
#include "app/main_window.h"
#include "app/parameter_record.h"
#include "app/symbol_style.h"

void init_toolkit(int& argc, char**& argv) {
    // gtkmm's own set-up (the C++ wrappers of every widget type) comes with Gtk::Main;
    // gtk_init alone leaves it out. The instance is never destroyed: the toolkit stays up
    // until the process ends.
    static Gtk::Main* kit = nullptr;
    if (kit == nullptr) {
        kit = new Gtk::Main(argc, argv);
    }
}

bool load_style_sheet(const std::string& path) {
    if (!Glib::file_test(path, Glib::FILE_TEST_EXISTS)) {
        return true;
    }
    auto provider = Gtk::CssProvider::create();
    bool failed = false;
    std::string first_error;
    provider->signal_parsing_error().connect(
        [&](const Glib::RefPtr<const Gtk::CssSection>& section, const Glib::Error& error) {
            if (!failed) {
                first_error =
                    "line " + std::to_string(section->get_start_line() + 1) + ": " + error.what();
            }
            failed = true;
        });
    try {
        provider->load_from_path(path);
    } catch (const Glib::Error& error) {
        if (!failed) {
            first_error = error.what();
        }
        failed = true;
    }
    if (failed) {
        std::cerr << "lumitra: " << path << " ignored (" << first_error << ")" << std::endl;
        return false;
    }
    if (auto screen = Gdk::Screen::get_default()) {
        Gtk::StyleContext::add_provider_for_screen(screen, provider,
                                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    }
    return true;
}

int run_lumitra(int argc, char** argv) {
    // The locale is set by the toolkit's initialisation; there is no RGB set-up to do in
    // GTK 3, and tooltips need no shared object there.
    init_toolkit(argc, argv);
    load_style_sheet("./gtkrc");
    set_default_parameters();
    create_symbol_style();
    build_main_window();
    set_draw_handler(draw_figure);
    gtk_main();
    release_main_window();
    return 0;
}
