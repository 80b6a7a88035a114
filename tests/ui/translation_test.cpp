#include "ui/translation.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "model/expected_texts.h"
#include "support/files.h"
#include "support/japanese_text.h"
#include "support/sjis_conversion.h"

namespace {

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
std::map<std::string, std::string> read_catalogue(const std::string& path) {
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

    const auto pot = read_catalogue(LUMITRA_SOURCE_DIR "/po/lumitra.pot");
    const auto english = read_catalogue(LUMITRA_SOURCE_DIR "/po/en.po");
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
