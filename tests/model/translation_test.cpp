#include "model/translation.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/expected_texts.h"
#include "support/files.h"
#include "support/japanese_text.h"
#include "support/sjis_conversion.h"

namespace {

namespace fs = std::filesystem;

// The catalogues this build ships: English only.
bool english_only(const std::string& entry) {
    return entry.rfind("en", 0) == 0 && (entry.size() == 2 || entry[2] == '_' || entry[2] == '.');
}

// The body of a C string literal, escapes resolved (octal, \n, \", \\).
std::string unescape_c(const std::string& body) {
    std::string bytes;
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (body[i] != '\\') {
            bytes += body[i];
            continue;
        }
        const char next = body[++i];
        if (next >= '0' && next <= '7') {
            int value = 0;
            for (int digits = 0; digits < 3 && i < body.size() && body[i] >= '0' && body[i] <= '7';
                 ++digits, ++i)
                value = value * 8 + (body[i] - '0');
            --i;
            bytes += static_cast<char>(value);
        } else {
            bytes += next == 'n' ? '\n' : next;
        }
    }
    return bytes;
}

// Every text constant of the program, read from its source rather than from a list someone
// must remember to extend: name and UTF-8 reading.
std::map<std::string, std::string> program_texts() {
    const std::string source = read_text(LUMITRA_SOURCE_DIR "/src/model/texts.h");
    const std::regex constant(
        R"re(inline constexpr char (\w+)\[\] = ((?:"(?:[^"\\]|\\.)*"\s*)+);)re");
    const std::regex literal(R"re("((?:[^"\\]|\\.)*)")re");
    std::map<std::string, std::string> texts;
    for (std::sregex_iterator it(source.begin(), source.end(), constant), end; it != end; ++it) {
        const std::string literals = (*it)[2];
        std::string sjis;
        for (std::sregex_iterator piece(literals.begin(), literals.end(), literal); piece != end;
             ++piece)
            sjis += unescape_c((*piece)[1]);
        texts[(*it)[1]] = iconv_sjis_to_utf8(sjis);
    }
    return texts;
}

// msgid -> msgstr of a .po file, the header left out.
std::map<std::string, std::string> read_po(const std::string& path) {
    std::map<std::string, std::string> entries;
    std::string id, str, *filling = nullptr;
    auto finish = [&] {
        if (!id.empty())
            entries[id] = str;
        id.clear();
        str.clear();
    };
    const std::regex quoted(R"re(^(msgid |msgstr )?"((?:[^"\\]|\\.)*)"\s*$)re");
    std::string text = read_text(path);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        std::smatch match;
        if (!std::regex_match(line, match, quoted)) {
            continue;
        }
        if (match[1] == "msgid ") {
            finish();
            filling = &id;
        } else if (match[1] == "msgstr ") {
            filling = &str;
        }
        if (filling != nullptr)
            *filling += unescape_c(match[2]);
    }
    finish();
    return entries;
}

}  // namespace

TEST(Translation, LanguageFollowsGettextsRulesWithJapaneseForCAndEnglishAsTheFallback) {
    struct Case {
        const char* locale;
        const char* language;
        const char* expected;  // "" for the Japanese keys
    };
    const Case cases[] = {
        {"C", "", ""},
        {"C", "en:de", ""},  // gettext translates nothing in C, whatever LANGUAGE says
        {"C.UTF-8", "en", ""},
        {"POSIX", "", ""},
        {"ja_JP.UTF-8", "", ""},
        {"ja_JP.eucJP", "", ""},
        {"en_US.UTF-8", "", "en_US.UTF-8"},
        {"en_GB.UTF-8", "", "en_GB.UTF-8"},
        {"de_DE.UTF-8", "", "en"},
        {"de_DE.UTF-8", "fr:de", "en"},
        {"de_DE.UTF-8", "fr::ja:en", ""},      // Japanese is preferred to English
        {"ja_JP.UTF-8", "de:en_GB", "en_GB"},  // LANGUAGE first, as in gettext
        {"ja_JP.UTF-8", "fr", "en"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(choose_catalogue_language(c.locale, c.language, english_only), c.expected)
            << c.locale << " LANGUAGE=" << c.language;
}

TEST(Translation, TheTemplateAndTheEnglishCatalogueHoldEveryTextOfTheProgram) {
    const std::map<std::string, std::string> texts = program_texts();
    ASSERT_GE(texts.size(), 50u) << "texts.h no longer reads as expected";
    std::set<std::string> expected_readings;
    for (const ExpectedText& text : expected_texts)
        expected_readings.insert(text.utf8);

    const auto pot = read_po(LUMITRA_SOURCE_DIR "/po/lumitra.pot");
    const auto english = read_po(LUMITRA_SOURCE_DIR "/po/en.po");
    std::set<std::string> keys;
    for (const auto& [name, japanese] : texts) {
        keys.insert(japanese);
        EXPECT_TRUE(expected_readings.count(japanese)) << name << " has no expected reading";
        EXPECT_TRUE(pot.count(japanese)) << name << " is missing from po/lumitra.pot";
        const auto entry = english.find(japanese);
        if (entry == english.end()) {
            ADD_FAILURE() << name << " has no English text";
            continue;
        }
        const std::string& text = entry->second;
        EXPECT_FALSE(text.empty()) << name;
        EXPECT_FALSE(has_japanese(text)) << name << ": " << text;
        EXPECT_EQ(placeholders(text), placeholders(japanese)) << name << ": " << text;
        // Trailing blanks space a label from its spin button.
        EXPECT_EQ(text.size() - text.find_last_not_of(' ') - 1,
                  japanese.size() - japanese.find_last_not_of(' ') - 1)
            << name << ": \"" << text << "\"";
    }
    for (const auto& [key, text] : pot)
        EXPECT_TRUE(keys.count(key)) << "po/lumitra.pot holds a text the program lost: " << key;
    for (const auto& [key, text] : english)
        EXPECT_TRUE(keys.count(key)) << "po/en.po holds a text the program lost: " << key;
}

TEST(Translation, LanguageListKeepsLanguageNamesOnceAndAtMostAFewDozen) {
    std::string long_list, distinct;
    for (int i = 0; i < 15000; ++i)
        long_list += i % 2 ? "de:" : "xx:";
    for (char a = 'a'; a <= 'z'; ++a)
        distinct += std::string{a, a, ':'};
    for (const auto& [given, kept] : std::vector<std::pair<std::string, std::string>>{
             {"fr:de_DE:en_GB.UTF-8:sr@latin", "fr:de_DE:en_GB.UTF-8:sr@latin"},
             {"de::de:C:POSIX:/etc/x:../x:english:e:de_de:de_DE.:en", "de:en"},
             {long_list + "fr", "xx:de:fr"},
             {distinct + distinct, distinct.substr(0, 3 * 26 - 1)}})
        EXPECT_EQ(normalise_language_list(given), kept) << given.substr(0, 60);
}

// The built catalogue, and the same with one 32-bit word replaced (msgfmt writes this
// machine's little-endian order).
TEST(Translation, CatalogueIsCheckedToTheLastOffsetBeforeItIsUsed) {
    const std::string built = read_text(LUMITRA_ENGLISH_CATALOGUE);
    const auto word = [&](std::size_t at) {
        std::uint32_t w = 0;
        for (std::size_t i = 0; i < 4; ++i)
            w |= std::uint32_t(std::uint8_t(built[at + i])) << (8 * i);
        return w;
    };
    const auto with = [&](std::size_t at, std::uint32_t w) {
        std::string bytes = built;
        for (std::size_t i = 0; i < 4; ++i)
            bytes[at + i] = char(w >> (8 * i));
        return bytes;
    };
    const std::uint32_t size = std::uint32_t(built.size());
    const std::size_t last_text = word(16) + 8 * (word(8) - 1);
    const std::pair<const char*, std::string> faults[] = {
        {"empty", ""},
        {"header cut short", built.substr(0, 20)},
        {"not a catalogue", std::string(built.size(), 'x')},
        {"count beyond the file", with(8, size)},
        {"key table beyond the file", with(12, size - 4)},
        {"key offset beyond the file", with(word(12) + 4, size + 100)},
        {"text length past the end", with(last_text, size)},
        {"text offset wrapping round", with(last_text + 4, 0xffffffffu)},
        {"cut in the last string", built.substr(0, built.size() - 1)},
    };
    for (const auto& [fault, bytes] : faults) {
        std::unordered_map<std::string, std::string> texts = {{"kept", "as it was"}};
        EXPECT_NE(read_catalogue(bytes, texts), "") << fault;
        EXPECT_EQ(texts.size(), 1u) << fault;
    }
    std::unordered_map<std::string, std::string> texts;
    ASSERT_EQ(read_catalogue(built, texts), "");
    const auto english = read_po(LUMITRA_SOURCE_DIR "/po/en.po");
    const std::map<std::string, std::string> read(texts.begin(), texts.end());
    EXPECT_EQ(read, english);
}

// Start-up with the catalogue in a folder of the test's own and only LANG or LC_ALL set.
TEST(Translation, StartUpGivesEnglishForAnyOtherLocaleOrSaysOnceWhyNot) {
    const fs::path folder = fs::temp_directory_path() / ("lumitra-" + std::to_string(getpid()));
    const fs::path catalogue = folder / "en/LC_MESSAGES/lumitra.mo";
    fs::create_directories(catalogue.parent_path());
    const std::string built = read_text(LUMITRA_ENGLISH_CATALOGUE);
    struct Case {
        const char* variable;
        const char* locale;
        std::optional<std::string> bytes;  // none: no file, "FIFO": a FIFO in its place
        bool english;
    };
    std::string offset_beyond = built;
    offset_beyond[16] = '\x7f';  // the text table far beyond the end
    const Case cases[] = {
        {"LANG", "fr_FR.UTF-8", built, true},  // not installed on the test machines
        {"LC_ALL", "garbage", built, true},        {"LANG", "ja_JP.UTF-8", built, false},
        {"LANG", "en_US.UTF-8", "FIFO", false},    {"LANG", "en_US.UTF-8", std::nullopt, false},
        {"LANG", "en_US.UTF-8", "garbage", false}, {"LANG", "en_US.UTF-8", offset_beyond, false},
    };
    for (const Case& c : cases) {
        fs::remove(catalogue);
        if (c.bytes == "FIFO") {
            mkfifo(catalogue.c_str(), 0600);
        } else if (c.bytes) {
            std::ofstream(catalogue, std::ios::binary) << *c.bytes;
        }
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"})
            unsetenv(name);
        setenv(c.variable, c.locale, 1);
        ::testing::internal::CaptureStderr();
        start_translation(folder);
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(translated("終了") != "終了", c.english) << c.locale << " " << said;
        const bool japanese_asked = std::string(c.locale).rfind("ja", 0) == 0;
        EXPECT_EQ(said.rfind("lumitra: English texts unavailable: " + catalogue.string(), 0) == 0,
                  !c.english && !japanese_asked)
            << said;
        EXPECT_LE(std::count(said.begin(), said.end(), '\n'), 1);
    }
    unsetenv("LC_ALL");
    start_translation(std::nullopt);
    fs::remove_all(folder);
}
