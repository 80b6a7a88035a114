// Greek letters written the way the Symbol font spells them: a Latin letter stands for the
// Greek letter at the same key ("q" θ, "f" φ, "D" Δ, "w" ω, "e" ε, "a" α, "g" γ).
#pragma once

#include <string>
#include <string_view>

// Returns the UTF-8 text with every Latin letter replaced by its Greek counterpart in the
// Symbol font layout; blanks, digits and punctuation stay as they are.
std::string symbol_letters_to_greek(std::string_view latin);
