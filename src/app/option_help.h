// What each field option of lumitra-render means, for --help: the meaning and unit of its
// value and the names of a switch's values. The ranges and defaults come from the controls
// and the start-up record, so only the words live here.
#pragma once

#include <span>
#include <string_view>

struct OptionHelp {
    std::string_view name;     // the option without its dashes
    std::string_view meaning;  // what the value sets
    std::string_view unit;     // empty for a plain number or a switch
    // A switch's values in ascending order, each named.
    std::span<const std::string_view> value_names = {};
};

// The words for an option, or nullptr for one the table lacks (a test keeps it complete).
const OptionHelp* option_help(std::string_view name);
