// The extension of a chosen path and the output format it selects.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The text after the last "." of the path's last component; nothing when that component
// has no "." ("old.dir/figure" has none). The result points into the path. A trailing "."
// gives an empty extension, which is not the same as none.
std::optional<std::string_view> file_extension(std::string_view path);

enum class OutputFormat { kBmp, kJpeg, kMpeg, kPpm, kPng, kMp4, kWebm, kGif, kUnsupported };

// Who writes the file: the figure window's Save knows BMP, JPEG and MPEG; lumitra-render
// knows those and the formats made for handouts, slides and the web.
enum class FormatSet { kWindow, kRenderer };

// No extension and "bmp" are BMP, "jpg"/"jpeg" JPEG, "mpg"/"mpeg" MPEG, letter case
// ignored; for the renderer also "ppm"/"pnm", "png", "mp4", "webm" and "gif". Everything
// else is unsupported.
OutputFormat output_format(std::optional<std::string_view> extension,
                           FormatSet set = FormatSet::kWindow);

// Whether the format holds the whole animation rather than one frame.
bool is_movie(OutputFormat format);

// Whether the format is written by FFmpeg's encoders, which a run loads only when it needs
// them.
bool needs_movie_encoders(OutputFormat format);

// Which formats a list names: all of them, only those FFmpeg's encoders write, or the others.
enum class EncoderNeed { kAny, kMovieEncoders, kWithoutMovieEncoders };

// The extensions the set accepts, for a message: ".bmp, .jpg, …, or .gif".
std::string accepted_extensions(FormatSet set, EncoderNeed need = EncoderNeed::kAny);
