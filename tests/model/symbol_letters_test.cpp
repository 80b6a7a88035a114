#include "model/symbol_letters.h"

#include <gtest/gtest.h>

TEST(SymbolLetters, LabelsReadAsGreekWithTheirBlanks) {
    struct Case {
        const char* latin;
        const char* greek;
    };
    // The labels the panels write in the Symbol font, and how a reader sees them there.
    constexpr Case kCases[] = {
        {"q  ", "θ  "},   {"f  ", "φ  "}, {"Df  ", "Δφ  "},   {"w  ", "ω  "},
        {"e  ", "ε  "},   {"a  ", "α  "}, {"g  ", "γ  "},     {"", ""},
        {"2S W", "2Σ Ω"}, {"θ", "θ"},     {"1.5 :", "1.5 :"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(symbol_letters_to_greek(c.latin), c.greek) << c.latin;
    }
}
