// The program's texts in the user's language. The Japanese texts are the catalogue's keys:
// Japanese is shown for a Japanese locale and for C/POSIX (no catalogue is consulted), a
// language with a catalogue of its own is shown in it, and every other language gets English.
// The language follows the locale names asked for, installed or not; the catalogue is read
// and checked by the program itself, and one that cannot be used leaves the texts Japanese
// with one line on standard error.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

// The catalogue language for a user whose LC_MESSAGES locale is messages_locale and whose
// LANGUAGE variable holds language_list (a colon-separated list, possibly empty): the first
// entry that is Japanese (then "", the keys themselves) or has a catalogue; "en" when none
// does. As in gettext, LANGUAGE counts only outside the C and POSIX locales.
std::string choose_catalogue_language(std::string_view messages_locale,
                                      std::string_view language_list,
                                      const std::function<bool(const std::string&)>& has_catalogue);

// LANGUAGE as the program passes it on: only entries that are language names (ll, lll,
// ll_TT, with .codeset or @modifier), each once, at most a few dozen, in their order.
std::string normalise_language_list(std::string_view list);

// The LC_MESSAGES locale name the user asked for, as gettext reads it: LC_ALL, else
// LC_MESSAGES, else LANG (empty values skipped), else "C". variable reads one by name.
std::string requested_messages_locale(const std::function<const char*(const char*)>& variable);

// Reads a compiled message catalogue (.mo, either byte order) into texts: key -> text, the
// header left out. Every table and string is checked to lie within the bytes, each string
// followed by its NUL. Returns why the bytes are no usable catalogue (texts then unchanged),
// or an empty string.
std::string read_catalogue(std::string_view bytes,
                           std::unordered_map<std::string, std::string>& texts);

// Sets the locale from the environment and chooses the language of the texts, with the
// catalogues under catalogue_dir (PREFIX/share/locale or the build tree's). Without a folder
// the texts stay Japanese. Called once at start-up, before the first text is shown.
void start_translation(const std::optional<std::filesystem::path>& catalogue_dir);

// The text for a Japanese UTF-8 key in the chosen language; the key itself, byte for byte,
// when the language is Japanese or the catalogue lacks it.
std::string translated(const std::string& japanese);
