// Copies a manual page from standard input to standard output, putting the program's output
// formats, as roff, in place of the comment lines that mark where they go, so that the page
// describes exactly the formats the renderer accepts.
#include <iostream>
#include <string>

#include "output/file_extension.h"

namespace {

// The formats of one kind as one sentence's list: ".I .ppm\nor\n.I .pnm\n…", each followed by
// its description and then by the separator, the last by "and" before it and "." after it.
std::string format_paragraph(bool movies, const std::string& separator) {
    std::string text;
    std::size_t count = 0;
    for (const FormatEntry& entry : output_formats())
        count += is_movie(entry.format) == movies ? 1 : 0;
    std::size_t index = 0;
    for (const FormatEntry& entry : output_formats()) {
        if (is_movie(entry.format) != movies)
            continue;
        for (std::size_t i = 0; i < entry.extensions.size(); ++i)
            text += (i == 0 ? "" : "or\n") + std::string(".I .") +
                    std::string(entry.extensions[i]) + "\n";
        if (entry.default_format)
            text += "or no extension ";
        ++index;
        text += std::string(entry.manual) +
                (index == count       ? "."
                 : index + 1 == count ? separator + " and"
                                      : separator) +
                "\n";
    }
    return text;
}

}  // namespace

int main() {
    std::string line;
    while (std::getline(std::cin, line)) {
        if (line == ".\\\" still formats")
            std::cout << format_paragraph(false, ",");
        else if (line == ".\\\" movie formats")
            std::cout << format_paragraph(true, ";");
        else
            std::cout << line << '\n';
    }
    return std::cout.good() ? 0 : 1;
}
