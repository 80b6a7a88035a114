// The minerals a course looks at, read from the table shipped with the program
// (data/minerals.tsv): one representative composition per row with its published ranges and
// its source. A mineral is set through the same edits the optical-properties panel makes.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/orientation_edit.h"
#include "model/parameter_record.h"

enum class MineralKind { kIsotropic, kUniaxial, kBiaxial };

struct Mineral {
    std::string name;     // English, the name --mineral takes
    std::string name_ja;  // Japanese, UTF-8
    MineralKind kind = MineralKind::kUniaxial;
    // Uniaxial: ω and ε; isotropic: the one index in omega. Biaxial: α, γ and 2Vz (degrees).
    float omega = 0, epsilon = 0;
    float alpha = 0, gamma = 0, two_vz = 0;
    char sign = '0';  // '+', '-' or '0' as the table states it
    // The published ranges the row is checked against (biaxial rows only).
    float two_vz_min = 0, two_vz_max = 0;
    float beta_min = 0, beta_max = 0;
    std::string source;
    std::string comment;
};

struct MineralList {
    std::vector<Mineral> minerals;
    std::string error;  // one line naming the row, when the table could not be read
};

// The table's text: a header line naming the columns, then one mineral a line, cells
// separated by tabs; lines starting with '#' are comments.
MineralList parse_mineral_list(std::string_view text);
MineralList load_mineral_list(const std::filesystem::path& path);

// β of the biaxial model: the index of the wave normal along the bisectrix Z that vibrates
// along Y, from 1/β² = cos²Vz/α² + sin²Vz/γ².
double beta_index(double alpha, double gamma, double two_vz);

// γ − α, or |ε − ω|.
double birefringence(const Mineral& mineral);

// The mineral of that English name, letters compared without case.
const Mineral* find_mineral(const std::vector<Mineral>& minerals, std::string_view name);

// Up to count names nearest to a mistyped one (fewest letter edits, case ignored).
std::vector<std::string> closest_mineral_names(const std::vector<Mineral>& minerals,
                                               std::string_view name, std::size_t count);

// Sets the crystal kind (an isotropic mineral is a uniaxial crystal with ω = ε) and the
// indices, not 2Vz.
void set_mineral_indices(ParameterRecord& record, const Mineral& mineral);

// The indices, then 2Vz: a new 2Vz moves the axes as the panel's angle edit moves them.
void apply_mineral(ParameterRecord& record, OrientationState& state, const Mineral& mineral);

// The mineral whose values the record holds (compared as the record stores them), if any.
std::optional<std::size_t> mineral_of_record(const std::vector<Mineral>& minerals,
                                             const ParameterRecord& record);

// The list as tab-separated text with a header line: name, name_ja, kind, omega, epsilon,
// alpha, beta, gamma, two_vz, sign, birefringence, source; empty cells where a column does
// not apply.
std::string mineral_table(const std::vector<Mineral>& minerals);
