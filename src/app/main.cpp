#include <cstdio>

#include "app/install_paths.h"
#include "app/program.h"
#include "model/translation.h"
#include "ui/optical_properties_panel.h"
#include "ui/save_dialog.h"

int main(int argc, char** argv) {
    start_translation(catalogue_dir(LUMITRA_BUILD_CATALOGUES));
    // Without its list the window still runs, offering only custom values.
    MineralList minerals = load_installed_mineral_list(LUMITRA_BUILD_MINERALS);
    if (!minerals.error.empty())
        std::fprintf(stderr, "lumitra: %s\n", minerals.error.c_str());
    OpticalPropertiesPanel::use_minerals(std::move(minerals.minerals));
    SaveDialog::use_movie_module(movie_module_file(LUMITRA_BUILD_MODULE_DIR).string());
    return run_lumitra(argc, argv);
}
