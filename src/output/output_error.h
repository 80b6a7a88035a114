// Why writing a file or a movie failed: one line for standard error, and the system's reason
// behind it (an errno value; 0 when a library or the encoder failed on its own).
#pragma once

#include <cstring>
#include <string>

struct OutputError {
    std::string what;
    int error_number = 0;
};

// A failure of a step with the system's reason, which the line then names.
inline OutputError system_error(int error_number, const std::string& what) {
    return {error_number != 0 ? what + ": " + std::strerror(error_number) : what, error_number};
}
