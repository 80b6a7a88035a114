// What every still writer does the same way: refusing a picture it cannot write, and
// writing through a replacement file with one line on standard error for a failure.
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "output/replacement_file.h"

// One line on standard error: "writer: path: cause".
void report_failure(const char* writer, const char* path, const char* cause);

// True, after the line on standard error and with errno EINVAL, when there is no path, no
// buffer, or a side outside 1 … 65500 (every header field of the formats holds that).
bool refuse_invalid(const char* writer, const char* path, const std::uint8_t* rgb, int width,
                    int height);

// Runs the body on a replacement file for the path. Returns 1 when the finished file took
// the path's place; otherwise 0, with errno set after the temporary is gone and one line on
// standard error.
template <typename Body>
int write_replacing(const char* writer, const char* path, Body&& body) {
    int error = 0;
    {
        ReplacementFile file(path);
        if (file.ok())
            body(file);
        error = file.commit();
    }
    if (error == 0)
        return 1;
    report_failure(writer, path, std::strerror(error));
    errno = error;
    return 0;
}
