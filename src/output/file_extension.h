// The extension of a chosen path, and the one table of output formats that every place
// reading an extension, offering a format or describing one takes its answer from.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The text after the last "." of the path's last component; nothing when that component
// has no "." ("old.dir/figure" has none). The result points into the path. A trailing "."
// gives an empty extension, which is not the same as none.
std::optional<std::string_view> file_extension(std::string_view path);

enum class OutputFormat { kBmp, kJpeg, kMpeg, kPpm, kPng, kMp4, kWebm, kGif, kUnsupported };

// Returns 1 when the whole file was written, 0 otherwise. Files are replaced the one safe
// way (output/replacement_file.h): on 0 the file that was at the path is untouched and
// nothing new is left there, errno holds the system's reason, and one line on standard
// error names the file and the cause.
using StillWriter = int (*)(const char* path, const std::uint8_t* rgb, int width, int height);

// What makes a movie's stream: ppmtompeg run as a child, or FFmpeg's encoders in the module
// that a run loads only when it needs them.
enum class MovieEncoding { kNone, kPpmtompeg, kEncoderModule };

struct FormatEntry {
    OutputFormat format;
    std::string_view name;                         // as --help names a still format
    std::span<const std::string_view> extensions;  // lower case, the usual one first
    bool default_format;                           // what a name without an extension writes
    bool window_saves;                             // offered by the figure window's Save too
    StillWriter still;                             // the writer of a still, else nullptr
    MovieEncoding movie;                           // the encoder of a movie, else kNone
    std::string_view summary;                      // a movie's line in --help
    std::string_view manual;                       // roff, after the extensions in the manual page
};

// Every format, stills first, in the order --help and the manual page describe them.
std::span<const FormatEntry> output_formats();

// Who writes the file: the figure window's Save writes every format but the PPM, which
// serves pipelines; lumitra-render writes them all.
enum class FormatSet { kWindow, kRenderer };

// The format an extension names within the set, letter case ignored; no extension is the
// default format. Everything else is unsupported.
OutputFormat output_format(std::optional<std::string_view> extension,
                           FormatSet set = FormatSet::kWindow);

// The encoder of a movie format; kNone for a still or an unsupported name.
MovieEncoding movie_encoding(OutputFormat format);

// Whether the format holds the whole animation rather than one frame.
bool is_movie(OutputFormat format);

// Whether the format is written by FFmpeg's encoders, which a run loads only when it needs
// them.
bool needs_movie_encoders(OutputFormat format);

// The writer of a still format; nullptr for a movie or an unsupported name.
StillWriter still_writer(OutputFormat format);

// Which formats a list names: all of them, only those FFmpeg's encoders write, or the others.
enum class EncoderNeed { kAny, kMovieEncoders, kWithoutMovieEncoders };

// The extensions the set accepts, for a message: ".bmp, .jpg, …, or .gif". The formats both
// programs write come first.
std::string accepted_extensions(FormatSet set, EncoderNeed need = EncoderNeed::kAny);

// The list "a, b or c" of the texts.
std::string spoken_list(std::span<const std::string> items);
