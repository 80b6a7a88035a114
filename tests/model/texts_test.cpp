#include <gtest/gtest.h>

#include "model/expected_texts.h"
#include "support/sjis_conversion.h"

TEST(Texts, EveryConstantConvertsToItsJapaneseText) {
    for (const auto& text : expected_texts) {
        EXPECT_EQ(iconv_sjis_to_utf8(text.sjis), text.utf8);
    }
}
