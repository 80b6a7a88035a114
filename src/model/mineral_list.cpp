#include "model/mineral_list.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numeric>
#include <sstream>

#include "model/angles.h"

namespace {

std::vector<std::string_view> split(std::string_view line, char separator) {
    std::vector<std::string_view> cells;
    for (std::size_t start = 0;;) {
        const std::size_t end = line.find(separator, start);
        cells.push_back(line.substr(start, end - start));
        if (end == std::string_view::npos)
            return cells;
        start = end + 1;
    }
}

bool parse_float(std::string_view text, float& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end && std::isfinite(value);
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool same_letters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

// Levenshtein distance, case ignored.
std::size_t edit_distance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            const std::size_t change = lower(a[i - 1]) == lower(b[j - 1]) ? 0 : 1;
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + change});
            diagonal = above;
        }
    }
    return row[b.size()];
}

constexpr const char* kColumns[] = {"name",       "name_ja",  "kind",     "omega",  "epsilon",
                                    "alpha",      "gamma",    "two_vz",   "sign",   "two_vz_min",
                                    "two_vz_max", "beta_min", "beta_max", "source", "comment"};
constexpr std::size_t kColumnCount = std::size(kColumns);

// The numeric cells a kind needs; the others must be empty.
struct NumberCell {
    std::size_t column;
    float Mineral::*field;
};
constexpr NumberCell kNumbers[] = {
    {3, &Mineral::omega},       {4, &Mineral::epsilon},   {5, &Mineral::alpha},
    {6, &Mineral::gamma},       {7, &Mineral::two_vz},    {9, &Mineral::two_vz_min},
    {10, &Mineral::two_vz_max}, {11, &Mineral::beta_min}, {12, &Mineral::beta_max},
};

bool needs(MineralKind kind, std::size_t column) {
    switch (kind) {
        case MineralKind::kIsotropic:
            return column == 3;
        case MineralKind::kUniaxial:
            return column == 3 || column == 4;
        case MineralKind::kBiaxial:
            return column >= 5 && column != 8;
    }
    return false;
}

std::string parse_row(std::string_view line, Mineral& m) {
    const std::vector<std::string_view> cells = split(line, '\t');
    if (cells.size() != kColumnCount)
        return "has " + std::to_string(cells.size()) + " cells, not " +
               std::to_string(kColumnCount);
    m.name = cells[0];
    m.name_ja = cells[1];
    if (m.name.empty() || m.name_ja.empty())
        return "has no name";
    if (cells[2] == "isotropic")
        m.kind = MineralKind::kIsotropic;
    else if (cells[2] == "uniaxial")
        m.kind = MineralKind::kUniaxial;
    else if (cells[2] == "biaxial")
        m.kind = MineralKind::kBiaxial;
    else
        return "has the unknown kind " + std::string(cells[2]);
    for (const NumberCell& cell : kNumbers) {
        const std::string_view text = cells[cell.column];
        if (!needs(m.kind, cell.column)) {
            if (!text.empty())
                return "gives " + std::string(kColumns[cell.column]) + ", which its kind has not";
            continue;
        }
        if (!parse_float(text, m.*cell.field))
            return "has no number in " + std::string(kColumns[cell.column]);
    }
    if (cells[8] != "+" && cells[8] != "-" && cells[8] != "0")
        return "has the sign " + std::string(cells[8]) + ", not +, - or 0";
    m.sign = cells[8][0];
    m.source = cells[13];
    m.comment = cells[14];
    return {};
}

std::string number(double value, int digits) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", digits, value);
    return text;
}

}  // namespace

MineralList parse_mineral_list(std::string_view text) {
    MineralList list;
    bool header = false;
    int line_number = 0;
    for (std::string_view line : split(text, '\n')) {
        ++line_number;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        if (!header) {
            const std::vector<std::string_view> names = split(line, '\t');
            if (!std::equal(names.begin(), names.end(), std::begin(kColumns), std::end(kColumns)))
                return {{}, "line " + std::to_string(line_number) + ": not the expected header"};
            header = true;
            continue;
        }
        Mineral m;
        if (std::string error = parse_row(line, m); !error.empty())
            return {{}, "line " + std::to_string(line_number) + " " + error};
        list.minerals.push_back(std::move(m));
    }
    if (!header)
        list.error = "no header line";
    return list;
}

MineralList load_mineral_list(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return {{}, path.string() + ": cannot be read"};
    std::ostringstream text;
    text << file.rdbuf();
    MineralList list = parse_mineral_list(text.str());
    if (!list.error.empty())
        list.error = path.string() + ": " + list.error;
    return list;
}

