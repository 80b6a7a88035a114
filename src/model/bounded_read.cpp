#include "model/bounded_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

BoundedRead read_bounded_file(const std::string& path, std::size_t limit) {
    BoundedRead file;
    const std::string too_large = "larger than " + std::to_string(limit >> 20) + " MiB";
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        file.missing = errno == ENOENT;
        file.problem = std::strerror(errno);
        return file;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        file.problem = std::strerror(errno);
    } else if (!S_ISREG(status.st_mode)) {
        file.problem = "not a regular file";
    } else if (std::size_t(status.st_size) > limit) {
        file.problem = too_large;
    } else {
        // One byte more than allowed tells a file that grew since fstat.
        file.text.resize(limit + 1);
        std::size_t filled = 0;
        while (filled < file.text.size()) {
            const ssize_t got = ::read(fd, file.text.data() + filled, file.text.size() - filled);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                file.problem = std::strerror(errno);
                break;
            }
            if (got == 0)
                break;
            filled += std::size_t(got);
        }
        file.text.resize(filled);
        if (file.problem.empty() && filled > limit)
            file.problem = too_large;
    }
    ::close(fd);
    if (!file.problem.empty())
        file.text.clear();
    return file;
}
