#include "output/gif_palette.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kBinBits = 5;
constexpr int kCacheBits = 6;

// Which corner of the colour cube the colour is (bit c set for a channel c at 255), or -1
// when a channel lies strictly between 0 and 255.
int corner_of(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    int corner = 0;
    const std::uint8_t channels[3] = {r, g, b};
    for (int c = 0; c < 3; ++c) {
        if (channels[c] == 255)
            corner |= 1 << c;
        else if (channels[c] != 0)
            return -1;
    }
    return corner;
}

// The 8 × 8 Bayer matrix: every 2 × 2, 4 × 4 and 8 × 8 block holds thresholds spread evenly
// over the whole range, so that any fraction is drawn as finely as the matrix allows.
constexpr std::uint8_t kBayer[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21},
};

// When the second colour of a pair is chosen, the error of the mix is weighed against the
// contrast of the pattern, |b − a|²: a far colour is taken only where its mix is clearly
// closer than a near one's, and a pixel near a is not sprinkled with dots of a distant colour.
constexpr double kNoiseWeight = 0.1;

// The colours of one histogram bin, as a point at their mean with their count as weight.
struct Cell {
    double count;
    double sum[3];
    double energy;  // |sum|² / count: the weighted squared norm of the mean

    double mean(int c) const { return sum[c] / count; }
};

// A set of cells with the sums that give its squared error about its mean.
struct Totals {
    double count = 0;
    double sum[3] = {0, 0, 0};
    double energy = 0;

    void add(const Cell& cell, double sign = 1.0) {
        count += sign * cell.count;
        for (int c = 0; c < 3; ++c)
            sum[c] += sign * cell.sum[c];
        energy += sign * cell.energy;
    }
    double error() const {
        if (count <= 0)
            return 0;
        return energy - (sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]) / count;
    }
};

struct Box {
    std::size_t begin;
    std::size_t end;
    Totals totals;
};

Totals totals_of(const std::vector<Cell>& cells, std::size_t begin, std::size_t end) {
    Totals totals;
    for (std::size_t i = begin; i < end; ++i)
        totals.add(cells[i]);
    return totals;
}

// Splits the box along the channel in which it spreads most, at the cut that leaves the
// least squared error in the two halves. The box's cells are reordered.
std::pair<Box, Box> split(std::vector<Cell>& cells, const Box& box) {
    int channel = 0;
    double widest = -1;
    for (int c = 0; c < 3; ++c) {
        double square = 0;
        for (std::size_t i = box.begin; i < box.end; ++i)
            square += cells[i].sum[c] * cells[i].mean(c);
        const double spread = square - box.totals.sum[c] * box.totals.sum[c] / box.totals.count;
        if (spread > widest) {
            widest = spread;
            channel = c;
        }
    }
    std::sort(
        cells.begin() + std::ptrdiff_t(box.begin), cells.begin() + std::ptrdiff_t(box.end),
        [channel](const Cell& x, const Cell& y) { return x.mean(channel) < y.mean(channel); });
    Totals left;
    std::size_t best_cut = box.begin + 1;
    double best_error = -1;
    for (std::size_t cut = box.begin + 1; cut < box.end; ++cut) {
        left.add(cells[cut - 1]);
        Totals right = box.totals;
        for (int c = 0; c < 3; ++c)
            right.sum[c] -= left.sum[c];
        right.count -= left.count;
        right.energy -= left.energy;
        const double error = left.error() + right.error();
        if (best_error < 0 || error < best_error) {
            best_error = error;
            best_cut = cut;
        }
    }
    return {Box{box.begin, best_cut, totals_of(cells, box.begin, best_cut)},
            Box{best_cut, box.end, totals_of(cells, best_cut, box.end)}};
}

PaletteColour rounded_mean(const Totals& totals) {
    PaletteColour colour{};
    for (int c = 0; c < 3; ++c)
        colour[c] = static_cast<std::uint8_t>(
            std::clamp(std::lround(totals.sum[c] / totals.count), 0L, 255L));
    return colour;
}

}  // namespace

PaletteBuilder::PaletteBuilder() : bins_(std::size_t(1) << (3 * kBinBits)) {}

void PaletteBuilder::add(std::span<const std::uint8_t> rgb) {
    constexpr int shift = 8 - kBinBits;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
        const std::uint8_t r = rgb[i], g = rgb[i + 1], b = rgb[i + 2];
        if (const int corner = corner_of(r, g, b); corner >= 0) {
            ++corners_[std::size_t(corner)];
            continue;
        }
        Bin& bin = bins_[(std::size_t(r >> shift) << (2 * kBinBits)) |
                         (std::size_t(g >> shift) << kBinBits) | std::size_t(b >> shift)];
        ++bin.count;
        bin.sum[0] += r;
        bin.sum[1] += g;
        bin.sum[2] += b;
    }
}

