// The GUI tests' entry: the toolkit is initialised once, on the virtual display the test
// command provides. Death tests re-run this program for their one test, so that a test
// that ends the process finds a fresh toolkit and record.
#include <gtest/gtest.h>

#include "app/program.h"
#include "ui/symbol_style.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::GTEST_FLAG(death_test_style) = "threadsafe";
    init_toolkit(argc, argv);
    create_symbol_style();
    return RUN_ALL_TESTS();
}