double beta_index(double alpha, double gamma, double two_vz) {
    const double half = two_vz * 0.5 * kRadiansPerDegree;
    const double c = std::cos(half), s = std::sin(half);
    return 1.0 / std::sqrt(c * c / (alpha * alpha) + s * s / (gamma * gamma));
}

double birefringence(const Mineral& m) {
    switch (m.kind) {
        case MineralKind::kIsotropic:
            return 0.0;
        case MineralKind::kUniaxial:
            return std::abs(double(m.epsilon) - m.omega);
        case MineralKind::kBiaxial:
            return double(m.gamma) - m.alpha;
    }
    return 0.0;
}

const Mineral* find_mineral(const std::vector<Mineral>& minerals, std::string_view name) {
    for (const Mineral& m : minerals)
        if (same_letters(m.name, name))
            return &m;
    return nullptr;
}

std::vector<std::string> closest_mineral_names(const std::vector<Mineral>& minerals,
                                               std::string_view name, std::size_t count) {
    std::vector<std::pair<std::size_t, const Mineral*>> ranked;
    for (const Mineral& m : minerals) {
        // A name typed without its composition ("olivine" for "Olivine (Fo100)") is
        // measured against the word before the parenthesis too.
        const std::string_view full = m.name;
        const std::string_view word = full.substr(0, full.find(" ("));
        ranked.push_back({std::min(edit_distance(name, full), edit_distance(name, word)), &m});
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> names;
    for (std::size_t i = 0; i < ranked.size() && i < count; ++i)
        names.push_back(ranked[i].second->name);
    return names;
}

void set_mineral_indices(ParameterRecord& record, const Mineral& m) {
    if (m.kind == MineralKind::kBiaxial) {
        record.axis_type = kBiaxial;
        record.alpha = m.alpha;
        record.gamma = m.gamma;
        return;
    }
    record.axis_type = kUniaxial;
    record.omega = m.omega;
    record.epsilon = m.kind == MineralKind::kIsotropic ? m.omega : m.epsilon;
}

void apply_mineral(ParameterRecord& record, OrientationState& state, const Mineral& m) {
    set_mineral_indices(record, m);
    if (m.kind == MineralKind::kBiaxial && record.two_vz != m.two_vz) {
        record.two_vz = m.two_vz;
        recompute_axes_for_two_v(record, state);
    }
}

std::optional<std::size_t> mineral_of_record(const std::vector<Mineral>& minerals,
                                             const ParameterRecord& r) {
    for (std::size_t i = 0; i < minerals.size(); ++i) {
        const Mineral& m = minerals[i];
        const bool same =
            m.kind == MineralKind::kBiaxial
                ? r.axis_type == kBiaxial && r.alpha == m.alpha && r.gamma == m.gamma &&
                      r.two_vz == m.two_vz
                : r.axis_type == kUniaxial && r.omega == m.omega &&
                      r.epsilon == (m.kind == MineralKind::kIsotropic ? m.omega : m.epsilon);
        if (same)
            return i;
    }
    return std::nullopt;
}

std::string mineral_table(const std::vector<Mineral>& minerals) {
    std::string text =
        "name\tname_ja\tkind\tomega\tepsilon\talpha\tbeta\tgamma\ttwo_vz\tsign\tbirefringence\t"
        "source\n";
    for (const Mineral& m : minerals) {
        const bool biaxial = m.kind == MineralKind::kBiaxial;
        const char* kind = biaxial                            ? "biaxial"
                           : m.kind == MineralKind::kUniaxial ? "uniaxial"
                                                              : "isotropic";
        const std::string omega = biaxial ? "" : number(m.omega, 3);
        const std::string epsilon =
            biaxial ? "" : number(m.kind == MineralKind::kIsotropic ? m.omega : m.epsilon, 3);
        const std::string alpha = biaxial ? number(m.alpha, 3) : "";
        const std::string beta = biaxial ? number(beta_index(m.alpha, m.gamma, m.two_vz), 3) : "";
        const std::string gamma = biaxial ? number(m.gamma, 3) : "";
        const std::string two_vz = biaxial ? number(m.two_vz, 0) : "";
        text += m.name + "\t" + m.name_ja + "\t" + kind + "\t" + omega + "\t" + epsilon + "\t" +
                alpha + "\t" + beta + "\t" + gamma + "\t" + two_vz + "\t" + m.sign + "\t" +
                number(birefringence(m), 3) + "\t" + m.source + "\n";
    }
    return text;
}
