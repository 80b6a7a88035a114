#include "output/movie_pipeline.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/texts.h"
#include "output/mpeg_encoder.h"
#include "output/output_frames.h"

namespace {

void report(const std::string& what) {
    std::fprintf(stderr, "write_movie: %s\n", what.c_str());
}

std::string errno_text() {
    return std::strerror(errno);
}

// Writes the whole string or nothing: a partial file is removed.
bool write_file(const std::string& name, const void* data, std::size_t size,
                const void* extra = nullptr, std::size_t extra_size = 0) {
    std::FILE* file = std::fopen(name.c_str(), "wb");
    if (file == nullptr) {
        report("cannot create " + name + ": " + errno_text());
        return false;
    }
    bool ok = std::fwrite(data, 1, size, file) == size;
    if (ok && extra_size > 0)
        ok = std::fwrite(extra, 1, extra_size, file) == extra_size;
    if (ok)
        ok = std::fflush(file) == 0;
    const std::string cause = ok ? std::string() : errno_text();
    if (std::fclose(file) != 0 && ok)
        ok = false;
    if (!ok) {
        report("cannot write " + name + ": " + (cause.empty() ? errno_text() : cause));
        std::remove(name.c_str());
    }
    return ok;
}

bool write_ppm(const std::string& name, const std::vector<std::uint8_t>& rgb, int side) {
    char header[64];
    const int length = std::snprintf(header, sizeof header, "P6 %d %d %d\n", side, side, 255);
    return write_file(name, header, std::size_t(length), rgb.data(), rgb.size());
}

// Passes the encoder's progress through and remembers whether the user cancelled, which
// the encoder's −1 alone does not tell apart from a failure.
class CancelWatch : public ProgressSink {
  public:
    explicit CancelWatch(ProgressSink& inner) : inner_(inner) {}
    void open(const char* message_sjis) override { inner_.open(message_sjis); }
    bool update(float fraction) override {
        const bool go_on = inner_.update(fraction);
        if (!go_on)
            cancelled = true;
        return go_on;
    }
    bool cancelled = false;

  private:
    ProgressSink& inner_;
};

// Moving across file systems: the copy goes to a fresh file beside the target and is then
// renamed over it, so that an older file at the path survives a failed copy.
bool copy_across(const std::string& from, const std::string& to) {
    const std::string partial = to + ".lumitra-partial-" + std::to_string(getpid());
    const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        report("cannot read " + from + ": " + errno_text());
        return false;
    }
    const int out = open(partial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (out < 0) {
        report("cannot create " + partial + ": " + errno_text());
        close(in);
        return false;
    }
    bool ok = true;
    std::string cause;
    char buffer[1 << 16];
    while (ok) {
        const ssize_t got = read(in, buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            ok = false;
            cause = errno_text();
            break;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = write(out, buffer + done, std::size_t(got - done));
            if (put < 0) {
                if (errno == EINTR)
                    continue;
                ok = false;
                cause = errno_text();
                break;
            }
            done += put;
        }
    }
    close(in);
    if (close(out) != 0 && ok) {
        ok = false;
        cause = errno_text();
    }
    if (ok && std::rename(partial.c_str(), to.c_str()) != 0) {
        ok = false;
        cause = errno_text();
    }
    if (!ok) {
        report("cannot copy " + from + " to " + to + ": " + cause);
        std::remove(partial.c_str());
    }
    return ok;
}

// rename replaces an older file at the path in one step; when it fails, that file is
// untouched. Returns whether the movie reached the path.
bool move_into_place(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) == 0)
        return true;
    if (errno != EXDEV)
        return false;
    const bool copied = copy_across(from, to);
    std::remove(from.c_str());
    return copied;
}

}  // namespace

std::vector<int> movie_frame_list(int frame_count, float fps) {
    std::vector<int> list;
    if (frame_count <= 0 || !(fps > 0.0f) || !std::isfinite(fps))
        return list;
    const float movie_rate = static_cast<float>(kMovieFrameRate);
    int i = 0;
    int j = 0;
    while (i < frame_count) {
        ++j;
        list.push_back(i);
        while (static_cast<float>(i) / fps < static_cast<float>(j) / movie_rate)
            ++i;
    }
    return list;
}

