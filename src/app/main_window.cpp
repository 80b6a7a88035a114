#include "app/main_window.h"

#include <gtkmm.h>

int run_lumitra(int argc, char** argv) {
    Gtk::Main kit(argc, argv);
    return 0;
}
