#include <cstdio>
#include <string_view>

#include "app/install_paths.h"
#include "app/program.h"
#include "app/window_settings.h"
#include "model/translation.h"
#include "ui/optical_properties_panel.h"
#include "ui/save_dialog.h"

namespace {

constexpr char kUsage[] =
    "usage: lumitra [GTK-OPTION]...\n"
    "Opens Lumitra's main window: the conoscopic interference figures of crystals, for\n"
    "teaching optical mineralogy.\n"
    "  --help, -h  print this text and exit\n"
    "  --version   print the program's name and version and exit\n"
    "GTK's own options choose the display and the like (--display=DISPLAY).\n"
    "lumitra-render draws the same figures into files without a window; see\n"
    "lumitra-render --help, and the window's Copy as command and Save settings.\n";

// Asked for its help or its version, the program answers before the toolkit starts: GTK
// would take the arguments first, and open a display that is not needed or not there.
int answer_without_window(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (argument == "--version") {
            std::puts("lumitra " LUMITRA_VERSION);
            return 0;
        }
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (const int status = answer_without_window(argc, argv); status >= 0)
        return status;
    start_translation(catalogue_dir(LUMITRA_BUILD_CATALOGUES));
    // Without its list the window still runs, offering only custom values.
    MineralList minerals = load_installed_mineral_list(LUMITRA_BUILD_MINERALS);
    if (!minerals.error.empty())
        std::fprintf(stderr, "lumitra: %s\n", minerals.error.c_str());
    use_settings_codec(window_settings_codec(minerals));
    OpticalPropertiesPanel::use_minerals(std::move(minerals.minerals));
    SaveDialog::use_movie_module(movie_module_file(LUMITRA_BUILD_MODULE_DIR).string());
    return run_lumitra(argc, argv);
}
