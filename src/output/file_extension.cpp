#include "output/file_extension.h"

#include <algorithm>
#include <vector>

#include "output/png_writer.h"
#include "output/still_writers.h"

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

constexpr std::string_view kPpmNames[] = {"ppm", "pnm"};
constexpr std::string_view kBmpNames[] = {"bmp"};
constexpr std::string_view kJpegNames[] = {"jpg", "jpeg"};
constexpr std::string_view kPngNames[] = {"png"};
constexpr std::string_view kMpegNames[] = {"mpg", "mpeg"};
constexpr std::string_view kMp4Names[] = {"mp4"};
constexpr std::string_view kWebmNames[] = {"webm"};
constexpr std::string_view kGifNames[] = {"gif"};

// clang-format off
const FormatEntry kFormats[] = {
    {OutputFormat::kPpm, "PPM", kPpmNames, false, false, write_ppm, MovieEncoding::kNone, "",
     "a binary PPM picture"},
    {OutputFormat::kBmp, "BMP", kBmpNames, true, true, write_bmp, MovieEncoding::kNone, "",
     "an uncompressed 24-bit BMP"},
    {OutputFormat::kJpeg, "JPEG", kJpegNames, false, true, write_jpeg, MovieEncoding::kNone, "",
     "a JPEG (quality 75)"},
    {OutputFormat::kPng, "PNG", kPngNames, false, true, write_png, MovieEncoding::kNone, "",
     "an 8-bit RGB PNG with the same pixels as the BMP"},
    {OutputFormat::kMpeg, "MPEG-1", kMpegNames, false, true, nullptr, MovieEncoding::kPpmtompeg,
     "MPEG-1, encoded by ppmtompeg",
     "an MPEG-1 movie, made with\n.BR ppmtompeg (1)"},
    {OutputFormat::kMp4, "MP4", kMp4Names, false, true, nullptr, MovieEncoding::kEncoderModule,
     "H.264, for browsers and slide programs",
     "H.264 in 4:2:0 colour, which browsers and slide programs play"},
    {OutputFormat::kWebm, "WebM", kWebmNames, false, true, nullptr, MovieEncoding::kEncoderModule,
     "VP9, for web pages",
     "VP9, for web pages"},
    {OutputFormat::kGif, "GIF", kGifNames, false, true, nullptr, MovieEncoding::kEncoderModule,
     "animated GIF that loops forever, one palette made for the movie",
     "an animated GIF that loops forever, with one palette made from the colours of all its\n"
     "frames and dithered so that the interference colours do not band"},
};
// clang-format on

const FormatEntry* entry_of(OutputFormat format) {
    for (const FormatEntry& entry : kFormats)
        if (entry.format == format)
            return &entry;
    return nullptr;
}

bool in_set(const FormatEntry& entry, FormatSet set, EncoderNeed need = EncoderNeed::kAny) {
    if (need != EncoderNeed::kAny &&
        needs_movie_encoders(entry.format) != (need == EncoderNeed::kMovieEncoders))
        return false;
    return set == FormatSet::kRenderer || entry.window_saves;
}

}  // namespace

std::span<const FormatEntry> output_formats() {
    return kFormats;
}

OutputFormat output_format(std::optional<std::string_view> extension, FormatSet set) {
    for (const FormatEntry& entry : kFormats) {
        if (!in_set(entry, set))
            continue;
        if (!extension && entry.default_format)
            return entry.format;
        if (extension)
            for (std::string_view name : entry.extensions)
                if (equals_ignoring_case(*extension, name))
                    return entry.format;
    }
    return OutputFormat::kUnsupported;
}

MovieEncoding movie_encoding(OutputFormat format) {
    const FormatEntry* entry = entry_of(format);
    return entry != nullptr ? entry->movie : MovieEncoding::kNone;
}

bool is_movie(OutputFormat format) {
    return movie_encoding(format) != MovieEncoding::kNone;
}

bool needs_movie_encoders(OutputFormat format) {
    return movie_encoding(format) == MovieEncoding::kEncoderModule;
}

StillWriter still_writer(OutputFormat format) {
    const FormatEntry* entry = entry_of(format);
    return entry != nullptr ? entry->still : nullptr;
}

std::string spoken_list(std::span<const std::string> items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        text += i == 0 ? "" : i + 1 == items.size() ? " or " : ", ";
        text += items[i];
    }
    return text;
}

std::string accepted_extensions(FormatSet set, EncoderNeed need) {
    std::vector<std::string> names;
    for (const bool window : {true, false})
        for (const FormatEntry& entry : kFormats)
            if (entry.window_saves == window && in_set(entry, set, need))
                for (std::string_view name : entry.extensions)
                    names.push_back(std::string(".").append(name));
    return spoken_list(names);
}
