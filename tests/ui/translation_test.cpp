#include "ui/translation.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
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
    struct Case {
        std::string given;
        std::string passed_on;
    };
    std::string long_list;
    for (int i = 0; i < 15000; ++i)
        long_list += (i % 2 ? "de:" : "xx:");
    long_list += "fr";
    const Case cases[] = {
        {"", ""},
        {"fr:de_DE:en_GB.UTF-8:sr@latin:pt_BR.utf8@euro",
         "fr:de_DE:en_GB.UTF-8:sr@latin:pt_BR.utf8@euro"},
        {"de::de:fr:de", "de:fr"},
        {"C:POSIX:/etc/passwd:../../x:english:e:de_de:de_DE.:en", "en"},
        {long_list, "xx:de:fr"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(normalise_language_list(c.given), c.passed_on) << c.given.substr(0, 60);
    std::string distinct;
    for (char a = 'a'; a <= 'z'; ++a)
        for (char b = 'a'; b <= 'z'; ++b)
            distinct += std::string{a, b} + ":";
    const std::string kept = normalise_language_list(distinct);
    EXPECT_EQ(std::count(kept.begin(), kept.end(), ':') + 1, 32);
    EXPECT_EQ(kept.substr(0, 8), "aa:ab:ac");
}

TEST(Translation, RequestedLocaleIsReadLikeGettextWhetherInstalledOrNot) {
    struct Case {
        std::map<std::string, std::string> set;
        const char* requested;
        const char* language;  // "" Japanese, else the catalogue chosen
    };
    const Case cases[] = {
        {{}, "C", ""},
        {{{"LANG", "fr_FR.UTF-8"}}, "fr_FR.UTF-8", "en"},
        {{{"LC_ALL", "garbage"}, {"LANG", "ja_JP.UTF-8"}}, "garbage", "en"},
        {{{"LC_ALL", ""}, {"LC_MESSAGES", "ja_JP.UTF-8"}, {"LANG", "de_DE.UTF-8"}},
         "ja_JP.UTF-8",
         ""},
        {{{"LC_MESSAGES", ""}, {"LANG", "POSIX"}}, "POSIX", ""},
    };
    for (const Case& c : cases) {
        const std::string requested = requested_messages_locale([&](const char* name) {
            const auto found = c.set.find(name);
            return found != c.set.end() ? found->second.c_str() : nullptr;
        });
        EXPECT_EQ(requested, c.requested);
        EXPECT_EQ(choose_catalogue_language(requested, "", english_only), c.language) << requested;
    }
}

namespace {

// The built English catalogue with one 32-bit word of it replaced (little-endian, as msgfmt
// writes on this machine).
std::string with_word(std::string bytes, std::size_t at, std::uint32_t word) {
    for (int i = 0; i < 4; ++i)
        bytes[at + std::size_t(i)] = static_cast<char>(word >> (8 * i));
    return bytes;
}
std::uint32_t word_of(const std::string& bytes, std::size_t at) {
    std::uint32_t word = 0;
    for (int i = 0; i < 4; ++i)
        word |= std::uint32_t(static_cast<std::uint8_t>(bytes[at + std::size_t(i)])) << (8 * i);
    return word;
}

// The same catalogue in the other byte order: every word of the header and both tables.
std::string byte_swapped(std::string bytes) {
    const std::size_t count = word_of(bytes, 8);
    std::vector<std::size_t> words = {0, 4, 8, 12, 16, 20, 24};
    for (std::size_t table : {std::size_t(word_of(bytes, 12)), std::size_t(word_of(bytes, 16))})
        for (std::size_t k = 0; k < 2 * count; ++k)
            words.push_back(table + 4 * k);
    for (std::size_t at : words)
        std::reverse(bytes.begin() + std::ptrdiff_t(at), bytes.begin() + std::ptrdiff_t(at) + 4);
    return bytes;
}

}  // namespace

TEST(Translation, CatalogueIsCheckedToTheLastOffsetBeforeItIsUsed) {
    const std::string built = read_text(LUMITRA_ENGLISH_CATALOGUE);
    ASSERT_GT(built.size(), 28u);
    const auto english = read_po(LUMITRA_SOURCE_DIR "/po/en.po");
    const std::size_t count = word_of(built, 8);
    const std::size_t originals = word_of(built, 12);
    const std::size_t translations = word_of(built, 16);
    const std::uint32_t size = static_cast<std::uint32_t>(built.size());
    const std::size_t last_text = translations + 8 * (count - 1);
    struct Case {
        const char* fault;
        std::string bytes;
        bool usable;
    };
    std::string no_nul = built;
    no_nul[word_of(built, last_text + 4) + word_of(built, last_text)] = 'x';
    const Case cases[] = {
        {"as built", built, true},
        {"other byte order", byte_swapped(built), true},
        {"empty", "", false},
        {"header cut short", built.substr(0, 20), false},
        {"not a catalogue", std::string(built.size(), 'x'), false},
        {"unknown revision", with_word(built, 4, 0x20000), false},
        {"count beyond the file", with_word(built, 8, size), false},
        {"key table beyond the file", with_word(built, 12, size - 4), false},
        {"text table beyond the file", with_word(built, 16, 0xfffffff0u), false},
        {"key offset beyond the file", with_word(built, originals + 4, size + 100), false},
        {"text length past the end", with_word(built, last_text, size), false},
        {"text offset wrapping round", with_word(built, last_text + 4, 0xffffffffu), false},
        {"text without its NUL", no_nul, false},
        {"cut in the strings", built.substr(0, built.size() - 3), false},
    };
    for (const Case& c : cases) {
        std::unordered_map<std::string, std::string> texts = {{"kept", "as it was"}};
        const std::string problem = read_catalogue(c.bytes, texts);
        EXPECT_EQ(problem.empty(), c.usable) << c.fault << ": " << problem;
        if (!c.usable) {
            EXPECT_EQ(texts.size(), 1u) << c.fault;
            continue;
        }
        EXPECT_EQ(texts.size(), english.size()) << c.fault;
        for (const auto& [key, text] : english)
            EXPECT_EQ(texts[key], text) << c.fault;
    }
}

namespace {

// Start-up with the catalogue folder given and only these locale variables set; what it
// wrote on standard error. The texts are Japanese again afterwards.
class StartUp : public ::testing::Test {
  protected:
    static constexpr const char* kVariables[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
    void SetUp() override {
        for (const char* name : kVariables)
            if (const char* value = std::getenv(name))
                saved_[name] = value;
        std::string pattern = (std::filesystem::temp_directory_path() / "lumitra-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        std::filesystem::create_directories(catalogue().parent_path());
    }
    void TearDown() override {
        for (const char* name : kVariables)
            unsetenv(name);
        for (const auto& [name, value] : saved_)
            setenv(name.c_str(), value.c_str(), 1);
        start_translation(std::nullopt);
        std::filesystem::remove_all(folder_);
    }
    std::filesystem::path catalogue() const { return folder_ / "en/LC_MESSAGES/lumitra.mo"; }
    std::string start(const std::map<std::string, std::string>& variables) {
        for (const char* name : kVariables)
            unsetenv(name);
        for (const auto& [name, value] : variables)
            setenv(name.c_str(), value.c_str(), 1);
        ::testing::internal::CaptureStderr();
        start_translation(folder_);
        return ::testing::internal::GetCapturedStderr();
    }
    std::filesystem::path folder_;
    std::map<std::string, std::string> saved_;
};

}  // namespace

TEST_F(StartUp, UnusableCatalogueIsToldOnceAndTheTextsStayJapanese) {
    const std::string built = read_text(LUMITRA_ENGLISH_CATALOGUE);
    const std::string quit_english = read_po(LUMITRA_SOURCE_DIR "/po/en.po").at("終了");
    struct Case {
        const char* catalogue;  // "fifo", "none" or the bytes' name
        std::optional<std::string> bytes;
        const char* quit;
    };
    std::string bad_offset = built;
    bad_offset[16] = '\x7f';  // the text table far beyond the end
    const Case cases[] = {
        {"as built", built, quit_english.c_str()},
        {"fifo", std::nullopt, "終了"},
        {"none", std::nullopt, "終了"},
        {"empty", "", "終了"},
        {"garbage", std::string(500, 'g'), "終了"},
        {"bad offset", bad_offset, "終了"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(catalogue());
        if (std::string(c.catalogue) == "fifo") {
            ASSERT_EQ(mkfifo(catalogue().c_str(), 0644), 0);
        } else if (c.bytes) {
            std::ofstream(catalogue(), std::ios::binary) << *c.bytes;
        }
        const auto began = std::chrono::steady_clock::now();
        const std::string said = start({{"LANG", "en_US.UTF-8"}});
        EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(2)) << c.catalogue;
        EXPECT_EQ(translated("終了"), c.quit) << c.catalogue;
        const bool usable = std::string(c.quit) != "終了";
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), usable ? 0 : 1) << said;
        if (!usable) {
            EXPECT_EQ(said.rfind("lumitra: English texts unavailable: " + catalogue().string(), 0),
                      0u)
                << said;
        }
    }
}

TEST_F(StartUp, LocalesNotInstalledAndLongLanguageListsStillGiveEnglishAtOnce) {
    std::ofstream(catalogue(), std::ios::binary) << read_text(LUMITRA_ENGLISH_CATALOGUE);
    std::string long_list;
    for (int i = 0; i < 15000; ++i)
        long_list += "de_DE:fr:";
    struct Case {
        std::map<std::string, std::string> variables;
        bool english;
    };
    const Case cases[] = {
        {{{"LANG", "fr_FR.UTF-8"}}, true},  // not generated on the test machines
        {{{"LC_ALL", "garbage"}}, true},
        {{{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", long_list}}, true},
        {{{"LANG", "ja_JP.UTF-8"}}, false},
        {{{"LC_ALL", "C"}, {"LANGUAGE", "en"}}, false},
    };
    for (const Case& c : cases) {
        const auto began = std::chrono::steady_clock::now();
        EXPECT_EQ(start(c.variables), "");
        EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::milliseconds(500));
        EXPECT_EQ(translated("終了") != "終了", c.english) << c.variables.begin()->second;
        const char* language = std::getenv("LANGUAGE");
        EXPECT_LE(language != nullptr ? std::string(language).size() : 0u, 100u);
    }
}