std::string temp_frame_name(const std::string& prefix, int index) {
    return prefix + std::to_string(index) + ".pnm";
}

std::string write_encoder_parameters(const std::string& output, const std::string& prefix,
                                     int frame_count, float fps) {
    const std::vector<int> frames = movie_frame_list(frame_count, fps);
    if (frames.empty()) {
        report("no movie frames for " + std::to_string(frame_count) + " frames at " +
               std::to_string(fps) + " frames per second");
        return {};
    }
    std::string text;
    text += "PATTERN         IBBPBBPBBPBBPBB\n";
    text += "OUTPUT          " + output + "\n";
    text += "BASE_FILE_FORMAT        PNM\n";
    text += "INPUT_CONVERT    *\n";
    text += "GOP_SIZE        30\n";
    text += "SLICES_PER_FRAME        1\n";
    text += "INPUT_DIR       .\n";
    text += "INPUT\n";
    for (int frame : frames)
        text += temp_frame_name(prefix, frame) + "\n";
    text += "END_INPUT\n";
    text += "PIXEL           HALF\n";
    text += "RANGE           10\n";
    text += "PSEARCH_ALG     LOGARITHMIC\n";
    text += "BSEARCH_ALG     CROSS2\n";
    text += "IQSCALE         3\n";
    text += "PQSCALE         3\n";
    text += "BQSCALE         3\n";
    text += "REFERENCE_FRAME ORIGINAL\n";
    text += "FORCE_ENCODE_LAST_FRAME\n";
    text += "FRAME_RATE " + std::to_string(kMovieFrameRate) + "\n";
    if (!write_file(kParameterFile, text.data(), text.size()))
        return {};
    return kParameterFile;
}

EncoderOutcome run_encoder(const std::string& output, const std::string& prefix, int frame_count,
                           float fps, ProgressSink& progress) {
    const std::string name = write_encoder_parameters(output, prefix, frame_count, fps);
    if (name.empty())
        return EncoderOutcome::kFailed;
    CancelWatch watch(progress);
    const int result = encode_movie(name, watch);
    std::remove(name.c_str());
    if (result == -1)
        return watch.cancelled ? EncoderOutcome::kCancelled : EncoderOutcome::kFailed;
    return EncoderOutcome::kEncoded;
}

void remove_temp_frames(const std::string& prefix, int count) {
    for (int k = 0; k < count; ++k)
        std::remove(temp_frame_name(prefix, k).c_str());
}

int write_movie(const std::string& path, const Figure& figure, const ToneTable& tones,
                int movie_size, float fps, ProgressSink& progress,
                const AskToCloseElsewhere& ask_to_close) {
    const int frame_count = figure.frames;
    if (frame_count <= 0 || movie_size <= 0 || figure.side <= 0 ||
        figure.pixels.size() < figure.frame_bytes() * std::size_t(frame_count)) {
        report("nothing to encode for " + path);
        return 0;
    }
    if (movie_frame_list(frame_count, fps).empty()) {
        report("invalid frame rate " + std::to_string(fps) + " for " + path);
        return 0;
    }
    const std::string prefix = kTempFramePrefix;

    progress.open(texts::enlarging);
    for (int k = 0; k < frame_count; ++k) {
        if (!progress.update(static_cast<float>(k + 1) / static_cast<float>(frame_count))) {
            remove_temp_frames(prefix, k);
            return 1;
        }
        // A frame that cannot be written is left out; the encoder then fails on it.
        write_ppm(temp_frame_name(prefix, k), render_movie_frame(figure, k, tones, movie_size),
                  movie_size);
    }

    progress.open(texts::creating_mpeg);
    const EncoderOutcome outcome = run_encoder(kTempMovie, prefix, frame_count, fps, progress);
    remove_temp_frames(prefix, frame_count);
    if (outcome != EncoderOutcome::kEncoded) {
        std::remove(kTempMovie);
        return outcome == EncoderOutcome::kCancelled ? 1 : 0;
    }

    if (move_into_place(kTempMovie, path))
        return 1;
    const std::string first_cause = errno_text();
    if (ask_to_close)
        ask_to_close(path);
    if (move_into_place(kTempMovie, path))
        return 1;
    report("cannot move " + std::string(kTempMovie) + " to " + path + ": " + first_cause);
    std::remove(kTempMovie);
    return 0;
}
