#include <gtest/gtest.h>

#include <string>

#include "model/expected_texts.h"
#include "support/sjis_conversion.h"

TEST(Texts, EveryConstantConvertsToItsJapaneseText) {
    for (const auto& text : expected_texts) {
        EXPECT_EQ(iconv_sjis_to_utf8(text.sjis), text.utf8);
    }
}

// One full stop in Japanese: the ASCII "." the messages end with. The two progress messages
// keep the full-width stop they have always shown, byte for byte.
TEST(Texts, JapaneseSentencesEndWithOneKindOfFullStop) {
    for (const auto& text : expected_texts) {
        const std::string utf8 = text.utf8;
        const bool kept = text.sjis == texts::enlarging || text.sjis == texts::creating_mpeg;
        EXPECT_EQ(utf8.find("。"), std::string::npos) << utf8;
        if (!kept) {
            EXPECT_EQ(utf8.find("．"), std::string::npos) << utf8;
        }
    }
}
