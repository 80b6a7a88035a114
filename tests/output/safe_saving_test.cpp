// Every format is written the one safe way: a failed write keeps the file that was there, a
// symbolic link keeps pointing at the file that gets the new content.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "output/encoded_movie.h"
#include "output/file_extension.h"
#include "output/movie_pipeline.h"
#include "output/png_writer.h"
#include "output/replacement_file.h"
#include "output/still_writers.h"
#include "support/file_size_limit.h"
#include "support/movie_test_support.h"
#include "support/scripted_progress.h"
#include "support/temp_directory.h"

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// A still or a movie in the named format; 1 or 0 as the writers return.
int save(const std::string& format, const std::string& path, int movie_side = 32) {
    static const Figure figure = small_animation(16, 20);
    ScriptedProgress progress;
    if (format == "mpg")
        return write_movie(path, figure, identity_tones(), movie_side, 24.0f, progress, nullptr);
    const OutputFormat movie = output_format(format, FormatSet::kRenderer);
    if (is_movie(movie)) {
        EXPECT_EQ(load_movie_encoders(LUMITRA_MOVIE_MODULE_PATH), std::nullopt);
        return write_encoded_movie(path, movie, figure, identity_tones(), movie_side, 24.0f,
                                   progress);
    }
    // Noise, so that no format compresses it below the size limit.
    std::vector<std::uint8_t> rgb(3 * 200 * 200);
    std::minstd_rand noise(7);
    for (std::uint8_t& byte : rgb)
        byte = std::uint8_t(noise());
    const StillWriter writer = format == "bmp"   ? write_bmp
                               : format == "jpg" ? write_jpeg
                               : format == "png" ? write_png
                                                 : write_ppm;
    return writer(path.c_str(), rgb.data(), 200, 200);
}

bool has_magic(const std::string& format, const std::string& bytes) {
    const std::string magic = format == "bmp"    ? "BM"
                              : format == "jpg"  ? "\xFF\xD8"
                              : format == "ppm"  ? "P6"
                              : format == "png"  ? "\x89PNG"
                              : format == "mp4"  ? std::string("\0\0\0", 3)  // the ftyp box's size
                              : format == "webm" ? "\x1A\x45\xDF\xA3"
                              : format == "gif"  ? "GIF89a"
                                                 : std::string("\0\0\1\xB3", 4);
    return bytes.rfind(magic, 0) == 0;
}

const Names kFormats = {"bmp", "jpg", "ppm", "mpg", "png", "mp4", "webm", "gif"};

class SafeSaving : public TempDirectoryTest {};

