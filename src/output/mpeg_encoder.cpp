#include "output/mpeg_encoder.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "output/replacement_file.h"

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

// Splits a stream into lines as its bytes arrive. A line longer than kLongestLine is cut
// there and the rest of it dropped, so that output without newlines never piles up.
class LineReader {
  public:
    static constexpr std::size_t kLongestLine = 4096;

    // Hands each complete line to handle; stops early when handle returns false.
    template <typename Handle>
    bool feed(const char* data, std::size_t size, Handle&& handle) {
        for (std::size_t i = 0; i < size; ++i) {
            if (data[i] != '\n') {
                if (line_.size() < kLongestLine)
                    line_ += data[i];
                continue;
            }
            const bool go_on = handle(std::string_view(line_));
            line_.clear();
            if (!go_on)
                return false;
        }
        return true;
    }

  private:
    std::string line_;
};

// A pipe whose read end stays with us, close-on-exec and non-blocking: after the encoder has
// ended, what is left in it is read without waiting for writers that may never close.
class Pipe {
  public:
    Pipe() {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) == 0) {
            read_end = fds[0];
            write_end = fds[1];
            fcntl(read_end, F_SETFL, O_NONBLOCK);
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

std::string describe_status(int status) {
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

// Starts the encoder in a process group of its own, so that it and whatever it starts can
// be ended together, and so that a terminal's Ctrl-C reaches only us: we stop it ourselves.
// stdout and stderr go to their pipes, descriptor 3 to the movie's. Returns the process id,
// or -1 with errno.
pid_t spawn_encoder(std::vector<std::string> args, const Pipe& out, const Pipe& err,
                    const Pipe& movie) {
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out.write_end, 1);
    posix_spawn_file_actions_adddup2(&actions, err.write_end, 2);
    posix_spawn_file_actions_adddup2(&actions, movie.write_end, 3);
    // Descriptors the rest of the program opened without close-on-exec stay out of the child.
    posix_spawn_file_actions_addclosefrom_np(&actions, 4);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t default_signals;
    sigemptyset(&default_signals);
    for (int number : {SIGPIPE, SIGTERM, SIGINT, SIGHUP})
        sigaddset(&default_signals, number);
    posix_spawnattr_setsigdefault(&attributes, &default_signals);
    sigset_t no_signals;
    sigemptyset(&no_signals);
    posix_spawnattr_setsigmask(&attributes, &no_signals);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(
        &attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);

    pid_t pid = -1;
    const int error = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        errno = error;
        return -1;
    }
    return pid;
}

// Whether the encoder has ended. It stays a zombie until end_and_reap, so its process id,
// which is also its group's, cannot be taken by another process meanwhile.
bool has_ended(pid_t pid) {
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == pid;
}

// Ends whatever is left of the encoder's process group: the encoder itself when it is
// stopped, or processes it started that outlive it.
void end_group(pid_t pid) {
    kill(-pid, SIGKILL);
}

// Returns the encoder's wait status.
int end_and_reap(pid_t pid) {
    end_group(pid);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

using Clock = std::chrono::steady_clock;
constexpr auto kWaitTick = std::chrono::milliseconds(100);

enum class RunEnd { kExited, kCancelled, kMovieUnwritable, kSilent, kLost };

// One run of the encoder: its three pipes read as their bytes come, the frame lines turned
// into progress, the movie's bytes written to the movie file.
class EncoderRun {
  public:
    EncoderRun(int frame_count, ReplacementFile& movie, ProgressSink& progress)
        : tracker(frame_count), movie_(movie), progress_(progress) {}

    // Waits until the encoder ends, the user cancels, the movie cannot be written or the
    // encoder has been silent for silence_limit.
    RunEnd follow(pid_t pid, std::chrono::milliseconds silence_limit) {
        Clock::time_point heard = Clock::now();
        asked_ = heard;
        while (!stopped_) {
            if (has_ended(pid))
                return RunEnd::kExited;
            const Clock::duration silent = Clock::now() - heard;
            if (silent >= silence_limit)
                return RunEnd::kSilent;
            const Clock::duration wait =
                std::min<Clock::duration>(silence_limit - silent, kWaitTick);
            pollfd fds[3] = {{out.read_end, POLLIN, 0},
                             {err.read_end, POLLIN, 0},
                             {movie_pipe.read_end, POLLIN, 0}};
            const int ready =
                poll(fds, 3, int(std::chrono::ceil<std::chrono::milliseconds>(wait).count()));
            if (ready < 0 && errno != EINTR)
                return RunEnd::kLost;
            if (ready > 0 && read_available())
                heard = Clock::now();
            if (!stopped_ && Clock::now() - asked_ >= kWaitTick) {
                asked_ = Clock::now();
                if (!progress_.keep_going())
                    stopped_ = RunEnd::kCancelled;
            }
        }
        return *stopped_;
    }

    // Reads what is left in the pipes without waiting for more: after the encoder ended,
    // everything it wrote is there. Its last frame lines may still bring a cancel, or the
    // movie's last bytes a failure to write them.
    RunEnd drain() {
        while (!stopped_ && read_available()) {
        }
        return stopped_.value_or(RunEnd::kExited);
    }

    Pipe out, err, movie_pipe;
    FrameTracker tracker;
    std::string stderr_text;
    std::uintmax_t movie_bytes = 0;

  private:
    // Reads at most one buffer from each pipe. True when anything came.
    bool read_available() {
        bool heard = false;
        for (Pipe* pipe : {&out, &err, &movie_pipe}) {
            if (pipe->read_end < 0 || stopped_)
                continue;
            char chunk[65536];
            const ssize_t got = read(pipe->read_end, chunk, sizeof chunk);
            if (got > 0) {
                heard = true;
                take(*pipe, chunk, std::size_t(got));
            } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
                pipe->close_read();
            }
        }
        return heard;
    }

    void take(const Pipe& pipe, const char* data, std::size_t size) {
        if (&pipe == &movie_pipe) {
            movie_bytes += size;
            if (!movie_.write(data, size))
                stopped_ = RunEnd::kMovieUnwritable;
        } else if (&pipe == &out) {
            stdout_lines_.feed(data, size, [&](std::string_view line) {
                const std::optional<float> fraction = tracker.on_line(line);
                if (!fraction)
                    return true;
                asked_ = Clock::now();
                if (progress_.update(*fraction))
                    return true;
                stopped_ = RunEnd::kCancelled;
                return false;
            });
        } else {
            stderr_text.append(data, size);
            // Only the end is kept: it names the cause when the encoder fails.
            if (stderr_text.size() > 8192)
                stderr_text.erase(0, stderr_text.size() - 4096);
        }
    }

    ReplacementFile& movie_;
    ProgressSink& progress_;
    LineReader stdout_lines_;
    std::optional<RunEnd> stopped_;
    Clock::time_point asked_;
};

