#include "app/render_settings.h"

#include <algorithm>
#include <charconv>

#include "model/bounded_read.h"
#include "optics/figure_buffer.h"

namespace {

// A settings file is a page of text; anything larger is not one.
constexpr std::size_t kLargestSettingsFile = std::size_t(1) << 20;

std::string shortest(float value) {
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value);
    return std::string(text, written.ptr);
}

// A word the shell takes as it stands; anything else goes in single quotes, a quote in it as
// '\'' (end the quotes, an escaped quote, quote again).
std::string shell_word(std::string_view word) {
    const bool plain = !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               std::string_view("-_./:=,+@%").find(c) != std::string_view::npos;
    });
    if (plain)
        return std::string(word);
    std::string quoted = "'";
    for (const char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::vector<OptionValue> render_settings(const RenderOptions& options) {
    std::vector<OptionValue> list = record_options(options.record);
    const RenderOptions start;
    if (options.frame != start.frame)
        list.push_back({"frame", std::to_string(options.frame)});
    if (options.light)
        list.push_back({"light", shortest(*options.light)});
    if (options.display_gamma != start.display_gamma)
        list.push_back({"display-gamma", shortest(options.display_gamma)});
    if (options.movie_size)
        list.push_back({"movie-size", std::to_string(*options.movie_size)});
    if (options.speed != start.speed)
        list.push_back({"speed", shortest(options.speed)});
    if (options.wedge_sweep)
        list.push_back({"wedge-sweep", shortest(options.wedge_sweep->first) + ":" +
                                           shortest(options.wedge_sweep->second)});
    if (options.antialias)
        list.push_back({"antialias", {}});
    return list;
}

std::vector<OptionValue> changed_settings(const std::vector<OptionValue>& settings) {
    const std::vector<OptionValue> start = record_options(parse_render_options({}).options->record);
    auto unchanged = [&](const OptionValue& option) {
        return std::any_of(start.begin(), start.end(), [&](const OptionValue& s) {
            return s.name == option.name && s.value == option.value;
        });
    };
    const bool axes_moved = std::any_of(settings.begin(), settings.end(), [&](const auto& o) {
        return o.orientation && !unchanged(o);
    });
    std::vector<OptionValue> changed;
    for (const OptionValue& option : settings)
        if (option.orientation ? axes_moved : !unchanged(option))
            changed.push_back(option);
    return changed;
}

std::string render_command(const std::vector<OptionValue>& settings, std::string_view out) {
    std::string command = "lumitra-render";
    for (const OptionValue& option : settings) {
        command.append(" --").append(option.name);
        if (!option.value.empty())
            command.append(" ").append(shell_word(option.value));
    }
    return command.append(" --out ").append(shell_word(out));
}

std::string settings_text(const std::vector<OptionValue>& settings) {
    std::string text =
        "# Lumitra settings: one lumitra-render option a line, as name=value; a line starting\n"
        "# with # is a comment. The window's Open settings reads them, and so does\n"
        "#   lumitra-render --settings FILE --out figure.png\n"
        "# where options after --settings FILE override the file's.\n";
    for (const OptionValue& option : settings)
        text += option.name + (option.value.empty() ? "" : "=" + option.value) + "\n";
    return text;
}

SettingsLines read_settings(std::string_view text, std::string_view file_name,
                            const MineralList& minerals) {
    SettingsLines lines;
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        ++number;
        if (line.empty() || line.front() == '#')
            continue;
        const std::size_t equals = line.find('=');
        std::string_view name = trimmed(line.substr(0, equals));
        if (name.substr(0, 2) == "--")
            name.remove_prefix(2);
        std::optional<std::string_view> value;
        if (equals != std::string_view::npos)
            value = trimmed(line.substr(equals + 1));
        if (std::string problem = check_single_option(name, value, minerals); !problem.empty()) {
            lines.report.push_back(std::string(file_name) + ":" + std::to_string(number) + ": " +
                                   problem);
            continue;
        }
        std::string argument = "--";
        argument.append(name);
        if (value)
            argument.append("=").append(*value);
        lines.arguments.push_back(std::move(argument));
    }
    return lines;
}

SettingsFile read_settings_file(const std::string& path, std::string_view shown_name,
                                const MineralList& minerals) {
    const BoundedRead read = read_bounded_file(path, kLargestSettingsFile);
    if (read.missing)
        return {{}, "no such file"};
    if (!read.problem.empty())
        return {{}, read.problem};
    return {read_settings(read.text, shown_name, minerals), {}};
}

ExpandedArguments expand_settings(std::span<const std::string_view> arguments,
                                  const MineralList& minerals) {
    ExpandedArguments expanded;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        std::optional<std::string_view> file;
        if (argument.substr(0, 11) == "--settings=")
            file = argument.substr(11);
        else if (argument == "--settings" && i + 1 < arguments.size())
            file = arguments[++i];
        else if (argument == "--settings")
            expanded.error = "--settings needs a file: --settings FILE";
        if (!file) {
            expanded.arguments.emplace_back(argument);
            continue;
        }
        const SettingsFile read = read_settings_file(std::string(*file), *file, minerals);
        if (!read.error.empty()) {
            expanded.error = "--settings " + std::string(*file) + ": " + read.error;
            return expanded;
        }
        const SettingsLines& lines = read.lines;
        expanded.arguments.insert(expanded.arguments.end(), lines.arguments.begin(),
                                  lines.arguments.end());
        expanded.report.insert(expanded.report.end(), lines.report.begin(), lines.report.end());
    }
    return expanded;
}
