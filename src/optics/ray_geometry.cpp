#include "optics/ray_geometry.h"

#include <algorithm>

#include "optics/interference_colour.h"

RayGeometry::RayGeometry(const DrawSetup& setup)
    : radius_(setup.radius),
      wulff_(setup.params.projection_kind == kWulffProjection),
      refracted_(setup.params.draw_range == kMicroscopeField),
      projection_(projection_for(setup.params.projection_kind)),
      mean_index_(setup.mean_index) {
    scale_ = radius_;
    if (refracted_)
        scale_ = radius_ / projection_.forward(std::asin(double(setup.params.numerical_aperture)));
    inverse_scale_ = 1.0 / scale_;
    inverse_mean_index_ = 1.0 / mean_index_;
}

double RayGeometry::polar_angle(double r) const {
    if (!refracted_)
        return projection_.inverse(r / radius_);
    const double theta_air = projection_.inverse(r / scale_);
    return std::asin(std::sin(theta_air) / mean_index_);
}

namespace {

// Wave normals evaluated at a time: enough for the vector loop to run, few enough for the
// scratch to stay in the nearest cache.
constexpr int kChunk = 64 * WaveGroup::kSize;

bool inside_circle(const RayGeometry& geometry, int column, int row) {
    const PixelOffset p = pixel_offset(geometry.radius(), column, row);
    return !(std::sqrt(p.x * p.x + p.y * p.y) > double(geometry.radius()));
}

template <class Colour>
float colour_span(const Colour& colour, const CrystalModel& model, const WaveGroup* groups,
                  int width, float* values) {
    double retardation[kChunk], factor[kChunk];
    float largest = 0.0f;
    for (int done = 0; done < width; done += kChunk) {
        const int count = std::min(kChunk, width - done);
        model.evaluate(groups + done / WaveGroup::kSize,
                       std::size_t(count + WaveGroup::kSize - 1) / WaveGroup::kSize, retardation,
                       factor);
        float* out = values + 3 * std::size_t(done);
        for (int i = 0; i < count; ++i, out += 3) {
            colour(retardation[i], factor[i], out);
            largest = std::max({largest, out[0], out[1], out[2]});
        }
    }
    return largest;
}

}  // namespace

FrameComputer::FrameComputer(const DrawSetup& setup)
    : side_(setup.side),
      test_plate_(setup.params.no_test_plate == 0),
      geometry_(setup),
      rows_(std::size_t(std::max(side_, 0))) {
    std::size_t slot = 0;
    for (int row = 0; row < side_; ++row) {
        int first = 0, last = side_;
        while (first < last && !inside_circle(geometry_, first, row))
            ++first;
        while (last > first && !inside_circle(geometry_, last - 1, row))
            --last;
        rows_[std::size_t(row)] = {first, last - first, slot};
        inside_ += std::size_t(last - first);
        slot +=
            std::size_t(last - first + WaveGroup::kSize - 1) / WaveGroup::kSize * WaveGroup::kSize;
    }
    groups_.resize(slot / WaveGroup::kSize);
}

void FrameComputer::resolve_rows(int first, int last) {
    for (int row = first; row < last; ++row) {
        const RowSpan& span = rows_[std::size_t(row)];
        WaveGroup* groups = groups_.data() + span.slot / WaveGroup::kSize;
        const int padded =
            (span.width + WaveGroup::kSize - 1) / WaveGroup::kSize * WaveGroup::kSize;
        for (int i = 0; i < padded; ++i) {
            WaveGroup& group = groups[i / WaveGroup::kSize];
            const int lane = i % WaveGroup::kSize;
            if (i >= span.width) {
                group.set_plate_normal(lane);
                continue;
            }
            const PixelOffset p = pixel_offset(geometry_.radius(), span.first + i, row);
            const double r = std::sqrt(p.x * p.x + p.y * p.y);
            const PolarAngle theta = geometry_.polar(r);
            // At the centre the azimuth is taken as π/2.
            const double sin_phi = r > 0.0 ? p.y / r : 1.0;
            const double cos_phi = r > 0.0 ? p.x / r : 0.0;
            group.set(lane, wave_frame(theta.sine, theta.cosine, sin_phi, cos_phi));
        }
    }
}

float FrameComputer::colour_rows(const CrystalModel& model, int first, int last,
                                 float* values) const {
    const ColourTable& table = retardation_colour_table();
    float largest = 0.0f;
    for (int row = first; row < last; ++row) {
        const RowSpan& span = rows_[std::size_t(row)];
        const WaveGroup* groups = groups_.data() + span.slot / WaveGroup::kSize;
        float* out = values + 3 * span.slot;
        const float row_largest =
            test_plate_ ? colour_span(WithPlate{table}, model, groups, span.width, out)
                        : colour_span(WithoutPlate{table}, model, groups, span.width, out);
        largest = std::max(largest, row_largest);
    }
    return largest;
}

void FrameComputer::spread_values(const float* values, std::span<float> figure) const {
    std::fill(figure.begin(), figure.begin() + std::size_t(3) * side_ * side_, -1.0f);
    for (int row = 0; row < side_; ++row) {
        const RowSpan& span = rows_[std::size_t(row)];
        std::copy_n(values + 3 * span.slot, 3 * span.width,
                    figure.begin() + 3 * (std::size_t(row) * side_ + span.first));
    }
}

float compute_frame(const DrawSetup& setup, CrystalModel& model, std::span<float> values) {
    FrameComputer computer(setup);
    computer.resolve_rows(0, computer.side());
    model.prepare_frame();
    std::vector<float> compact(computer.value_count());
    const float largest = computer.colour_rows(model, 0, computer.side(), compact.data());
    computer.spread_values(compact.data(), values);
    return largest;
}
