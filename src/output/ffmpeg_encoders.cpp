// The module that holds FFmpeg's encoders: H.264 in MP4, VP9 in WebM and animated GIF. Only
// a run that writes one of those opens it (output/movie_encoder_module.h); it sees nothing of
// the program but that interface.
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include "output/movie_encoder_module.h"
#include "output/movie_pipeline.h"

namespace {

using Options = std::vector<std::pair<const char*, const char*>>;

// How each format is made. H.264 in the High profile with 4:2:0 chroma is what browsers and
// slide programs play; the index goes to the front of the file so that a browser starts
// playing before it has all of it. The quality settings keep the rings' colours clean at a
// size that suits a web page, and the H.264 preset keeps the export within a couple of
// seconds; VP9, at constant quality (no bit rate), trades time for size at a speed that
// suits a batch tool.
struct FormatSettings {
    OutputFormat format;
    const char* muxer;
    const char* encoder;
    AVPixelFormat pixels;
    Options encoder_options;
    Options muxer_options;
};

const FormatSettings* settings_for(OutputFormat format) {
    static const FormatSettings kSettings[] = {
        {OutputFormat::kMp4,
         "mp4",
         "libx264",
         AV_PIX_FMT_YUV420P,
         {{"preset", "veryfast"}, {"crf", "20"}, {"profile", "high"}},
         {{"movflags", "+faststart"}}},
        {OutputFormat::kWebm,
         "webm",
         "libvpx-vp9",
         AV_PIX_FMT_YUV420P,
         {{"crf", "30"}, {"b", "0"}, {"deadline", "good"}, {"cpu-used", "5"}, {"row-mt", "1"}},
         {}},
        // loop 0: the GIF plays forever.
        {OutputFormat::kGif, "gif", "gif", AV_PIX_FMT_PAL8, {}, {{"loop", "0"}}},
    };
    for (const FormatSettings& settings : kSettings)
        if (settings.format == format)
            return &settings;
    return nullptr;
}

// A key frame every two seconds lets a player seek without decoding the whole movie.
constexpr int kKeyFrameInterval = 2 * kMovieFrameRate;

std::string av_error_text(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// The system's error behind a library error code, or 0 for the library's own errors.
int errno_of(int code) {
    const int number = AVUNERROR(code);
    return number > 0 && number < 4096 ? number : 0;
}

struct FormatContextFree {
    void operator()(AVFormatContext* context) const {
        if (context->pb != nullptr)
            avio_closep(&context->pb);
        avformat_free_context(context);
    }
};
struct CodecContextFree {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct ScalerFree {
    void operator()(SwsContext* scaler) const { sws_freeContext(scaler); }
};
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;

// A failure of the library: the step and its error code.
struct Failure {
    std::string what;
    int code = 0;
};

// The options as a dictionary the library consumes; what it leaves is an option it does not
// know, which would silently change the movie, so it counts as a failure.
class OptionList {
  public:
    explicit OptionList(const Options& options) {
        for (const auto& [name, value] : options)
            av_dict_set(&dictionary_, name, value, 0);
    }
    ~OptionList() { av_dict_free(&dictionary_); }
    OptionList(const OptionList&) = delete;
    OptionList& operator=(const OptionList&) = delete;
    AVDictionary** get() { return &dictionary_; }
    std::optional<Failure> leftover(const char* whose) const {
        const AVDictionaryEntry* entry =
            av_dict_get(dictionary_, "", nullptr, AV_DICT_IGNORE_SUFFIX);
        if (entry == nullptr)
            return std::nullopt;
        return Failure{std::string(whose) + " does not know the option " + entry->key,
                       AVERROR_OPTION_NOT_FOUND};
    }

  private:
    AVDictionary* dictionary_ = nullptr;
};

// One encoder feeding one muxer that writes the file at url.
class FFmpegEncoder {
  public:
    FFmpegEncoder() = default;
    // A muxer frees what it holds only in its trailer (the GIF muxer holds a packet back to
    // learn its delay), so an abandoned movie gets one too; its file is removed anyway.
    ~FFmpegEncoder() {
        if (header_written_ && !finished_)
            av_write_trailer(format_.get());
    }
    FFmpegEncoder(const FFmpegEncoder&) = delete;
    FFmpegEncoder& operator=(const FFmpegEncoder&) = delete;

    std::optional<Failure> open(const FormatSettings& settings, const std::string& url, int side) {
        const AVCodec* codec = avcodec_find_encoder_by_name(settings.encoder);
        if (codec == nullptr)
            return Failure{std::string("no encoder ") + settings.encoder,
                           AVERROR_ENCODER_NOT_FOUND};
        AVFormatContext* format = nullptr;
        if (const int code =
                avformat_alloc_output_context2(&format, nullptr, settings.muxer, url.c_str());
            code < 0)
            return Failure{std::string("no muxer ") + settings.muxer, code};
        format_.reset(format);
        codec_.reset(avcodec_alloc_context3(codec));
        packet_.reset(av_packet_alloc());
        if (!codec_ || !packet_)
            return Failure{"out of memory", AVERROR(ENOMEM)};

        codec_->width = side;
        codec_->height = side;
        codec_->pix_fmt = settings.pixels;
        codec_->time_base = AVRational{1, kMovieFrameRate};
        codec_->framerate = AVRational{kMovieFrameRate, 1};
        codec_->sample_aspect_ratio = AVRational{1, 1};
        codec_->gop_size = kKeyFrameInterval;
        codec_->thread_count = 0;  // as many as the machine has
        if (settings.pixels != AV_PIX_FMT_PAL8) {
            // The frames are converted with these coefficients and tagged with them, so that
            // a player converts back with the same ones and the colours come out as drawn.
            codec_->colorspace = AVCOL_SPC_BT709;
            codec_->color_primaries = AVCOL_PRI_BT709;
            codec_->color_trc = AVCOL_TRC_BT709;
            codec_->color_range = AVCOL_RANGE_MPEG;
        }
        if (format_->oformat->flags & AVFMT_GLOBALHEADER)
            codec_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        OptionList encoder_options(settings.encoder_options);
        if (const int code = avcodec_open2(codec_.get(), codec, encoder_options.get()); code < 0)
            return Failure{std::string("cannot open the encoder ") + settings.encoder, code};
        if (auto unknown = encoder_options.leftover(settings.encoder))
            return unknown;

        stream_ = avformat_new_stream(format_.get(), nullptr);
        if (stream_ == nullptr)
            return Failure{"out of memory", AVERROR(ENOMEM)};
        stream_->time_base = codec_->time_base;
        stream_->avg_frame_rate = codec_->framerate;
        if (const int code = avcodec_parameters_from_context(stream_->codecpar, codec_.get());
            code < 0)
            return Failure{"cannot describe the stream", code};

        // Only files, also when the MP4 muxer opens the movie again to read it back.
        format_->protocol_whitelist = av_strdup("file");
        OptionList io_options(Options{{"protocol_whitelist", "file"}});
        if (const int code =
                avio_open2(&format_->pb, url.c_str(), AVIO_FLAG_WRITE, nullptr, io_options.get());
            code < 0)
            return Failure{"cannot open the movie file", code};
        OptionList muxer_options(settings.muxer_options);
        if (const int code = avformat_write_header(format_.get(), muxer_options.get()); code < 0)
            return Failure{"cannot write the movie's header", code};
        header_written_ = true;
        if (auto unknown = muxer_options.leftover(settings.muxer))
            return unknown;
        return std::nullopt;
    }

    // Encodes the frame (nullptr: whatever the encoder still holds) and writes the packets
    // that come out.
    std::optional<Failure> encode(const AVFrame* frame) {
        if (const int code = avcodec_send_frame(codec_.get(), frame); code < 0)
            return Failure{"cannot encode a frame", code};
        while (true) {
            const int code = avcodec_receive_packet(codec_.get(), packet_.get());
            if (code == AVERROR(EAGAIN) || code == AVERROR_EOF)
                return std::nullopt;
            if (code < 0)
                return Failure{"cannot encode a frame", code};
            // Every movie frame lasts one twenty-fourth of a second, the last one too.
            if (packet_->duration == 0)
                packet_->duration = 1;
            av_packet_rescale_ts(packet_.get(), codec_->time_base, stream_->time_base);
            packet_->stream_index = stream_->index;
            if (const int written = av_interleaved_write_frame(format_.get(), packet_.get());
                written < 0)
                return Failure{"cannot write the movie", written};
        }
    }

    // Flushes the encoder, completes the file and closes it.
    std::optional<Failure> finish() {
        if (auto failed = encode(nullptr))
            return failed;
        finished_ = true;
        if (const int code = av_write_trailer(format_.get()); code < 0)
            return Failure{"cannot complete the movie", code};
        const int pending = format_->pb->error;
        if (const int code = avio_closep(&format_->pb); code < 0 || pending < 0)
            return Failure{"cannot write the movie", code < 0 ? code : pending};
        return std::nullopt;
    }

  private:
    std::unique_ptr<AVFormatContext, FormatContextFree> format_;
    std::unique_ptr<AVCodecContext, CodecContextFree> codec_;
    std::unique_ptr<AVPacket, PacketFree> packet_;
    AVStream* stream_ = nullptr;
    bool header_written_ = false;
    bool finished_ = false;
};

// Turns rendered frames into the encoder's frames: RGB to 4:2:0 YUV with the BT.709
// coefficients in the studio range, or a GIF's palette indices copied with its palette.
class FrameConverter {
  public:
    FrameConverter(AVPixelFormat pixels, int side, const std::vector<EncoderColour>& palette)
        : side_(side), palette_(palette) {
        frame_.reset(av_frame_alloc());
        if (!frame_)
            return;
        frame_->format = pixels;
        frame_->width = side;
        frame_->height = side;
        if (pixels == AV_PIX_FMT_PAL8)
            return;
        palette_.clear();
        frame_->colorspace = AVCOL_SPC_BT709;
        frame_->color_primaries = AVCOL_PRI_BT709;
        frame_->color_trc = AVCOL_TRC_BT709;
        frame_->color_range = AVCOL_RANGE_MPEG;
        scaler_.reset(sws_getContext(side, side, AV_PIX_FMT_RGB24, side, side, pixels,
                                     SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INP, nullptr,
                                     nullptr, nullptr));
        if (scaler_)
            sws_setColorspaceDetails(scaler_.get(), sws_getCoefficients(SWS_CS_DEFAULT), 1,
                                     sws_getCoefficients(SWS_CS_ITU709), 0, 0, 1 << 16, 1 << 16);
    }

    std::optional<Failure> prepare() {
        const bool indexed = frame_ && frame_->format == AV_PIX_FMT_PAL8;
        if (!frame_ || (!indexed && !scaler_))
            return Failure{"out of memory", AVERROR(ENOMEM)};
        if (indexed && palette_.size() > 256)
            return Failure{"more than 256 colours", AVERROR(EINVAL)};
        if (const int code = av_frame_get_buffer(frame_.get(), 0); code < 0)
            return Failure{"out of memory", code};
        return std::nullopt;
    }

    // Puts the frame into the encoder's frame, leaving the buffer the encoder may still hold
    // of the previous one untouched.
    std::optional<Failure> convert(const std::uint8_t* pixels) {
        if (const int code = av_frame_make_writable(frame_.get()); code < 0)
            return Failure{"out of memory", code};
        if (!scaler_) {
            for (int y = 0; y < side_; ++y)
                std::memcpy(frame_->data[0] + std::ptrdiff_t(y) * frame_->linesize[0],
                            pixels + std::size_t(y) * std::size_t(side_), std::size_t(side_));
            auto* colours = reinterpret_cast<std::uint32_t*>(frame_->data[1]);
            for (std::size_t i = 0; i < 256; ++i)
                colours[i] = 0xff000000u | (i < palette_.size() ? palette_[i] : 0u);
            return std::nullopt;
        }
        const std::uint8_t* source[1] = {pixels};
        const int stride[1] = {3 * side_};
        sws_scale(scaler_.get(), source, stride, 0, side_, frame_->data, frame_->linesize);
        return std::nullopt;
    }

    AVFrame* frame() { return frame_.get(); }

  private:
    int side_;
    std::vector<EncoderColour> palette_;
    FramePtr frame_;
    std::unique_ptr<SwsContext, ScalerFree> scaler_;
};

OutputError failure_of(const Failure& failure) {
    return {failure.what + ": " + av_error_text(failure.code), errno_of(failure.code)};
}

class FFmpegMovie final : public MovieEncoder {
  public:
    FFmpegMovie(const FormatSettings& settings, int side, const std::vector<EncoderColour>& palette)
        : settings_(settings), converter_(settings.pixels, side, palette) {}

    std::optional<Failure> open(const std::string& file, int side) {
        if (auto failure = converter_.prepare())
            return failure;
        // The library opens the file by name, and reads it back to move the MP4 index to
        // the front.
        return encoder_.open(settings_, "file:" + file, side);
    }

    std::optional<OutputError> add(const std::uint8_t* pixels, std::int64_t index) override {
        std::optional<Failure> failure = converter_.convert(pixels);
        if (!failure) {
            converter_.frame()->pts = index;
            failure = encoder_.encode(converter_.frame());
        }
        return failure ? std::optional(failure_of(*failure)) : std::nullopt;
    }

    std::optional<OutputError> finish() override {
        const std::optional<Failure> failure = encoder_.finish();
        return failure ? std::optional(failure_of(*failure)) : std::nullopt;
    }

  private:
    const FormatSettings& settings_;
    FrameConverter converter_;
    FFmpegEncoder encoder_;
};

class FFmpegModule final : public MovieEncoderModule {
  public:
    std::string unavailable(OutputFormat format) const override {
        const FormatSettings* settings = settings_for(format);
        if (settings == nullptr)
            return "not a movie format of FFmpeg's libraries";
        if (avcodec_find_encoder_by_name(settings->encoder) == nullptr)
            return std::string("FFmpeg's libavcodec has no ") + settings->encoder + " encoder";
        if (av_guess_format(settings->muxer, nullptr, nullptr) == nullptr)
            return std::string("FFmpeg's libavformat cannot write ") + settings->muxer;
        return {};
    }

    std::unique_ptr<MovieEncoder> open(OutputFormat format, const std::string& file, int side,
                                       const std::vector<EncoderColour>& palette,
                                       OutputError& failure) const override {
        const FormatSettings* settings = settings_for(format);
        if (settings == nullptr) {
            failure = {"not a movie format of FFmpeg's libraries", EINVAL};
            return nullptr;
        }
        // The libraries' notes and statistics would bury a failure's one line.
        av_log_set_level(AV_LOG_ERROR);
        auto movie = std::make_unique<FFmpegMovie>(*settings, side, palette);
        if (std::optional<Failure> failed = movie->open(file, side)) {
            failure = failure_of(*failed);
            return nullptr;
        }
        return movie;
    }
};

}  // namespace

extern "C" __attribute__((visibility("default"))) const MovieEncoderModule*
LUMITRA_MOVIE_ENCODER_ENTRY() {
    static const FFmpegModule module;
    return &module;
}
