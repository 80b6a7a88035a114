// The GUI tests' entry: the toolkit is initialised once, on the virtual display the test
// command provides. Death tests re-run this program for their one test, so that a test
// that ends the process finds a fresh toolkit and record; the language tests re-run it under
// another locale.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/install_paths.h"
#include "app/program.h"
#include "gui_harness.h"
#include "model/translation.h"
#include "shown_texts.h"
#include "ui/optical_properties_panel.h"
#include "ui/symbol_style.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::GTEST_FLAG(death_test_style) = "threadsafe";
    init_toolkit(argc, argv);
    create_symbol_style();
    OpticalPropertiesPanel::use_minerals(
        load_mineral_list(std::string(LUMITRA_SOURCE_DIR) + "/data/minerals.tsv").minerals);
    // A language test's child: shows the windows under the locale it was given and writes
    // their texts.
    if (const char* path = std::getenv("LUMITRA_SHOWN_TEXTS"))
        return write_shown_texts(path);
    // A test re-run by gui_test::run_translated shows the texts in its locale's language.
    if (std::getenv(gui_test::kTranslatedRun) != nullptr)
        start_translation(catalogue_dir(LUMITRA_BUILD_CATALOGUES));
    return RUN_ALL_TESTS();
}
