#include "output/replacement_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <utility>
#include <vector>

namespace {

// As many links as the kernel follows before it gives up with ELOOP.
constexpr int kMaxLinks = 40;

// Every temporary is named ".lumitra-PID-XXXXXX", PID that of the process that made it, so
// that a later export can tell the leftovers of a killed one from those of a running one.
constexpr char kTemporaryPrefix[] = ".lumitra-";
constexpr int kRandomLetters = 6;
// A leftover younger than this may belong to a process whose id was just reused; it waits.
constexpr std::time_t kStaleAfterSeconds = 60;

std::string temporary_stem(const std::string& folder) {
    return folder + "/" + kTemporaryPrefix + std::to_string(getpid()) + "-";
}

// The creator's process id of a temporary's name, or 0 for any other name.
pid_t creator_of(const char* name) {
    const std::size_t prefix = sizeof kTemporaryPrefix - 1;
    if (std::strncmp(name, kTemporaryPrefix, prefix) != 0)
        return 0;
    const char* at = name + prefix;
    long pid = 0;
    int digits = 0;
    for (; *at >= '0' && *at <= '9' && digits < 10; ++at, ++digits)
        pid = pid * 10 + (*at - '0');
    if (digits == 0 || *at != '-' || pid <= 0 || pid > INT_MAX)
        return 0;
    ++at;
    for (int i = 0; i < kRandomLetters; ++i, ++at)
        if (!std::isalnum(static_cast<unsigned char>(*at)))
            return 0;
    return *at == '\0' ? static_cast<pid_t>(pid) : 0;
}

bool is_running(pid_t pid) {
    return kill(pid, 0) == 0 || errno == EPERM;
}

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
        name = temporary_stem(folder);
        for (int i = 0; i < kRandomLetters; ++i, bits /= 62)
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

// Whether a link in this folder may be followed. In a sticky folder that everyone may write
// (/tmp), another user can plant a link to a file of a third; the kernel refuses to follow
// such a link unless it belongs to the follower or to the folder's owner. We follow links
// ourselves, so the same rule is applied here.
bool may_follow(const struct stat& link, const std::string& folder) {
    struct stat holder {};
    if (stat(folder.c_str(), &holder) != 0)
        return false;
    const bool shared = (holder.st_mode & S_ISVTX) != 0 && (holder.st_mode & S_IWOTH) != 0;
    return !shared || link.st_uid == geteuid() || link.st_uid == holder.st_uid;
}

}  // namespace

void remove_stale_temporaries(const std::string& folder) {
    const KeepErrno keep;
    DIR* listing = opendir(folder.c_str());
    if (listing == nullptr)
        return;
    const int at = dirfd(listing);
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = readdir(listing)) {
        const pid_t creator = creator_of(entry->d_name);
        if (creator == 0 || creator == getpid() || is_running(creator))
            continue;
        struct stat info {};
        if (fstatat(at, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            info.st_uid != geteuid() || now - info.st_mtime < kStaleAfterSeconds)
            continue;
        if (S_ISREG(info.st_mode)) {
            unlinkat(at, entry->d_name, 0);
        } else if (S_ISDIR(info.st_mode)) {
            // A folder of frames: remove_all does not follow links inside it.
            std::error_code ignored;
            std::filesystem::remove_all(folder + "/" + entry->d_name, ignored);
        }
    }
    closedir(listing);
}

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
        if (!may_follow(info, folder_of(file))) {
            target.error = EACCES;
            target.refused_link = file;
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

int check_save_target(const SaveTarget& target) {
    if (target.error != 0)
        return target.error;
    if (target.exists && faccessat(AT_FDCWD, target.file.c_str(), W_OK, AT_EACCESS) != 0)
        return errno;
    if (faccessat(AT_FDCWD, target.folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        return errno;
    return 0;
}

ReplacementFile::ReplacementFile(const std::string& path, const std::string& temporary_folder)
    : ReplacementFile(resolve_save_target(path), temporary_folder) {}

ReplacementFile::ReplacementFile(SaveTarget target, const std::string& temporary_folder)
    : target_(std::move(target)) {
    if (target_.error != 0) {
        error_ = target_.error;
        return;
    }
    // A file the user has made read-only stays as it is, as it would under an overwrite.
    if (target_.exists && faccessat(AT_FDCWD, target_.file.c_str(), W_OK, AT_EACCESS) != 0) {
        error_ = errno;
        return;
    }
    if (temporary_folder.empty())
        remove_stale_temporaries(target_.folder);
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
    remove_stale_temporaries(in_folder);
    std::string pattern = temporary_stem(in_folder) + std::string(kRandomLetters, 'X');
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

std::string describe_save_error(const std::string& path, const SaveTarget& target, int error) {
    if (!target.refused_link.empty())
        return target.refused_link +
               " is a symbolic link of another user in a shared folder, not followed";
    struct stat info {};
    // A folder is told well enough by the system's "Is a directory".
    if (target.exists && lstat(target.file.c_str(), &info) == 0 && !S_ISREG(info.st_mode) &&
        !S_ISDIR(info.st_mode)) {
        const char* kind = S_ISFIFO(info.st_mode)   ? "a FIFO"
                           : S_ISCHR(info.st_mode)  ? "a character device"
                           : S_ISBLK(info.st_mode)  ? "a block device"
                           : S_ISSOCK(info.st_mode) ? "a socket"
                                                    : "something else";
        return path + ": " + kind + ", not a regular file to replace";
    }
    return path + ": " + std::strerror(error);
}
