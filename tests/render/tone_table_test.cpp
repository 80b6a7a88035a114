#include "render/tone_table.h"

#include <gtest/gtest.h>

namespace {

constexpr float kEncodingGamma = 2.4f;
constexpr float kReferenceLight = 3.7f;  // any L0: only L / L0 matters

TEST(ToneTable, AtReferenceLightAndEncodingGammaLevelsScaleTo255) {
    const ToneTable table =
        build_tone_table(2.4f, kReferenceLight, kEncodingGamma, kReferenceLight);
    for (int level = 0; level < 255; ++level)
        EXPECT_EQ(table[level], 255 * level / 254) << level;
    EXPECT_EQ(table[0], 0);
    EXPECT_EQ(table[127], 127);
    EXPECT_EQ(table[254], 255);
}

TEST(ToneTable, GammaTenLiftsTheDarkLevels) {
    const ToneTable table =
        build_tone_table(10.0f, kReferenceLight, kEncodingGamma, kReferenceLight);
    EXPECT_EQ(table[1], 67);     // trunc(255 × (1/254)^0.24)
    EXPECT_EQ(table[127], 215);  // trunc(255 × 0.5^0.24)
}

TEST(ToneTable, NoLightIsBlackOnWhite) {
    const ToneTable table = build_tone_table(2.4f, 0.0f, kEncodingGamma, kReferenceLight);
    for (int level = 0; level < 255; ++level)
        EXPECT_EQ(table[level], 0) << level;
    EXPECT_EQ(table[255], 255);
}

TEST(ToneTable, MoreLightSaturatesAndOutsideStaysWhite) {
    const ToneTable bright =
        build_tone_table(2.4f, 2 * kReferenceLight, kEncodingGamma, kReferenceLight);
    EXPECT_EQ(bright[254], 255);
    EXPECT_EQ(bright[240], 255);  // (240/254) × 2^(1/2.4) > 1
    EXPECT_LT(bright[100], 255);
    for (float gamma : {1.0f, 2.4f, 10.0f})
        for (float light : {0.0f, kReferenceLight, 7.3f})
            EXPECT_EQ(build_tone_table(gamma, light, kEncodingGamma, kReferenceLight)[255], 255);
}

}  // namespace
