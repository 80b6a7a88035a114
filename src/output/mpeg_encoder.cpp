#include "output/mpeg_encoder.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace {

constexpr const char* kEncoder = "ppmtompeg";

void report(const std::string& cause) {
    std::fprintf(stderr, "encode_movie: %s\n", cause.c_str());
}

// The full path of an executable found on PATH, or nothing.
std::optional<std::string> find_on_path(const char* name) {
    const char* path = std::getenv("PATH");
    std::string_view dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const std::size_t colon = dirs.find(':');
        // An empty entry stands for the current directory.
        const std::string_view dir = colon == 0 || dirs.empty() ? "." : dirs.substr(0, colon);
        const std::string candidate = std::string(dir) + "/" + name;
        struct stat info {};
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (colon == std::string_view::npos)
            return std::nullopt;
        dirs.remove_prefix(colon + 1);
    }
}

// Number of frame lines between "INPUT" and "END_INPUT".
int count_listed_frames(const std::string& parameter_file) {
    std::ifstream in(parameter_file);
    if (!in)
        return -1;
    std::string line;
    int count = 0;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!inside) {
            inside = line == "INPUT";
        } else if (line == "END_INPUT") {
            return count;
        } else if (!line.empty()) {
            ++count;
        }
    }
    return -1;
}

// Follows the encoder's "FRAME i (T)" lines. The encoder writes a reference picture before
// the B pictures that precede it in display order, so a reference counts as done once the
// B pictures between it and the previous reference have come too.
class FrameTracker {
  public:
    explicit FrameTracker(int frame_count) : n_(frame_count) {}

    // Returns the fraction to report after this line, if any.
    std::optional<float> on_line(std::string_view line) {
        int index = 0;
        char type = 0;
        const std::string text(line);
        if (std::sscanf(text.c_str(), "FRAME %d (%c)", &index, &type) != 2)
            return std::nullopt;
        if (type == 'I' || type == 'P') {
            pending_ = index;
            b_expected_ = index - last_reference_ - 1;
            b_seen_ = 0;
        } else if (type == 'B') {
            ++b_seen_;
        } else {
            return std::nullopt;
        }
        if (pending_ >= 0 && b_seen_ >= b_expected_) {
            last_reference_ = pending_;
            pending_ = -1;
            return fraction(last_reference_);
        }
        return std::nullopt;
    }

    bool finished() const { return last_reference_ == n_ - 1; }

  private:
    float fraction(int reference) const {
        return static_cast<float>(reference + 1) / static_cast<float>(n_);
    }

    int n_;
    int last_reference_ = -1;
    int pending_ = -1;
    int b_expected_ = 0;
    int b_seen_ = 0;
};

// Splits a stream into lines as its bytes arrive.
class LineReader {
  public:
    template <typename Handle>
    void feed(const char* data, std::size_t size, Handle&& handle) {
        buffer_.append(data, size);
        std::size_t start = 0;
        for (std::size_t nl; (nl = buffer_.find('\n', start)) != std::string::npos;
             start = nl + 1) {
            if (!handle(std::string_view(buffer_).substr(start, nl - start))) {
                buffer_.erase(0, nl + 1);
                return;
            }
        }
        buffer_.erase(0, start);
    }

  private:
    std::string buffer_;
};

class Pipe {
  public:
    Pipe() {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) == 0) {
            read_end = fds[0];
            write_end = fds[1];
        }
    }
    ~Pipe() {
        close_read();
        close_write();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    bool ok() const { return read_end >= 0; }
    void close_read() {
        if (read_end >= 0)
            close(read_end);
        read_end = -1;
    }
    void close_write() {
        if (write_end >= 0)
            close(write_end);
        write_end = -1;
    }
    int read_end = -1;
    int write_end = -1;
};

int wait_for(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return status;
}

std::string describe_status(int status) {
    if (status < 0)
        return "lost track of the encoder process";
    if (WIFEXITED(status))
        return "exit status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return std::string("killed by signal ") + strsignal(WTERMSIG(status));
    return "ended abnormally";
}

