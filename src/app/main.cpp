#include "app/install_paths.h"
#include "app/program.h"
#include "ui/translation.h"

int main(int argc, char** argv) {
    start_translation(catalogue_dir(LUMITRA_BUILD_CATALOGUES));
    return run_lumitra(argc, argv);
}