TEST_F(SafeSaving, OldFileSurvivesAFailedWriteInEveryFormat) {
    // Every still is larger than the limit. A movie of side 64 fails on its first frame; one
    // of side 32 gets its frames written and fails on the encoded movie, which the encoder
    // hands over for writing. The movies of FFmpeg's libraries fail as they are written.
    struct Case {
        std::string format;
        int movie_side;
    };
    const std::vector<Case> cases = {{"bmp", 0},  {"jpg", 0},   {"ppm", 0},
                                     {"mpg", 64}, {"mpg", 32},  {"png", 0},
                                     {"mp4", 64}, {"webm", 64}, {"gif", 64}};
    for (const Case& c : cases) {
        const std::string name = c.format + std::to_string(c.movie_side);
        const std::string old_file = "old-" + name + "." + c.format;
        { std::ofstream(old_file) << "old content"; }
        int results[2];
        int errors[2];
        testing::internal::CaptureStderr();
        {
            const FileSizeLimit limit(4096);
            results[0] = save(c.format, old_file, c.movie_side);
            errors[0] = errno;
            results[1] = save(c.format, "new-" + name + "." + c.format, c.movie_side);
            errors[1] = errno;
        }
        const std::string diagnostics = testing::internal::GetCapturedStderr();
        for (int i : {0, 1}) {
            EXPECT_EQ(results[i], 0) << name;
            EXPECT_EQ(errors[i], EFBIG) << name;
        }
        EXPECT_EQ(read_text(old_file), "old content") << name;
        EXPECT_EQ(entries(), Names{old_file}) << name << ": nothing new is left";
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
    Names expected;
    for (const char* name : {"new.", "real."})
        for (const std::string& format : kFormats)
            expected.push_back(name + format);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(entries_of("elsewhere"), expected);
    EXPECT_EQ(entries().size(), 2 * kFormats.size() + 1)
        << "the links and the folder, nothing else";
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

// A killed export leaves its temporary behind; the next save in that folder clears what is
// certainly such a leftover, and nothing that might still be in use or is not ours.
TEST_F(SafeSaving, LeftoversOfKilledExportsGoAndNothingElse) {
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    const std::string dead = std::to_string(child), alive = std::to_string(getppid());
    const bool root = geteuid() == 0;
    struct Case {
        std::string name;
        int age_seconds;
        bool removed;
    };
    const Case cases[] = {
        {".lumitra-" + dead + "-aB3xY9", 120, true},
        {".lumitra-" + dead + "-Qw12Er", 120, true},
        {".lumitra-" + dead + "-fresh1", 10, false},
        {".lumitra-" + alive + "-aB3xY9", 120, false},
        {".lumitra-" + dead + "-other1", 120, !root},
        {".lumitra-" + dead + "-toolong", 120, false},
        {".lumitra-aB3xY9", 120, false},
        {"notes-" + dead + "-aB3xY9", 120, false},
    };
    for (const Case& c : cases) {
        if (c.name.back() == 'r') {  // a folder of frames
            fs::create_directory(c.name);
            std::ofstream(fs::path(c.name) / "frame0.ppm") << "P6";
        } else {
            std::ofstream(c.name) << "leftover";
        }
        if (root && c.name.find("other") != std::string::npos) {
            ASSERT_EQ(lchown(c.name.c_str(), 65534, 65534), 0);
        }
        const timespec then = {time(nullptr) - c.age_seconds, 0}, times[2] = {then, then};
        utimensat(AT_FDCWD, c.name.c_str(), times, 0);
    }
    ASSERT_EQ(replace_file_contents("figure.txt", "new"), 0);
    for (const Case& c : cases)
        EXPECT_EQ(fs::exists(c.name), !c.removed) << c.name;
}

// In a sticky folder that anyone may write, a link is followed only when it belongs to us or
// to the folder's owner: another user's link could aim our write at a file of a third.
TEST_F(SafeSaving, LinksOfOtherUsersInSharedFoldersAreNotFollowed) {
    if (geteuid() != 0)
        GTEST_SKIP() << "giving a link to another user needs root";
    struct Case {
        const char* folder;
        mode_t mode;
        uid_t folder_owner, link_owner;
        bool followed;
    };
    for (const Case& c :
         {Case{"shared", 01777, 0, 65534, false}, Case{"nobodys", 01777, 65534, 65534, true},
          Case{"own_link", 01777, 65534, 0, true}, Case{"not_sticky", 0777, 0, 65534, true},
          Case{"not_for_all", 01775, 0, 65534, true}}) {
        fs::create_directory(c.folder);
        ASSERT_EQ(chown(c.folder, c.folder_owner, 0) | chmod(c.folder, c.mode), 0);
        const std::string victim = (dir_ / c.folder).string() + "_victim",
                          link = std::string(c.folder) + "/link";
        std::ofstream(victim) << "kept";
        fs::create_symlink(victim, link);
        ASSERT_EQ(lchown(link.c_str(), c.link_owner, c.link_owner), 0);
        EXPECT_EQ(replace_file_contents(link, "new"), c.followed ? 0 : EACCES) << c.folder;
        EXPECT_EQ(read_text(victim), c.followed ? "new" : "kept") << c.folder;
        EXPECT_EQ(entries_of(c.folder), Names{"link"}) << c.folder;
    }
    EXPECT_EQ(describe_save_error("shared/link", resolve_save_target("shared/link"), EACCES)
                  .rfind("shared/link is a symbolic link", 0),
              0u);
}

// A movie its encoder cannot take is refused by either encoder before anything is written:
// 0, errno EINVAL and one line naming the writer and the file.
TEST_F(SafeSaving, MovieNoEncoderTakesIsRefusedBeforeAnyFile) {
    struct Case {
        std::string format;
        int side;
        std::string line;
    };
    const Case cases[] = {
        {"mpg", 0, "write_movie: m.mpg: nothing to encode: Invalid argument\n"},
        {"mp4", 0, "write_encoded_movie: m.mp4: nothing to encode: Invalid argument\n"},
        // 4:2:0 colour has half as many chroma samples each way.
        {"mp4", 33, "write_encoded_movie: m.mp4: nothing to encode: Invalid argument\n"},
        {"gif", -2, "write_encoded_movie: m.gif: nothing to encode: Invalid argument\n"},
    };
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        errno = 0;
        EXPECT_EQ(save(c.format, "m." + c.format, c.side), 0) << c.format << c.side;
        EXPECT_EQ(errno, EINVAL) << c.format << c.side;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.line);
        EXPECT_EQ(entries(), Names{}) << c.format << c.side;
    }
}
