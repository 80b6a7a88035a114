#include "model/symbol_letters.h"

namespace {

// The Symbol font's letter keys, A..Z then a..z. J, V, j and v hold the variant forms the
// font puts there (ϑ, ς, ϕ, ϖ).
// clang-format off
constexpr const char* kUpper[26] = {
    "Α", "Β", "Χ", "Δ", "Ε", "Φ", "Γ", "Η", "Ι", "ϑ", "Κ", "Λ", "Μ",
    "Ν", "Ο", "Π", "Θ", "Ρ", "Σ", "Τ", "Υ", "ς", "Ω", "Ξ", "Ψ", "Ζ"};
constexpr const char* kLower[26] = {
    "α", "β", "χ", "δ", "ε", "φ", "γ", "η", "ι", "ϕ", "κ", "λ", "μ",
    "ν", "ο", "π", "θ", "ρ", "σ", "τ", "υ", "ϖ", "ω", "ξ", "ψ", "ζ"};
// clang-format on

}  // namespace

std::string symbol_letters_to_greek(std::string_view latin) {
    std::string greek;
    greek.reserve(latin.size() * 2);
    for (char c : latin) {
        if (c >= 'A' && c <= 'Z') {
            greek += kUpper[c - 'A'];
        } else if (c >= 'a' && c <= 'z') {
            greek += kLower[c - 'a'];
        } else {
            greek += c;
        }
    }
    return greek;
}
