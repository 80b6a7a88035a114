// Every format is written the one safe way: a failed write keeps the file that was there, a
// symbolic link keeps pointing at the file that gets the new content.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "output/replacement_file.h"
#include "output/still_writers.h"
#include "output/temp_directory.h"
#include "support/file_size_limit.h"

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// A still in the named format; 1 or 0 as the writers return.
int save(const std::string& format, const std::string& path) {
    std::vector<std::uint8_t> rgb(3 * 200 * 200);
    for (std::size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = std::uint8_t(i * 7 + i / 600 * 13);
    const StillWriter writer = format == "bmp"   ? write_bmp
                               : format == "jpg" ? write_jpeg
                                                 : write_ppm;
    return writer(path.c_str(), rgb.data(), 200, 200);
}

bool has_magic(const std::string& format, const std::string& bytes) {
    const std::string magic = format == "bmp" ? "BM" : format == "jpg" ? "\xFF\xD8" : "P6";
    return bytes.rfind(magic, 0) == 0;
}

const Names kFormats = {"bmp", "jpg", "ppm"};

class SafeSaving : public TempDirectoryTest {};

TEST_F(SafeSaving, OldFileSurvivesAFailedWriteInEveryFormat) {
    // Every still is larger than the limit.
    for (const std::string& format : kFormats) {
        const std::string old_file = "old." + format;
        { std::ofstream(old_file) << "old content"; }
        int results[2];
        int errors[2];
        testing::internal::CaptureStderr();
        {
            const FileSizeLimit limit(4096);
            results[0] = save(format, old_file);
            errors[0] = errno;
            results[1] = save(format, "new." + format);
            errors[1] = errno;
        }
        const std::string diagnostics = testing::internal::GetCapturedStderr();
        for (int i : {0, 1}) {
            EXPECT_EQ(results[i], 0) << format;
            EXPECT_EQ(errors[i], EFBIG) << format;
        }
        EXPECT_EQ(read_text(old_file), "old content") << format;
        EXPECT_EQ(entries(), Names{old_file}) << format << ": nothing new is left";
        EXPECT_NE(diagnostics.find(old_file), std::string::npos) << diagnostics;
        fs::remove(old_file);
    }
}

TEST_F(SafeSaving, SymbolicLinkKeepsPointingAtTheFileThatGetsTheNewContent) {
    fs::create_directory("elsewhere");
    for (const std::string& format : kFormats) {
        const std::string real = "elsewhere/real." + format;
        { std::ofstream(real) << "old content"; }
        fs::create_symlink(real, "link." + format);
        // A dangling link: the file it names is made.
        fs::create_symlink("elsewhere/new." + format, "dangling." + format);
        ASSERT_EQ(save(format, "link." + format), 1) << format;
        ASSERT_EQ(save(format, "dangling." + format), 1) << format;
        for (const std::string link : {"link.", "dangling."}) {
            EXPECT_TRUE(fs::is_symlink(link + format)) << format;
            EXPECT_TRUE(has_magic(format, read_text(link + format))) << link << format;
        }
        EXPECT_EQ(fs::read_symlink("link." + format), real);
    }
    EXPECT_EQ(entries_of("elsewhere"),
              (Names{"new.bmp", "new.jpg", "new.ppm", "real.bmp", "real.jpg", "real.ppm"}));
    EXPECT_EQ(entries().size(), 7u) << "the six links and the folder, nothing else";
}

TEST_F(SafeSaving, LibraryWritingByNameReplacesTheFileOnlyOnCommit) {
    { std::ofstream("out.bin") << "old"; }
    chmod("out.bin", 0640);
    {
        ReplacementFile file("out.bin");
        ASSERT_TRUE(file.ok());
        std::ofstream(file.temporary_path()) << "abandoned";
    }
    EXPECT_EQ(read_text("out.bin"), "old");
    {
        ReplacementFile file("out.bin");
        std::ofstream(file.temporary_path()) << "by name";
        EXPECT_EQ(read_text("out.bin"), "old");
        ASSERT_EQ(file.commit(), 0);
    }
    EXPECT_EQ(read_text("out.bin"), "by name");
    EXPECT_EQ(fs::status("out.bin").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read)
        << "the replacement keeps the old file's permissions";
    EXPECT_EQ(entries(), Names{"out.bin"});
}

}  // namespace