std::vector<PaletteColour> PaletteBuilder::build(int max_colours) const {
    std::vector<PaletteColour> palette;
    for (int corner = 0; corner < 8; ++corner)
        if (corners_[std::size_t(corner)] > 0 && int(palette.size()) < max_colours)
            palette.push_back({std::uint8_t(corner & 1 ? 255 : 0),
                               std::uint8_t(corner & 2 ? 255 : 0),
                               std::uint8_t(corner & 4 ? 255 : 0)});
    std::vector<Cell> cells;
    for (const Bin& bin : bins_) {
        if (bin.count == 0)
            continue;
        Cell cell{
            double(bin.count), {double(bin.sum[0]), double(bin.sum[1]), double(bin.sum[2])}, 0};
        cell.energy =
            (cell.sum[0] * cell.sum[0] + cell.sum[1] * cell.sum[1] + cell.sum[2] * cell.sum[2]) /
            cell.count;
        cells.push_back(cell);
    }
    const std::size_t budget = std::size_t(std::max(0, max_colours - int(palette.size())));
    if (cells.empty() || budget == 0)
        return palette;

    std::vector<Box> boxes = {Box{0, cells.size(), totals_of(cells, 0, cells.size())}};
    while (boxes.size() < budget) {
        std::size_t worst = 0;
        for (std::size_t i = 1; i < boxes.size(); ++i)
            if (boxes[i].totals.error() > boxes[worst].totals.error())
                worst = i;
        // A box of one cell, or of cells that all lie on one point, cannot be split further.
        if (boxes[worst].end - boxes[worst].begin < 2 || boxes[worst].totals.error() <= 1e-9)
            break;
        const auto [left, right] = split(cells, boxes[worst]);
        boxes[worst] = left;
        boxes.push_back(right);
    }
    for (const Box& box : boxes)
        palette.push_back(rounded_mean(box.totals));
    return palette;
}

PaletteDither::PaletteDither(std::vector<PaletteColour> palette)
    : palette_(std::move(palette)), pair_cache_(std::size_t(1) << (3 * kCacheBits), -1) {
    corner_index_.fill(-1);
    for (std::size_t i = 0; i < palette_.size(); ++i) {
        const int corner = corner_of(palette_[i][0], palette_[i][1], palette_[i][2]);
        if (corner >= 0 && corner_index_[std::size_t(corner)] < 0)
            corner_index_[std::size_t(corner)] = int(i);
    }
}

// The pair of palette colours for the colours of one cache cell, chosen for its centre: a is
// the nearest colour, b the one whose segment from a passes closest, its contrast weighed in
// (b = a when no mix comes clearly closer than a alone).
PaletteDither::Pair PaletteDither::pair_for(int r, int g, int b) {
    constexpr int shift = 8 - kCacheBits;
    const std::size_t key = (std::size_t(r >> shift) << (2 * kCacheBits)) |
                            (std::size_t(g >> shift) << kCacheBits) | std::size_t(b >> shift);
    if (pair_cache_[key] >= 0)
        return Pair{std::uint8_t(pair_cache_[key] & 0xff), std::uint8_t(pair_cache_[key] >> 8)};

    const double half = double(1 << shift) * 0.5 - 0.5;
    const double centre[3] = {(r >> shift << shift) + half, (g >> shift << shift) + half,
                              (b >> shift << shift) + half};
    std::size_t a = 0;
    double nearest = -1;
    for (std::size_t i = 0; i < palette_.size(); ++i) {
        double d = 0;
        for (int c = 0; c < 3; ++c)
            d += (centre[c] - palette_[i][c]) * (centre[c] - palette_[i][c]);
        if (nearest < 0 || d < nearest) {
            nearest = d;
            a = i;
        }
    }
    std::size_t second = a;
    double best = -1;
    double best_miss = nearest;
    for (std::size_t i = 0; i < palette_.size(); ++i) {
        double u[3], v[3], uu = 0, uv = 0;
        for (int c = 0; c < 3; ++c) {
            u[c] = double(palette_[i][c]) - palette_[a][c];
            v[c] = centre[c] - palette_[a][c];
            uu += u[c] * u[c];
            uv += u[c] * v[c];
        }
        if (uu == 0 || uv <= 0)
            continue;
        const double t = std::min(1.0, uv / uu);
        double miss = 0;
        for (int c = 0; c < 3; ++c)
            miss += (v[c] - t * u[c]) * (v[c] - t * u[c]);
        const double cost = miss + kNoiseWeight * uu;
        if (best < 0 || cost < best) {
            best = cost;
            best_miss = miss;
            second = i;
        }
    }
    // A mix that comes hardly closer than a alone is not worth its pattern: at the edge of the
    // palette's colours the only mixes left pair a with colours far away.
    if (best_miss > 0.5 * nearest)
        second = a;
    pair_cache_[key] = std::int32_t(a | (second << 8));
    return Pair{std::uint8_t(a), std::uint8_t(second)};
}

void PaletteDither::map(std::span<const std::uint8_t> rgb, int width, int height,
                        std::span<std::uint8_t> indices) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t at = std::size_t(y) * std::size_t(width) + std::size_t(x);
            const std::uint8_t* p = &rgb[3 * at];
            const int corner = corner_of(p[0], p[1], p[2]);
            if (corner >= 0 && corner_index_[std::size_t(corner)] >= 0) {
                indices[at] = std::uint8_t(corner_index_[std::size_t(corner)]);
                continue;
            }
            const Pair pair = pair_for(p[0], p[1], p[2]);
            if (pair.a == pair.b) {
                indices[at] = pair.a;
                continue;
            }
            const PaletteColour& a = palette_[pair.a];
            const PaletteColour& b = palette_[pair.b];
            double uu = 0, uv = 0;
            for (int c = 0; c < 3; ++c) {
                const double u = double(b[c]) - a[c];
                uu += u * u;
                uv += u * (double(p[c]) - a[c]);
            }
            const double threshold = (kBayer[y & 7][x & 7] + 0.5) / 64.0;
            indices[at] = uv > threshold * uu ? pair.b : pair.a;
        }
    }
}
