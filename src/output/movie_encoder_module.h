// The boundary between the program and the module that holds FFmpeg's encoders. Loading
// libavcodec and libavformat pulls in well over a hundred libraries, which would slow down
// every run; only a run that writes MP4, WebM or GIF opens the module (with dlopen). The
// module and the program are built together from these sources, so a C++ interface is safe
// across it; the entry point's name carries a number that changes with the interface, so
// that a module left over from another version is refused instead of called wrongly.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "output/file_extension.h"
#include "output/output_error.h"

// A colour of a GIF's palette.
using EncoderColour = std::uint32_t;  // 0xRRGGBB

// One movie being written to its file: frames in order, then finish.
class MovieEncoder {
  public:
    virtual ~MovieEncoder() = default;
    // Encodes movie frame index (shown for 1/24 s): RGB, 3 bytes a pixel, or for a GIF one
    // palette index a pixel; side × side pixels either way.
    virtual std::optional<OutputError> add(const std::uint8_t* pixels, std::int64_t index) = 0;
    // Flushes the encoder, completes the file and closes it.
    virtual std::optional<OutputError> finish() = 0;
};

class MovieEncoderModule {
  public:
    // Empty when the libraries can make movies of the format (kMp4, kWebm or kGif);
    // otherwise what is missing, in one line.
    virtual std::string unavailable(OutputFormat format) const = 0;
    // An encoder of the format writing a movie of side × side pixels to the file (a path);
    // palette holds a GIF's colours (at most 256) and is ignored otherwise. Null with the
    // failure set when it cannot be opened.
    virtual std::unique_ptr<MovieEncoder> open(OutputFormat format, const std::string& file,
                                               int side, const std::vector<EncoderColour>& palette,
                                               OutputError& failure) const = 0;

  protected:
    ~MovieEncoderModule() = default;
};

// The module's one exported function, its type and its name for dlsym.
#define LUMITRA_MOVIE_ENCODER_ENTRY lumitra_movie_encoders_1
using MovieEncoderEntry = const MovieEncoderModule* (*)();
#define LUMITRA_NAME_OF(name) #name
#define LUMITRA_NAME(name) LUMITRA_NAME_OF(name)
inline constexpr char kMovieEncoderEntryName[] = LUMITRA_NAME(LUMITRA_MOVIE_ENCODER_ENTRY);
