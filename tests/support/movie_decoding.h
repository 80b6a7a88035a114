// Reads a movie back through FFmpeg's demuxers and decoders, as a player would: what the
// container says about the video stream, every frame's time, and the first frame converted
// to RGB with the colour coefficients and range the stream is tagged with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

struct DecodedMovie {
    bool opened = false;
    std::string container;  // the demuxer's name, "mov,mp4,m4a,3gp,3g2,mj2" for an MP4
    std::string codec;      // the decoder's name: "h264", "vp9", "gif"
    std::string pixel_format;
    int profile = FF_PROFILE_UNKNOWN;
    int width = 0;
    int height = 0;
    AVRational frame_rate{0, 1};          // the stream's average frame rate
    std::vector<double> times;            // each decoded frame's time in seconds, in order
    std::vector<std::uint8_t> first_rgb;  // the first frame, width × height × 3
};

inline DecodedMovie decode_movie(const std::string& path) {
    DecodedMovie movie;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
        return movie;
    const AVCodec* decoder = nullptr;
    const int index = avformat_find_stream_info(format, nullptr) >= 0
                          ? av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0)
                          : -1;
    AVCodecContext* codec = index >= 0 ? avcodec_alloc_context3(decoder) : nullptr;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    if (codec != nullptr &&
        avcodec_parameters_to_context(codec, format->streams[index]->codecpar) >= 0 &&
        avcodec_open2(codec, decoder, nullptr) >= 0) {
        const AVStream* stream = format->streams[index];
        movie.opened = true;
        movie.container = format->iformat->name;
        movie.codec = decoder->name;
        movie.profile = stream->codecpar->profile;
        movie.frame_rate = stream->avg_frame_rate;
        const auto take_frames = [&] {
            while (avcodec_receive_frame(codec, frame) == 0) {
                movie.times.push_back(double(frame->best_effort_timestamp) *
                                      av_q2d(stream->time_base));
                if (movie.times.size() == 1) {
                    movie.width = frame->width;
                    movie.height = frame->height;
                    const auto pixels = static_cast<AVPixelFormat>(frame->format);
                    movie.pixel_format = av_get_pix_fmt_name(pixels);
                    SwsContext* scaler = sws_getContext(
                        frame->width, frame->height, pixels, frame->width, frame->height,
                        AV_PIX_FMT_RGB24, SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT,
                        nullptr, nullptr, nullptr);
                    const int* table = sws_getCoefficients(frame->colorspace);
                    sws_setColorspaceDetails(scaler, table, frame->color_range == AVCOL_RANGE_JPEG,
                                             table, 1, 0, 1 << 16, 1 << 16);
                    movie.first_rgb.resize(std::size_t(frame->width) * frame->height * 3);
                    std::uint8_t* out[1] = {movie.first_rgb.data()};
                    const int stride[1] = {frame->width * 3};
                    sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, out, stride);
                    sws_freeContext(scaler);
                }
                av_frame_unref(frame);
            }
        };
        while (av_read_frame(format, packet) >= 0) {
            if (packet->stream_index == index && avcodec_send_packet(codec, packet) >= 0)
                take_frames();
            av_packet_unref(packet);
        }
        avcodec_send_packet(codec, nullptr);
        take_frames();
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&codec);
    avformat_close_input(&format);
    return movie;
}
