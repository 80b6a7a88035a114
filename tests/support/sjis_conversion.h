// glibc's own Shift-JIS converter, independent of the toolkit the program converts with.
#pragma once

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <string>

inline std::string iconv_sjis_to_utf8(std::string in) {
    iconv_t cd = iconv_open("UTF-8", "SHIFT-JIS");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return "<no converter>";
    }
    std::string out(in.size() * 4 + 4, '\0');
    char* src = in.data();
    std::size_t src_left = in.size();
    char* dst = out.data();
    std::size_t dst_left = out.size();
    const std::size_t status = iconv(cd, &src, &src_left, &dst, &dst_left);
    iconv_close(cd);
    if (status == static_cast<std::size_t>(-1)) {
        return "<invalid: " + std::string(std::strerror(errno)) + ">";
    }
    out.resize(out.size() - dst_left);
    return out;
}
