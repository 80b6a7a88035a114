#include "optics/ray_geometry.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "optics/interference_colour.h"

RayGeometry::RayGeometry(const DrawSetup& setup)
    : radius_(setup.radius),
      refracted_(setup.params.draw_range == kMicroscopeField),
      projection_(projection_for(setup.params.projection_kind)) {
    scale_ = radius_;
    if (refracted_)
        scale_ = radius_ / projection_.forward(std::asin(double(setup.params.numerical_aperture)));
    inverse_scale_ = 1.0 / scale_;
    inverse_mean_index_ = 1.0 / double(setup.mean_index);
    mean_index_ = double(setup.mean_index);
}

namespace {

// Wave normals evaluated at a time: enough for the vector loop to run, few enough for the
// scratch to stay in the nearest cache.
constexpr int kChunk = 64 * WaveGroup::kSize;

bool inside_circle(const RayGeometry& geometry, int column, int row) {
    return geometry.inside(pixel_offset(geometry.radius(), column, row));
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

// The most sub-samples a pixel gets along each side.
constexpr int kMostSubsamples = 4;
constexpr int kSubsampleGroups =
    (kMostSubsamples * kMostSubsamples + WaveGroup::kSize - 1) / WaveGroup::kSize;

// The largest changes of retardation from a pixel to its neighbours inside the circle, along
// the row and along the column.
struct Change {
    double across = 0.0;
    double down = 0.0;
};

Change change_at(std::span<const RowSpan> rows, const double* retardations, int row, int column) {
    const RowSpan& span = rows[std::size_t(row)];
    const double own = retardations[span.slot + std::size_t(column - span.first)];
    const auto to = [&](const RowSpan& other, int c, double& change) {
        if (c >= other.first && c < other.first + other.width)
            change = std::max(
                change, std::abs(retardations[other.slot + std::size_t(c - other.first)] - own));
    };
    Change change;
    to(span, column - 1, change.across);
    to(span, column + 1, change.across);
    if (row > 0)
        to(rows[std::size_t(row) - 1], column, change.down);
    if (row + 1 < static_cast<int>(rows.size()))
        to(rows[std::size_t(row) + 1], column, change.down);
    return change;
}

// The mean colour of an n × n grid of wave normals over the pixel at offset p, each at the
// centre of its part of the pixel; those beyond the rim are left out. False (out untouched)
// when every one is.
template <class Colour>
bool mean_colour(const Colour& colour, const CrystalModel& model, const RayGeometry& geometry,
                 PixelOffset p, int n, float* out) {
    WaveGroup groups[kSubsampleGroups];
    const double rim2 = double(geometry.radius()) * double(geometry.radius());
    int count = 0;
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            const PixelOffset q = {p.x + (i + 0.5) / n - 0.5, p.y - (j + 0.5) / n + 0.5};
            if (q.x * q.x + q.y * q.y > rim2)
                continue;
            groups[count / WaveGroup::kSize].set(count % WaveGroup::kSize, geometry.wave_at(q));
            ++count;
        }
    }
    if (count == 0)
        return false;
    const int group_count = (count + WaveGroup::kSize - 1) / WaveGroup::kSize;
    for (int lane = count; lane < group_count * WaveGroup::kSize; ++lane)
        groups[lane / WaveGroup::kSize].set_plate_normal(lane % WaveGroup::kSize);
    double retardation[kSubsampleGroups * WaveGroup::kSize];
    double factor[kSubsampleGroups * WaveGroup::kSize];
    model.evaluate(groups, std::size_t(group_count), retardation, factor);
    double sum[3] = {0.0, 0.0, 0.0};
    for (int s = 0; s < count; ++s) {
        float c[3];
        colour(retardation[s], factor[s], c);
        for (int q = 0; q < 3; ++q)
            sum[q] += c[q];
    }
    for (int q = 0; q < 3; ++q)
        out[q] = static_cast<float>(sum[q] / count);
    return true;
}

// The colours of a row as colour_span gives them, except where the retardation changes by
// more than the threshold to a neighbour: there the mean colour over the pixel. Returns the
// largest channel of the point-sampled colours, so that every other pixel is encoded as
// without antialiasing.
template <class Colour>
float antialias_row(const Colour& colour, const CrystalModel& model, const RayGeometry& geometry,
                    std::span<const RowSpan> rows, int row, double threshold,
                    const PointSamples& kept, float* values) {
    const RowSpan& span = rows[std::size_t(row)];
    float largest = 0.0f;
    for (int i = 0; i < span.width; ++i) {
        const std::size_t slot = span.slot + std::size_t(i);
        const double retardation = kept.retardation[slot];
        const double factor = kept.factor[slot];
        float* out = values + 3 * slot;
        const Change change = change_at(rows, kept.retardation.data(), row, span.first + i);
        const double steepest = std::max(change.across, change.down);
        float point[3];
        if (!(steepest > threshold)) {
            colour(retardation, factor, out);
            std::copy_n(out, 3, point);
        } else if (steepest <= kMostSubsamples * threshold) {
            // Enough sub-samples that neighbouring ones differ by about the threshold.
            colour(retardation, factor, point);
            const int n = static_cast<int>(std::ceil(steepest / threshold));
            if (!mean_colour(colour, model, geometry,
                             pixel_offset(geometry.radius(), span.first + i, row), n, out))
                std::copy_n(point, 3, out);
        } else {
            // So many orders fall into the pixel that any grid we could afford would alias
            // again: the limit of a fine grid instead, the mean colour over the retardations
            // the pixel spans, taken as running evenly along the steepest direction (a span
            // with the spread of the pixel's, whichever way the rings cross it).
            const double spread =
                std::sqrt(change.across * change.across + change.down * change.down);
            colour.point_and_mean(retardation, spread, factor, point, out);
        }
        largest = std::max({largest, point[0], point[1], point[2]});
    }
    return largest;
}

}  // namespace

FrameComputer::FrameComputer(const DrawSetup& setup)
    : side_(setup.side),
      plate_(accessory_retardation(setup.params)),
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
            group.set(lane,
                      geometry_.wave_at(pixel_offset(geometry_.radius(), span.first + i, row)));
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
            plate_ > 0.0 ? colour_span(WithPlate{table, plate_}, model, groups, span.width, out)
                         : colour_span(WithoutPlate{table}, model, groups, span.width, out);
        largest = std::max(largest, row_largest);
    }
    return largest;
}

void FrameComputer::evaluate_rows(const CrystalModel& model, int first, int last,
                                  PointSamples& kept) const {
    for (int row = first; row < last; ++row) {
        const RowSpan& span = rows_[std::size_t(row)];
        model.evaluate(groups_.data() + span.slot / WaveGroup::kSize,
                       std::size_t(span.width + WaveGroup::kSize - 1) / WaveGroup::kSize,
                       kept.retardation.data() + span.slot, kept.factor.data() + span.slot);
    }
}

float FrameComputer::colour_rows_antialiased(const CrystalModel& model, int first, int last,
                                             const PointSamples& kept, float* values) const {
    const ColourTable& table = retardation_colour_table();
    const double threshold = supersampling_threshold();
    float largest = 0.0f;
    for (int row = first; row < last; ++row) {
        const float row_largest = plate_ > 0.0
                                      ? antialias_row(WithPlate{table, plate_}, model, geometry_,
                                                      rows_, row, threshold, kept, values)
                                      : antialias_row(WithoutPlate{table}, model, geometry_, rows_,
                                                      row, threshold, kept, values);
        largest = std::max(largest, row_largest);
    }
    return largest;
}

double supersampling_threshold() {
    return double(spectral_weights().wavelength.front()) / 4.0;
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