std::string seconds_text(std::chrono::milliseconds duration) {
    char text[32];
    std::snprintf(text, sizeof text, "%g s", double(duration.count()) / 1000.0);
    return text;
}

// The command that runs the encoder on the parameter file. Through a pipe the encoder's
// standard output is block-buffered and its frame lines would all arrive at the end; stdbuf
// makes it line-buffered so that progress follows the encoding. Without stdbuf the movie is
// still made, with coarser progress.
std::vector<std::string> encoder_command(const std::string& encoder,
                                         const std::string& parameter_file) {
    std::vector<std::string> args;
    if (const std::optional<std::string> stdbuf = find_on_path("stdbuf"))
        args = {*stdbuf, "-oL"};
    args.push_back(encoder);
    args.push_back(parameter_file);
    return args;
}

// Whether the run that ended so, with the encoder's wait status, ended as it should: the
// encoder finished by itself and succeeded. A failure other than a cancel or an unwritable
// movie is told in one line on standard error.
bool run_succeeded(const EncoderRun& run, RunEnd end, int status, int lost_error,
                   const std::string& encoder, std::chrono::milliseconds silence_limit) {
    switch (end) {
        case RunEnd::kCancelled:
        case RunEnd::kMovieUnwritable:
            return false;
        case RunEnd::kSilent:
            report(encoder + " printed nothing for " + seconds_text(silence_limit) +
                   " and was stopped");
            return false;
        case RunEnd::kLost:
            report(std::string("lost track of the encoder: ") + std::strerror(lost_error));
            return false;
        case RunEnd::kExited:
            break;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::string cause = encoder + " failed (" + describe_status(status) + ")";
        const std::string detail = last_nonempty_line(run.stderr_text);
        if (!detail.empty())
            cause += ": " + detail;
        report(cause);
        return false;
    }
    return true;
}

}  // namespace

std::optional<std::string> find_encoder() {
    return find_on_path(kEncoder);
}

int encode_movie(const std::string& parameter_file, ReplacementFile& movie, ProgressSink& progress,
                 std::chrono::milliseconds silence_limit) {
    const int frame_count = count_listed_frames(parameter_file);
    if (frame_count <= 0) {
        report("no frames listed in parameter file " + parameter_file);
        return -1;
    }
    const std::optional<std::string> encoder = find_encoder();
    if (!encoder) {
        report(std::string(kEncoder) + " is not installed (not found on PATH)");
        return -1;
    }
    if (!movie.ok())
        return -1;

    EncoderRun run(frame_count, movie, progress);
    if (!run.out.ok() || !run.err.ok() || !run.movie_pipe.ok()) {
        report(std::string("cannot create pipes: ") + std::strerror(errno));
        return -1;
    }
    const pid_t pid =
        spawn_encoder(encoder_command(*encoder, parameter_file), run.out, run.err, run.movie_pipe);
    const int spawn_error = errno;
    for (Pipe* pipe : {&run.out, &run.err, &run.movie_pipe})
        pipe->close_write();
    if (pid < 0) {
        report("cannot start " + *encoder + ": " + std::strerror(spawn_error));
        return -1;
    }

    RunEnd end = run.follow(pid, silence_limit);
    const int lost_error = errno;
    if (end == RunEnd::kExited) {
        end_group(pid);
        end = run.drain();
    }
    const int status = end_and_reap(pid);
    if (!run_succeeded(run, end, status, lost_error, *encoder, silence_limit) || !movie.ok())
        return -1;
    if (run.movie_bytes == 0) {
        report(*encoder + " gave no movie");
        return -1;
    }
    // The encoder finished; a final report of exactly 1.0 closes the progress dialog even if
    // its frame lines were not all recognised.
    if (!run.tracker.finished() && !progress.update(1.0f))
        return -1;
    return 0;
}
