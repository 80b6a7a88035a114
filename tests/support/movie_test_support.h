// Shared pieces of the movie tests: a small animation figure and a reader for the parts of
// an MPEG-1 video stream that the movie must get right.
#pragma once

#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "model/parameter_record.h"
#include "optics/figure_buffer.h"
#include "optics/figure_computation.h"
#include "render/tone_table.h"
#include "support/files.h"

// Frames of side S whose pattern turns with the frame index, white outside the circle.
inline Figure small_animation(int side, int frames, int draw_range = kMicroscopeField) {
    ParameterRecord record{};
    set_default_parameters(record);
    record.draw_mode = kAnimation;
    record.axis_type = kUniaxial;
    record.draw_range = draw_range;
    record.projection_kind = kSineProjection;
    record.image_size = static_cast<float>(side);
    record.sampling_step = 360.0f / static_cast<float>(frames);
    Figure figure;
    figure.setup = prepare_draw(record);
    figure.side = side;
    figure.frames = frames;
    figure.pixels.assign(figure.frame_bytes() * frames, 255);
    const double c = side * 0.5 - 0.5;
    for (int k = 0; k < frames; ++k) {
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                if (std::hypot(x - c, y - c) > side * 0.5)
                    continue;
                std::uint8_t* p = figure.pixels.data() + figure.frame_bytes() * k +
                                  (std::size_t(y) * side + x) * 3;
                const double a = std::atan2(y - c, x - c) + k * 0.3;
                p[0] = static_cast<std::uint8_t>(127 + 120 * std::cos(2 * a));
                p[1] = static_cast<std::uint8_t>((x * 13 + y * 7 + k * 29) % 250);
                p[2] = static_cast<std::uint8_t>(127 + 120 * std::sin(3 * a + 0.1 * x));
            }
        }
    }
    return figure;
}

inline ToneTable identity_tones() {
    ToneTable tones{};
    for (int i = 0; i < 256; ++i)
        tones[i] = static_cast<std::uint8_t>(i);
    return tones;
}

// What an MPEG-1 video stream says about itself: the sequence header's size and frame-rate
// code, and the picture types in display order (coding order sorted by temporal reference
// within each group of pictures).
struct MpegSummary {
    bool has_sequence_header = false;
    int width = 0;
    int height = 0;
    int frame_rate_code = 0;
    int groups = 0;
    std::string display_types;
    bool ends_with_sequence_end = false;
};

inline MpegSummary summarize_mpeg(const std::vector<std::uint8_t>& s) {
    MpegSummary out;
    std::vector<std::pair<int, char>> group;
    auto flush = [&] {
        std::sort(group.begin(), group.end());
        for (const auto& picture : group)
            out.display_types += picture.second;
        group.clear();
    };
    for (std::size_t i = 0; i + 3 < s.size(); ++i) {
        if (s[i] != 0 || s[i + 1] != 0 || s[i + 2] != 1)
            continue;
        const std::uint8_t code = s[i + 3];
        const std::uint8_t* b = s.data() + i;
        if (code == 0xB3 && i + 8 <= s.size()) {
            out.has_sequence_header = true;
            out.width = (b[4] << 4) | (b[5] >> 4);
            out.height = ((b[5] & 0x0F) << 8) | b[6];
            out.frame_rate_code = b[7] & 0x0F;
        } else if (code == 0xB8) {
            flush();
            ++out.groups;
        } else if (code == 0x00 && i + 6 <= s.size()) {
            const int temporal_reference = (b[4] << 2) | (b[5] >> 6);
            const int type = (b[5] >> 3) & 0x07;
            group.emplace_back(temporal_reference, type == 1   ? 'I'
                                                   : type == 2 ? 'P'
                                                   : type == 3 ? 'B'
                                                               : '?');
        } else if (code == 0xB7) {
            out.ends_with_sequence_end = i + 4 == s.size();
        }
    }
    flush();
    return out;
}
