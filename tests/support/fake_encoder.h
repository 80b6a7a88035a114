// Stand-ins for the encoder: a shell script named ppmtompeg first on PATH for as long as the
// object lives, for encoders that hang, fail or leave processes behind.
#pragma once

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class FakeEncoder {
  public:
    // script: the body of a /bin/sh script; "$1" is the parameter file.
    FakeEncoder(const std::filesystem::path& folder, const std::string& script)
        : saved_path_(std::getenv("PATH") ? std::getenv("PATH") : "") {
        std::filesystem::create_directories(folder);
        const std::filesystem::path program = folder / "ppmtompeg";
        std::ofstream(program) << "#!/bin/sh\n" << script << "\n";
        chmod(program.c_str(), 0755);
        setenv("PATH", (folder.string() + ":" + saved_path_).c_str(), 1);
    }
    ~FakeEncoder() { setenv("PATH", saved_path_.c_str(), 1); }
    FakeEncoder(const FakeEncoder&) = delete;
    FakeEncoder& operator=(const FakeEncoder&) = delete;

  private:
    std::string saved_path_;
};

// The process id a fake encoder wrote into the file ("echo $$ > file"), or 0 until then.
inline pid_t pid_in(const std::filesystem::path& file) {
    std::ifstream in(file);
    long pid = 0;
    in >> pid;
    return static_cast<pid_t>(pid);
}

// Whether the process has ended: gone, or a zombie that only its new parent has yet to reap.
// A process sent SIGKILL ends a moment after the call, so it is given up to a second.
inline bool process_ended(pid_t pid) {
    for (int tries = 0; tries < 100; ++tries) {
        if (kill(pid, 0) != 0 && errno == ESRCH)
            return true;
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string skip, state;
        stat >> skip >> skip >> state;  // pid, (name), state; the fakes' names have no spaces
        if (state == "Z" || state.empty())
            return true;
        usleep(10000);
    }
    return false;
}

// Whether this process has no child left, not even one still to be reaped.
inline bool no_child_left() {
    return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
}
