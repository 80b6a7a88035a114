// Emscripten's C++ library reads and writes integers with std::from_chars and std::to_chars
// but not yet reals. These overloads read a real as from_chars does: no leading space or '+',
// no hexadecimal, the longest decimal number at the start, correctly rounded (strtod in the C
// locale); and write the fewest significant digits that read back as the same value.
#pragma once

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>

namespace std {

template <class Real, Real (*read)(const char*, char**)>
from_chars_result from_chars_real(const char* first, const char* last, Real& value) {
    std::string text(first, last);
    // strtod would also take these; from_chars stops before them.
    const std::size_t stop = text.find_first_of(" \t\n\v\f\rxXpP");
    text = text.substr(0, stop);
    if (text.empty() || text[0] == '+')
        return {first, errc::invalid_argument};
    char* end = nullptr;
    errno = 0;
    const Real read_value = read(text.c_str(), &end);
    if (end == text.c_str())
        return {first, errc::invalid_argument};
    const char* past = first + (end - text.c_str());
    if (errno == ERANGE)
        return {past, errc::result_out_of_range};
    value = read_value;
    return {past, errc()};
}

inline from_chars_result from_chars(const char* first, const char* last, double& value) {
    return from_chars_real<double, std::strtod>(first, last, value);
}
inline from_chars_result from_chars(const char* first, const char* last, float& value) {
    return from_chars_real<float, std::strtof>(first, last, value);
}

template <class Real, Real (*read)(const char*, char**)>
to_chars_result to_chars_real(char* first, char* last, Real value) {
    char text[32];
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, double(value));
        if (read(text, nullptr) == value)
            break;
    }
    const std::string written = text;
    if (written.size() > std::size_t(last - first))
        return {last, errc::value_too_large};
    return {written.copy(first, written.size()) + first, errc()};
}

inline to_chars_result to_chars(char* first, char* last, double value) {
    return to_chars_real<double, std::strtod>(first, last, value);
}
inline to_chars_result to_chars(char* first, char* last, float value) {
    return to_chars_real<float, std::strtof>(first, last, value);
}

}  // namespace std
