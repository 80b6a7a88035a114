#include "render/frame_rendering.h"

#include <algorithm>
#include <cstddef>

#include "render/enlargement.h"
#include "render/figure_overlay.h"
#include "render/vibration_directions.h"

void convert_for_display(std::span<const std::uint8_t> source, const ToneTable& tones,
                         std::span<std::uint8_t> destination) {
    const std::size_t count = std::min(source.size(), destination.size());
    for (std::size_t i = 0; i < count; ++i)
        destination[i] = tones[source[i]];
}

ToneTable opening_tones(const Figure& figure) {
    return opening_tones(figure.encoding_gamma, figure.reference_light);
}

ToneTable opening_tones(float encoding_gamma, float reference_light) {
    return build_tone_table(encoding_gamma, reference_light, encoding_gamma, reference_light);
}

std::vector<std::uint8_t> display_frame(const Figure& figure, int frame, const ToneTable& tones) {
    std::vector<std::uint8_t> out(figure.frame_bytes());
    convert_for_display(figure.frame(frame), tones, out);
    return out;
}

std::vector<std::uint8_t> render_still(const Figure& figure, int frame, const ToneTable& tones) {
    std::vector<std::uint8_t> still = display_frame(figure, frame, tones);
    draw_overlay(still, figure.side, figure_overlay(figure.setup, frame, figure.side));
    if (figure.setup.vibration_directions)
        draw_vibration_directions(figure, frame, still, figure.side);
    return still;
}

std::vector<std::uint8_t> render_movie_frame(const Figure& figure, int frame,
                                             const ToneTable& tones, int movie_side) {
    const std::vector<std::uint8_t> shown = display_frame(figure, frame, tones);
    std::vector<std::uint8_t> out(std::size_t(3) * movie_side * movie_side);
    enlarge_frame(shown, figure.side, out, movie_side);
    draw_overlay(out, movie_side, figure_overlay(figure.setup, frame, movie_side));
    if (figure.setup.vibration_directions)
        draw_vibration_directions(figure, frame, out, movie_side);
    return out;
}
