#include "ui/translation.h"

#include <libintl.h>

#include <clocale>
#include <cstdlib>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr char kDomain[] = "lumitra";

bool translating = false;

// The language part of a locale name (ll of ll_TT.codeset@modifier).
std::string_view language_of(std::string_view name) {
    return name.substr(0, name.find_first_of("_.@"));
}

// gettext ignores LANGUAGE and translates nothing in these.
bool is_c_locale(std::string_view name) {
    return name.empty() || name == "POSIX" || language_of(name) == "C";
}

// The names gettext looks a catalogue up under for one list entry, most specific first.
bool catalogue_exists(const fs::path& folder, const std::string& entry) {
    const std::string_view name = entry;
    const std::string_view language_territory = name.substr(0, name.find_first_of(".@"));
    std::error_code error;
    for (std::string_view candidate : {name, language_territory, language_of(name)}) {
        const fs::path file =
            folder / std::string(candidate) / "LC_MESSAGES" / (std::string(kDomain) + ".mo");
        if (fs::is_regular_file(file, error))
            return true;
    }
    return false;
}

}  // namespace

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

void start_translation(const std::optional<fs::path>& catalogue_dir) {
    std::setlocale(LC_ALL, "");
    translating = false;
    if (!catalogue_dir)
        return;
    const char* locale = std::setlocale(LC_MESSAGES, nullptr);
    const char* language = std::getenv("LANGUAGE");
    const std::string chosen = choose_catalogue_language(
        locale != nullptr ? locale : "", language ? language : "",
        [&](const std::string& entry) { return catalogue_exists(*catalogue_dir, entry); });
    if (chosen.empty())
        return;
    // gettext walks the same list and stops at the first catalogue it finds; English, the
    // fallback, goes at the list's end, where the toolkit's own texts never reach it before
    // the catalogue of the user's language.
    if (chosen == "en") {
        const std::string list = language != nullptr && *language != '\0' ? language : locale;
        setenv("LANGUAGE", (list + ":en").c_str(), 1);
    }
    bindtextdomain(kDomain, catalogue_dir->c_str());
    bind_textdomain_codeset(kDomain, "UTF-8");
    translating = true;
}

std::string translated(const std::string& japanese) {
    if (!translating || japanese.empty())
        return japanese;
    return dgettext(kDomain, japanese.c_str());
}
