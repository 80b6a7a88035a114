#include "optics/wedge_sweep.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "model/accessories.h"
#include "optics/figure_computation.h"

namespace {

// One frame's progress reported as its share of the whole sweep.
class FrameShare : public ProgressSink {
  public:
    FrameShare(ProgressSink& whole, int frame, int frames)
        : whole_(whole), frame_(frame), frames_(frames) {}
    void open(const char*) override {}
    bool update(float fraction) override {
        return whole_.update((static_cast<float>(frame_) + fraction) / static_cast<float>(frames_));
    }
    bool keep_going() override { return whole_.keep_going(); }

  private:
    ProgressSink& whole_;
    int frame_;
    int frames_;
};

}  // namespace

std::vector<double> wedge_sweep_settings(double from, double to) {
    const double direction = to < from ? -1.0 : 1.0;
    const int steps = static_cast<int>(std::floor(std::abs(to - from) / kWedgeSweepStep + 1e-9));
    std::vector<double> settings;
    for (int k = 0; k <= steps; ++k)
        settings.push_back(from + direction * kWedgeSweepStep * k);
    return settings;
}

std::optional<Figure> compute_wedge_sweep(const DrawSetup& setup, double from, double to,
                                          ProgressSink& progress, int workers) {
    const std::vector<double> settings = wedge_sweep_settings(from, to);
    const int frames = static_cast<int>(settings.size());
    Figure sweep;
    sweep.setup = setup;
    sweep.setup.params.no_test_plate = kQuartzWedge;
    sweep.side = setup.side;
    sweep.frames = frames;
    sweep.encoding_gamma = setup.encoding_gamma;
    sweep.pixels.resize(sweep.frame_bytes() * std::size_t(frames));
    std::vector<float> largest(std::size_t(frames), 0.0f);
    for (int k = 0; k < frames; ++k) {
        DrawSetup frame_setup = sweep.setup;
        frame_setup.params.wedge_retardation = static_cast<float>(settings[std::size_t(k)]);
        FrameShare share(progress, k, frames);
        const std::optional<Figure> frame = compute_figure(frame_setup, share, workers);
        if (!frame)
            return std::nullopt;
        std::memcpy(sweep.pixels.data() + sweep.frame_bytes() * std::size_t(k),
                    frame->pixels.data(), sweep.frame_bytes());
        // A frame without any light keeps L0 = 1 and has no largest value.
        const bool dark = std::all_of(frame->frame(0).begin(), frame->frame(0).end(),
                                      [](std::uint8_t b) { return b == 0 || b == 255; });
        largest[std::size_t(k)] = dark ? 0.0f : 1.0f / frame->reference_light;
    }
    const float brightest = *std::max_element(largest.begin(), largest.end());
    if (brightest > 0.0f) {
        const double inverse_gamma = 1.0 / double(sweep.encoding_gamma);
        for (int k = 0; k < frames; ++k) {
            const auto factor = static_cast<float>(
                std::pow(double(largest[std::size_t(k)]) / brightest, inverse_gamma));
            if (factor != 1.0f)
                rescale_frame(sweep.pixels.data() + sweep.frame_bytes() * std::size_t(k),
                              sweep.frame_bytes(), factor);
        }
    }
    sweep.reference_light = brightest > 0.0f ? 1.0f / brightest : 1.0f;
    return sweep;
}
