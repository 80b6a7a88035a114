// What the language tests look for in a text: Japanese characters, and the placeholders a
// message fills in.
#pragma once

#include <string>

// Whether the UTF-8 text holds a kana, a kanji, or a Japanese full-width sign (。、？ and
// the like). Greek letters and the micro sign are not Japanese.
inline bool has_japanese(const std::string& utf8) {
    for (std::size_t i = 0; i < utf8.size();) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const int length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
        char32_t code = length == 1 ? byte : byte & (0x3F >> (length - 1));
        for (int k = 1; k < length && i + k < utf8.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        if ((code >= 0x3000 && code <= 0x30FF) || (code >= 0x3400 && code <= 0x9FFF) ||
            (code >= 0xFF00 && code <= 0xFFEF))
            return true;
        i += std::size_t(length);
    }
    return false;
}

// The printf conversions of a message in their order ("%s%d"), without the literal "%%".
inline std::string placeholders(const std::string& text) {
    std::string found;
    for (std::size_t at = text.find('%'); at != std::string::npos && at + 1 < text.size();
         at = text.find('%', at + 2)) {
        if (text[at + 1] != '%')
            found += text.substr(at, 2);
    }
    return found;
}
