#include "model/translation.h"

#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <system_error>
#include <unordered_map>
#include <vector>

#include "model/bounded_read.h"

namespace fs = std::filesystem;

namespace {

constexpr char kDomain[] = "lumitra";
// Our catalogue is a few kilobytes; a file much larger is not one.
constexpr std::size_t kLargestCatalogue = std::size_t(1) << 20;
// Nobody prefers more languages than this; a longer list only costs every look-up.
constexpr std::size_t kMostLanguages = 32;

// The shown text of each Japanese key; empty while the texts are Japanese.
std::unordered_map<std::string, std::string> catalogue;

// The language part of a locale name (ll of ll_TT.codeset@modifier).
std::string_view language_of(std::string_view name) {
    return name.substr(0, name.find_first_of("_.@"));
}

// gettext ignores LANGUAGE and translates nothing in these.
bool is_c_locale(std::string_view name) {
    return name.empty() || name == "POSIX" || language_of(name) == "C";
}

bool is_lower(char c) {
    return c >= 'a' && c <= 'z';
}
bool is_upper(char c) {
    return c >= 'A' && c <= 'Z';
}
bool is_name_char(char c) {
    return is_lower(c) || is_upper(c) || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

// ll or lll, then optionally _TT, .codeset and @modifier, as locale names are written.
bool is_language_name(std::string_view entry) {
    std::size_t at = 0;
    while (at < entry.size() && is_lower(entry[at]))
        ++at;
    if (at < 2 || at > 3)
        return false;
    if (at < entry.size() && entry[at] == '_') {
        const std::size_t start = ++at;
        while (at < entry.size() && (is_upper(entry[at]) || (entry[at] >= '0' && entry[at] <= '9')))
            ++at;
        if (at - start < 2 || at - start > 3)
            return false;
    }
    for (const char mark : {'.', '@'}) {
        if (at < entry.size() && entry[at] == mark) {
            const std::size_t start = ++at;
            while (at < entry.size() && is_name_char(entry[at]))
                ++at;
            if (at == start)
                return false;
        }
    }
    return at == entry.size();
}

// The catalogue gettext would take for one list entry, most specific name first; anything at
// that name counts, so that an unusable file is reported rather than passed over.
std::optional<fs::path> catalogue_file(const fs::path& folder, const std::string& entry) {
    const std::string_view name = entry;
    const std::string_view language_territory = name.substr(0, name.find_first_of(".@"));
    std::error_code error;
    for (std::string_view candidate : {name, language_territory, language_of(name)}) {
        const fs::path file =
            folder / std::string(candidate) / "LC_MESSAGES" / (std::string(kDomain) + ".mo");
        if (fs::symlink_status(file, error).type() != fs::file_type::not_found)
            return file;
    }
    return std::nullopt;
}

std::uint32_t word_at(std::string_view bytes, std::size_t at, bool swapped) {
    std::uint32_t word = 0;
    for (int i = 0; i < 4; ++i) {
        const auto byte = static_cast<std::uint8_t>(bytes[at + std::size_t(i)]);
        word |= std::uint32_t(byte) << (swapped ? 8 * (3 - i) : 8 * i);
    }
    return word;
}

}  // namespace

std::string normalise_language_list(std::string_view list) {
    std::vector<std::string_view> kept;
    while (!list.empty() && kept.size() < kMostLanguages) {
        const std::size_t colon = list.find(':');
        const std::string_view entry = list.substr(0, colon);
        list = colon == std::string_view::npos ? std::string_view{} : list.substr(colon + 1);
        if (!is_language_name(entry))
            continue;
        bool seen = false;
        for (std::string_view earlier : kept)
            seen = seen || earlier == entry;
        if (!seen)
            kept.push_back(entry);
    }
    std::string normal;
    for (std::string_view entry : kept) {
        if (!normal.empty())
            normal += ':';
        normal += entry;
    }
    return normal;
}

std::string requested_messages_locale(const std::function<const char*(const char*)>& variable) {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const char* value = variable(name); value != nullptr && *value != '\0')
            return value;
    return "C";
}

