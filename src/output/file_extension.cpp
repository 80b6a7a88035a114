#include "output/file_extension.h"

#include <algorithm>

std::optional<std::string_view> file_extension(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t component = slash == std::string_view::npos ? 0 : slash + 1;
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || dot < component)
        return std::nullopt;
    return path.substr(dot + 1);
}

namespace {

bool equals_ignoring_case(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

OutputFormat output_format(std::optional<std::string_view> extension) {
    if (!extension || equals_ignoring_case(*extension, "bmp"))
        return OutputFormat::kBmp;
    if (equals_ignoring_case(*extension, "jpg") || equals_ignoring_case(*extension, "jpeg"))
        return OutputFormat::kJpeg;
    if (equals_ignoring_case(*extension, "ppm") || equals_ignoring_case(*extension, "pnm"))
        return OutputFormat::kPpm;
    if (equals_ignoring_case(*extension, "mpg") || equals_ignoring_case(*extension, "mpeg"))
        return OutputFormat::kMpeg;
    return OutputFormat::kUnsupported;
}
