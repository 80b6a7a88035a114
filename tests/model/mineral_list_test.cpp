#include "model/mineral_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>

#include "model/controls.h"

namespace {

MineralList shipped_list() {
    return load_mineral_list(std::string(LUMITRA_SOURCE_DIR) + "/data/minerals.tsv");
}

TEST(MineralList, EveryShippedRowIsConsistentWithItsPublishedRanges) {
    const MineralList list = shipped_list();
    ASSERT_EQ(list.error, "");
    ASSERT_GE(list.minerals.size(), 40u);
    std::set<std::string> names_ja;
    for (const Mineral& m : list.minerals) {
        SCOPED_TRACE(m.name);
        EXPECT_EQ(find_mineral(list.minerals, m.name), &m) << "duplicate name, in some case";
        EXPECT_TRUE(names_ja.insert(m.name_ja).second) << "duplicate Japanese name";
        EXPECT_EQ(m.source.rfind("http", 0), 0u) << "no source address: " << m.source;
        // Every index must be one the index controls can hold (an unused one is 0).
        for (float n : {m.omega, m.epsilon, m.alpha, m.gamma})
            EXPECT_TRUE(n == 0 || (n >= controls::kRefractiveIndex.lower &&
                                   n <= controls::kRefractiveIndex.upper));
        if (m.kind == MineralKind::kIsotropic) {
            EXPECT_EQ(m.sign, '0');
        } else if (m.kind == MineralKind::kUniaxial) {
            // Positive when the extraordinary index is the greater.
            EXPECT_EQ(m.sign, m.epsilon > m.omega ? '+' : m.epsilon < m.omega ? '-' : '?');
        } else {
            // Positive when Z is the acute bisectrix. Published indices carry three decimals:
            // β within half a unit of the last one of the published range agrees with it.
            EXPECT_EQ(m.sign, m.two_vz < 90.0f ? '+' : '-');
            EXPECT_TRUE(m.two_vz >= m.two_vz_min && m.two_vz <= m.two_vz_max) << m.two_vz;
            const double beta = beta_index(m.alpha, m.gamma, m.two_vz);
            EXPECT_TRUE(beta >= m.beta_min - 5e-4 && beta <= m.beta_max + 5e-4) << beta;
            EXPECT_LT(m.alpha, m.gamma);
        }
    }
}

// The textbook relation tan²Vz = (α⁻² − β⁻²) / (β⁻² − γ⁻²) gives 2Vz from three indices;
// β from α, γ and that angle must give the third index back.
TEST(MineralList, BetaAgreesWithTheOpticAxialAngleRelation) {
    const struct {
        double alpha, beta, gamma;
    } cases[] = {{1.635, 1.651, 1.670}, {1.560, 1.594, 1.598}, {1.530, 1.680, 1.685}};
    for (const auto& c : cases) {
        const double a = 1 / (c.alpha * c.alpha), b = 1 / (c.beta * c.beta),
                     g = 1 / (c.gamma * c.gamma);
        const double two_vz = 2 * std::atan(std::sqrt((a - b) / (b - g))) * 180 / M_PI;
        EXPECT_NEAR(beta_index(c.alpha, c.gamma, two_vz), c.beta, 1e-9) << c.beta;
    }
}

TEST(MineralList, TheTableHasEveryColumnAndEmptyCellsWhereNoneApplies) {
    const std::string table = mineral_table(shipped_list().minerals);
    EXPECT_EQ(table.substr(0, table.find('\n')),
              "name\tname_ja\tkind\tomega\tepsilon\talpha\tbeta\tgamma\ttwo_vz\tsign\t"
              "birefringence\tsource");
    // Calcite: 1.658 − 1.486 = 0.172. Muscovite: β from α 1.560, γ 1.598, 2Vz 140 is 1.593.
    EXPECT_NE(table.find("\nCalcite\t方解石\tuniaxial\t1.658\t1.486\t\t\t\t\t-\t0.172\thttp"),
              std::string::npos);
    EXPECT_NE(table.find("\nMuscovite\t白雲母\tbiaxial\t\t\t1.560\t1.593\t1.598\t140\t-\t0.038"),
              std::string::npos);
}

}  // namespace