std::string choose_catalogue_language(
    std::string_view messages_locale, std::string_view language_list,
    const std::function<bool(const std::string&)>& has_catalogue) {
    if (is_c_locale(messages_locale))
        return {};
    if (language_list.empty())
        language_list = messages_locale;
    while (!language_list.empty()) {
        const std::size_t colon = language_list.find(':');
        const std::string entry(language_list.substr(0, colon));
        language_list =
            colon == std::string_view::npos ? std::string_view{} : language_list.substr(colon + 1);
        if (entry.empty())
            continue;
        if (language_of(entry) == "ja")
            return {};
        if (has_catalogue(entry))
            return entry;
    }
    return "en";
}

std::string read_catalogue(std::string_view bytes,
                           std::unordered_map<std::string, std::string>& texts) {
    constexpr std::uint32_t kMagic = 0x950412de;
    constexpr std::size_t kHeaderBytes = 28;
    if (bytes.size() < kHeaderBytes)
        return "too short for a message catalogue";
    const bool swapped = word_at(bytes, 0, false) != kMagic;
    if (swapped && word_at(bytes, 0, true) != kMagic)
        return "not a message catalogue";
    if ((word_at(bytes, 4, swapped) >> 16) > 1)
        return "a catalogue revision this program does not know";
    const std::size_t count = word_at(bytes, 8, swapped);
    const std::size_t originals = word_at(bytes, 12, swapped);
    const std::size_t translations = word_at(bytes, 16, swapped);
    // Eight bytes per entry in each table: the tables must lie within the file.
    const auto table_fits = [&](std::size_t table) {
        return table <= bytes.size() && count <= (bytes.size() - table) / 8;
    };
    if (!table_fits(originals) || !table_fits(translations))
        return "its string tables reach beyond its end";
    // Each string: its length, then its offset; a NUL must follow it within the file.
    const auto string_at = [&](std::size_t table, std::size_t k) -> std::optional<std::string> {
        const std::size_t length = word_at(bytes, table + 8 * k, swapped);
        const std::size_t offset = word_at(bytes, table + 8 * k + 4, swapped);
        if (offset >= bytes.size() || length >= bytes.size() - offset ||
            bytes[offset + length] != '\0')
            return std::nullopt;
        return std::string(bytes.substr(offset, length));
    };
    std::unordered_map<std::string, std::string> read;
    for (std::size_t k = 0; k < count; ++k) {
        const std::optional<std::string> key = string_at(originals, k);
        const std::optional<std::string> text = string_at(translations, k);
        if (!key || !text)
            return "string " + std::to_string(k) + " lies beyond its end";
        if (!key->empty() && !text->empty())  // the empty key holds the header
            read.emplace(*key, *text);
    }
    texts = std::move(read);
    return {};
}

void start_translation(const std::optional<fs::path>& catalogue_dir) {
    // The toolkit's own texts and gettext walk LANGUAGE for every look-up: a clean, short
    // list keeps start-up independent of what the variable holds.
    std::string languages;
    if (const char* language = std::getenv("LANGUAGE")) {
        languages = normalise_language_list(language);
        if (languages.empty())
            unsetenv("LANGUAGE");
        else
            setenv("LANGUAGE", languages.c_str(), 1);
    }
    std::setlocale(LC_ALL, "");
    catalogue.clear();
    if (!catalogue_dir)
        return;
    // The language follows the names the user asked for, whether or not the C library has
    // that locale: an English reader without fr_FR generated still asked for no Japanese.
    const std::string locale = requested_messages_locale(std::getenv);
    std::optional<fs::path> file;
    const std::string chosen = choose_catalogue_language(locale, languages, [&](const auto& entry) {
        file = catalogue_file(*catalogue_dir, entry);
        return file.has_value();
    });
    if (chosen.empty())
        return;
    if (chosen == "en")
        file = *catalogue_dir / "en" / "LC_MESSAGES" / (std::string(kDomain) + ".mo");
    const BoundedRead read = read_bounded_file(file->string(), kLargestCatalogue);
    std::string problem = read.problem;
    if (problem.empty())
        problem = read_catalogue(read.text, catalogue);
    if (problem.empty() && catalogue.empty())
        problem = "it holds no texts";
    if (!problem.empty()) {
        catalogue.clear();
        std::cerr << "lumitra: English texts unavailable: " << file->string() << ": " << problem
                  << std::endl;
    }
}

std::string translated(const std::string& japanese) {
    const auto found = catalogue.find(japanese);
    return found != catalogue.end() ? found->second : japanese;
}
