#include "output/file_extension.h"

#include <algorithm>

std::optional<std::string_view> file_extension(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t component = slash == std::string_view::npos ? 0 : slash + 1;
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || dot < component)
        return std::nullopt;
    return path.substr(dot + 1);
}

namespace {

bool equals_ignoring_case(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

struct FormatName {
    std::string_view extension;
    OutputFormat format;
    bool window_saves;
};

// The one table of extensions. The window's Save keeps to its own three formats.
constexpr FormatName kFormatNames[] = {
    {"bmp", OutputFormat::kBmp, true},   {"jpg", OutputFormat::kJpeg, true},
    {"jpeg", OutputFormat::kJpeg, true}, {"mpg", OutputFormat::kMpeg, true},
    {"mpeg", OutputFormat::kMpeg, true}, {"ppm", OutputFormat::kPpm, false},
    {"pnm", OutputFormat::kPpm, false},  {"png", OutputFormat::kPng, false},
    {"mp4", OutputFormat::kMp4, false},  {"webm", OutputFormat::kWebm, false},
    {"gif", OutputFormat::kGif, false},
};

bool in_set(const FormatName& name, FormatSet set, EncoderNeed need = EncoderNeed::kAny) {
    if (need != EncoderNeed::kAny &&
        needs_movie_encoders(name.format) != (need == EncoderNeed::kMovieEncoders))
        return false;
    return set == FormatSet::kRenderer || name.window_saves;
}

}  // namespace

OutputFormat output_format(std::optional<std::string_view> extension, FormatSet set) {
    if (!extension)
        return OutputFormat::kBmp;
    for (const FormatName& name : kFormatNames)
        if (in_set(name, set) && equals_ignoring_case(*extension, name.extension))
            return name.format;
    return OutputFormat::kUnsupported;
}

bool is_movie(OutputFormat format) {
    return format == OutputFormat::kMpeg || format == OutputFormat::kMp4 ||
           format == OutputFormat::kWebm || format == OutputFormat::kGif;
}

bool needs_movie_encoders(OutputFormat format) {
    return format == OutputFormat::kMp4 || format == OutputFormat::kWebm ||
           format == OutputFormat::kGif;
}

std::string accepted_extensions(FormatSet set, EncoderNeed need) {
    std::string text;
    const FormatName* last = nullptr;
    for (const FormatName& name : kFormatNames) {
        if (!in_set(name, set, need))
            continue;
        if (last != nullptr)
            text += (text.empty() ? "." : ", .") + std::string(last->extension);
        last = &name;
    }
    if (last != nullptr)
        text += (text.empty() ? "." : " or .") + std::string(last->extension);
    return text;
}
