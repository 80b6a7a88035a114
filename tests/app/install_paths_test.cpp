#include "app/install_paths.h"

#include <gtest/gtest.h>

#include <optional>

TEST(InstallPaths, PrefixFoundOnlyWhenTheProgramLiesInTheBinaryFolder) {
    struct Case {
        const char* executable;
        const char* bin_dir;
        std::optional<const char*> prefix;
    };
    const Case cases[] = {
        {"/usr/bin/lumitra", "bin", "/usr"},
        {"/usr/local/bin/lumitra-render", "bin", "/usr/local"},
        {"/opt/lumitra/bin/lumitra", "bin/", "/opt/lumitra"},
        {"/bin/lumitra", "bin", "/"},
        {"/usr/lib/lumitra/bin/lumitra", "lib/lumitra/bin", "/usr"},
        {"/usr/./bin/../bin/lumitra", "bin", "/usr"},
        // A folder whose name merely ends the same is not the binary folder.
        {"/usr/sbin/lumitra", "bin", std::nullopt},
        {"/usr/mybin/lumitra", "bin", std::nullopt},
        {"/usr/bin/lumitra", "lib/lumitra/bin", std::nullopt},
        // Run from the build folder: not installed.
        {"/home/teacher/lumitra/build/src/app/lumitra", "bin", std::nullopt},
        {"/lumitra", "bin", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto prefix = install_prefix_of(c.executable, c.bin_dir);
        ASSERT_EQ(prefix.has_value(), c.prefix.has_value()) << c.executable << " in " << c.bin_dir;
        if (prefix) {
            EXPECT_EQ(*prefix, std::filesystem::path(*c.prefix)) << c.executable;
        }
    }
}
