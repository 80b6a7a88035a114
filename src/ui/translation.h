// The program's texts in the user's language. The Japanese texts are the catalogue's keys:
// Japanese is shown for a Japanese locale and for C/POSIX (no catalogue is consulted), a
// language with a catalogue of its own is shown in it, and every other language gets English.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The catalogue language for a user whose LC_MESSAGES locale is messages_locale and whose
// LANGUAGE variable holds language_list (a colon-separated list, possibly empty): the first
// entry that is Japanese (then "", the keys themselves) or has a catalogue; "en" when none
// does. As in gettext, LANGUAGE counts only outside the C and POSIX locales.
std::string choose_catalogue_language(std::string_view messages_locale,
                                      std::string_view language_list,
                                      const std::function<bool(const std::string&)>& has_catalogue);

// Sets the locale from the environment and chooses the language of the texts, with the
// catalogues under catalogue_dir (PREFIX/share/locale or the build tree's). Without a folder
// the texts stay Japanese. Called once at start-up, before the first text is shown.
void start_translation(const std::optional<std::filesystem::path>& catalogue_dir);

// The text for a Japanese UTF-8 key in the chosen language; the key itself, byte for byte,
// when the language is Japanese or the catalogue lacks it.
std::string translated(const std::string& japanese);
