// The extension of a chosen path and the output format it selects.
#pragma once

#include <optional>
#include <string_view>

// The text after the last "." of the path's last component; nothing when that component
// has no "." ("old.dir/figure" has none). The result points into the path. A trailing "."
// gives an empty extension, which is not the same as none.
std::optional<std::string_view> file_extension(std::string_view path);

enum class OutputFormat { kBmp, kJpeg, kPpm, kMpeg, kUnsupported };

// The one rule by which a name chooses its format, for Save and the renderer alike: no
// extension and "bmp" are BMP, "jpg"/"jpeg" JPEG, "ppm"/"pnm" PPM, "mpg"/"mpeg" MPEG, letter
// case ignored; everything else is unsupported.
OutputFormat output_format(std::optional<std::string_view> extension);