std::string last_nonempty_line(const std::string& text) {
    std::size_t end = text.find_last_not_of("\r\n \t");
    if (end == std::string::npos)
        return {};
    std::size_t start = text.rfind('\n', end);
    start = start == std::string::npos ? 0 : start + 1;
    return text.substr(start, end - start + 1);
}

}  // namespace

int encode_movie(const std::string& parameter_file, ProgressSink& progress) {
    const int frame_count = count_listed_frames(parameter_file);
    if (frame_count <= 0) {
        report("no frames listed in parameter file " + parameter_file);
        return -1;
    }
    const std::optional<std::string> encoder = find_on_path(kEncoder);
    if (!encoder) {
        report(std::string(kEncoder) + " is not installed (not found on PATH)");
        return -1;
    }
    // Through a pipe the encoder's standard output is block-buffered and its frame lines
    // would all arrive at the end; stdbuf makes it line-buffered so that progress follows
    // the encoding. Without stdbuf the movie is still made, with coarser progress.
    const std::optional<std::string> stdbuf = find_on_path("stdbuf");
    std::vector<std::string> args;
    if (stdbuf)
        args = {*stdbuf, "-oL"};
    args.push_back(*encoder);
    args.push_back(parameter_file);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    Pipe out, err;
    if (!out.ok() || !err.ok()) {
        report(std::string("cannot create pipes: ") + std::strerror(errno));
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out.write_end, 1);
    posix_spawn_file_actions_adddup2(&actions, err.write_end, 2);
    // Descriptors the rest of the program opened without close-on-exec stay out of the child.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t default_signals;
    sigemptyset(&default_signals);
    sigaddset(&default_signals, SIGPIPE);
    sigaddset(&default_signals, SIGTERM);
    sigaddset(&default_signals, SIGINT);
    posix_spawnattr_setsigdefault(&attributes, &default_signals);
    sigset_t no_signals;
    sigemptyset(&no_signals);
    posix_spawnattr_setsigmask(&attributes, &no_signals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    pid_t pid = -1;
    const int spawn_error = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    out.close_write();
    err.close_write();
    if (spawn_error != 0) {
        report("cannot start " + *encoder + ": " + std::strerror(spawn_error));
        return -1;
    }

    FrameTracker tracker(frame_count);
    LineReader stdout_lines;
    std::string stderr_text;
    bool cancelled = false;

    while (out.read_end >= 0 || err.read_end >= 0) {
        pollfd fds[2] = {{out.read_end, POLLIN, 0}, {err.read_end, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            report(std::string("poll failed: ") + std::strerror(errno));
            cancelled = true;
            break;
        }
        char chunk[4096];
        if (fds[0].revents != 0) {
            const ssize_t got = read(out.read_end, chunk, sizeof chunk);
            if (got > 0) {
                stdout_lines.feed(chunk, std::size_t(got), [&](std::string_view line) {
                    const std::optional<float> fraction = tracker.on_line(line);
                    if (fraction && !progress.update(*fraction)) {
                        cancelled = true;
                        return false;
                    }
                    return true;
                });
                if (cancelled)
                    break;
            } else if (got == 0 || errno != EINTR) {
                out.close_read();
            }
        }
        if (fds[1].revents != 0) {
            const ssize_t got = read(err.read_end, chunk, sizeof chunk);
            if (got > 0) {
                stderr_text.append(chunk, std::size_t(got));
                // Only the end is kept: it names the cause when the encoder fails.
                if (stderr_text.size() > 8192)
                    stderr_text.erase(0, stderr_text.size() - 4096);
            } else if (got == 0 || errno != EINTR) {
                err.close_read();
            }
        }
    }

    if (cancelled) {
        kill(pid, SIGKILL);
        out.close_read();
        err.close_read();
        wait_for(pid);
        return -1;
    }
    const int status = wait_for(pid);
    if (status < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::string cause = *encoder + " failed (" + describe_status(status) + ")";
        const std::string detail = last_nonempty_line(stderr_text);
        if (!detail.empty())
            cause += ": " + detail;
        report(cause);
        return -1;
    }
    // The encoder finished; a final report of exactly 1.0 closes the progress dialog even if
    // its frame lines were not all recognised.
    if (!tracker.finished() && !progress.update(1.0f))
        return -1;
    return 0;
}
