#include "output/replacement_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <vector>

namespace {

// As many links as the kernel follows before it gives up with ELOOP.
constexpr int kMaxLinks = 40;

std::string folder_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// errno is the one channel of a failure's reason, so cleaning up must not change it.
class KeepErrno {
  public:
    KeepErrno() : saved_(errno) {}
    ~KeepErrno() { errno = saved_; }
    KeepErrno(const KeepErrno&) = delete;
    KeepErrno& operator=(const KeepErrno&) = delete;

  private:
    int saved_;
};

std::uint64_t random_bits() {
    std::uint64_t bits = 0;
    if (getrandom(&bits, sizeof bits, 0) == sizeof bits)
        return bits;
    static std::uint64_t counter = 0;
    return (std::uint64_t(getpid()) << 32) ^ std::uint64_t(std::time(nullptr)) ^ ++counter;
}

// A new file with a fresh name in the folder, opened for writing. Created like any new file
// (0666 under the umask), unlike mkstemp's 0600, so that the finished file has the
// permissions a user expects. Returns the descriptor, or -1 with errno.
int create_exclusive(const std::string& folder, std::string& name) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::uint64_t bits = random_bits();
        name = folder + "/.lumitra-";
        for (int i = 0; i < 6; ++i, bits /= 62)
            name += kLetters[bits % 62];
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

int not_regular_error(mode_t mode) {
    return S_ISDIR(mode) ? EISDIR : EEXIST;
}

}  // namespace

SaveTarget resolve_save_target(const std::string& path) {
    SaveTarget target;
    if (path.empty()) {
        target.error = ENOENT;
        return target;
    }
    std::string file = path;
    for (int links = 0;; ++links) {
        struct stat info {};
        if (lstat(file.c_str(), &info) != 0) {
            if (errno != ENOENT) {
                target.error = errno;
                return target;
            }
            break;  // a new file; a missing folder shows when the file is created
        }
        if (!S_ISLNK(info.st_mode)) {
            target.exists = true;
            if (!S_ISREG(info.st_mode))
                target.error = not_regular_error(info.st_mode);
            break;
        }
        if (links == kMaxLinks) {
            target.error = ELOOP;
            return target;
        }
        std::vector<char> link(PATH_MAX + 1);
        const ssize_t length = readlink(file.c_str(), link.data(), link.size());
        if (length < 0 || std::size_t(length) >= link.size()) {
            target.error = length < 0 ? errno : ENAMETOOLONG;
            return target;
        }
        const std::string points_to(link.data(), std::size_t(length));
        file = points_to.front() == '/' ? points_to : folder_of(file) + "/" + points_to;
    }
    target.folder = folder_of(file);
    target.file = std::move(file);
    return target;
}

int check_save_target(const std::string& path) {
    const SaveTarget target = resolve_save_target(path);
    if (target.error != 0)
        return target.error;
    if (target.exists && faccessat(AT_FDCWD, target.file.c_str(), W_OK, AT_EACCESS) != 0)
        return errno;
    if (faccessat(AT_FDCWD, target.folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        return errno;
    return 0;
}

ReplacementFile::ReplacementFile(const std::string& path, const std::string& temporary_folder)
    : target_(resolve_save_target(path)) {
    if (target_.error != 0) {
        error_ = target_.error;
        return;
    }
    // A file the user has made read-only stays as it is, as it would under an overwrite.
    if (target_.exists && faccessat(AT_FDCWD, target_.file.c_str(), W_OK, AT_EACCESS) != 0) {
        error_ = errno;
        return;
    }
    const int fd =
        create_exclusive(temporary_folder.empty() ? target_.folder : temporary_folder, temporary_);
    if (fd < 0) {
        error_ = errno;
        temporary_.clear();
        return;
    }
    struct stat info {};
    fstat(fd, &info);
    device_ = info.st_dev;
    inode_ = info.st_ino;
    // The replacement keeps the permissions of the file it replaces.
    struct stat old {};
    if (target_.exists && stat(target_.file.c_str(), &old) == 0)
        fchmod(fd, old.st_mode & 07777);
    stream_ = fdopen(fd, "wb");
    if (stream_ == nullptr) {
        error_ = errno;
        close(fd);
        unlink(temporary_.c_str());
        temporary_.clear();
    }
}

ReplacementFile::~ReplacementFile() {
    const KeepErrno keep;
    if (stream_ != nullptr)
        std::fclose(stream_);
    if (!committed_ && !temporary_.empty() && is_ours(temporary_))
        unlink(temporary_.c_str());
}

bool ReplacementFile::is_ours(const std::string& name) const {
    struct stat info {};
    return lstat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_dev == device_ &&
           info.st_ino == inode_;
}

bool ReplacementFile::write(const void* data, std::size_t size) {
    if (error_ != 0 || stream_ == nullptr)
        return false;
    if (std::fwrite(data, 1, size, stream_) != size)
        fail(errno);
    return error_ == 0;
}

void ReplacementFile::fail(int error) {
    if (error_ == 0)
        error_ = error != 0 ? error : EIO;
}

int ReplacementFile::commit() {
    if (committed_)
        return 0;
    if (error_ != 0)
        return error_;
    if (stream_ != nullptr) {
        int error = 0;
        if (std::fflush(stream_) != 0)
            error = errno;
        // Renaming over a file before its replacement is on the disk could lose both in a
        // crash; a new name risks nothing older.
        else if (target_.exists && fsync(fileno(stream_)) != 0)
            error = errno;
        if (std::fclose(stream_) != 0 && error == 0)
            error = errno;
        stream_ = nullptr;
        if (error != 0) {
            fail(error);
            return error_;
        }
    }
    if (!is_ours(temporary_))
        return ENOENT;
    struct stat info {};
    if (lstat(target_.file.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        return not_regular_error(info.st_mode);
    if (rename(temporary_.c_str(), target_.file.c_str()) != 0)
        return errno;
    committed_ = true;
    return 0;
}

bool ReplacementFile::pending() const {
    return !committed_ && error_ == 0 && stream_ == nullptr && is_ours(temporary_);
}

int replace_file_contents(const std::string& path, std::string_view contents) {
    ReplacementFile file(path);
    file.write(contents.data(), contents.size());
    return file.commit();
}

PrivateFolder::PrivateFolder(const std::string& in_folder) {
    std::string pattern = in_folder + "/.lumitra-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        error_ = errno;
        return;
    }
    char* absolute = realpath(pattern.c_str(), nullptr);
    if (absolute == nullptr) {
        error_ = errno;
        rmdir(pattern.c_str());
        return;
    }
    path_ = absolute;
    std::free(absolute);
}

void PrivateFolder::remove() {
    if (path_.empty())
        return;
    const KeepErrno keep;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    path_.clear();
}
