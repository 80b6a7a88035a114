#include "ui/label_text.h"

#include <glib.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "model/translation.h"

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

// The slow path for a text that g_convert refused: convert what converts and put one
// replacement character in place of each byte that does not.
std::string convert_with_replacement(const char* sjis, std::size_t length) {
    GIConv cd = g_iconv_open("UTF-8", "SHIFT-JIS");
    if (cd == reinterpret_cast<GIConv>(-1)) {
        return std::string(sjis, length);
    }
    std::string out;
    char* in = const_cast<char*>(sjis);
    gsize in_left = length;
    char buffer[256];
    while (in_left > 0) {
        char* dst = buffer;
        gsize dst_left = sizeof buffer;
        gsize status = g_iconv(cd, &in, &in_left, &dst, &dst_left);
        out.append(buffer, sizeof buffer - dst_left);
        if (status == static_cast<gsize>(-1)) {
            if (errno == E2BIG) {
                continue;
            }
            // EILSEQ (a byte that starts no character) or EINVAL (a lead byte cut off at
            // the end): replace one byte and carry on after it.
            out += kReplacement;
            ++in;
            --in_left;
            g_iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    g_iconv_close(cd);
    return out;
}

}  // namespace

std::string sjis_to_utf8(const char* sjis) {
    if (sjis == nullptr) {
        return {};
    }
    const std::size_t length = std::strlen(sjis);
    GError* error = nullptr;
    std::unique_ptr<gchar, decltype(&g_free)> utf8(
        g_convert(sjis, static_cast<gssize>(length), "UTF-8", "Shift-JIS", nullptr, nullptr,
                  &error),
        &g_free);
    if (utf8) {
        return utf8.get();
    }
    g_clear_error(&error);
    return convert_with_replacement(sjis, length);
}

std::string shown_text(const char* sjis) {
    return translated(sjis_to_utf8(sjis));
}
