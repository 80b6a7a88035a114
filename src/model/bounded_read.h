// Reading a small file whose content comes from outside the program's control (a style
// sheet, a message catalogue) without ever waiting or reading without end.
#pragma once

#include <cstddef>
#include <string>

struct BoundedRead {
    bool missing = false;  // there is no such file
    std::string text;
    std::string problem;  // why the file is not read; empty when text holds it
};

// Reads the file only if it is a regular file of at most limit bytes (a whole number of
// MiB). It is opened without blocking (a FIFO would otherwise wait for a writer) and checked
// through the open descriptor, so that what is checked is what is read.
BoundedRead read_bounded_file(const std::string& path, std::size_t limit);
