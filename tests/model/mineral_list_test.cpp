#include "model/mineral_list.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "model/controls.h"

namespace {

MineralList shipped_list() {
    return load_mineral_list(std::string(LUMITRA_SOURCE_DIR) + "/data/minerals.tsv");
}

std::string lowered(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Published indices carry three decimals: a computed β within half a unit of the last one
// of the published range agrees with it.
constexpr double kPublishedRounding = 0.0005;

TEST(MineralList, EveryShippedRowIsConsistentWithItsPublishedRanges) {
    const MineralList list = shipped_list();
    ASSERT_EQ(list.error, "");
    ASSERT_GE(list.minerals.size(), 40u);
    std::set<std::string> names, names_ja;
    const ControlRange& index = controls::kRefractiveIndex;
    for (const Mineral& m : list.minerals) {
        SCOPED_TRACE(m.name);
        EXPECT_TRUE(names.insert(lowered(m.name)).second) << "duplicate name";
        EXPECT_TRUE(names_ja.insert(m.name_ja).second) << "duplicate Japanese name";
        EXPECT_EQ(m.source.rfind("http", 0), 0u) << "no source address: " << m.source;
        switch (m.kind) {
            case MineralKind::kIsotropic:
                EXPECT_EQ(m.sign, '0');
                EXPECT_GE(m.omega, index.lower);
                EXPECT_LE(m.omega, index.upper);
                break;
            case MineralKind::kUniaxial:
                // Positive when the extraordinary index is the greater.
                EXPECT_EQ(m.sign, m.epsilon > m.omega ? '+' : '-');
                EXPECT_NE(m.epsilon, m.omega);
                EXPECT_GE(std::min(m.omega, m.epsilon), index.lower);
                EXPECT_LE(std::max(m.omega, m.epsilon), index.upper);
                break;
            case MineralKind::kBiaxial: {
                // Positive when Z is the acute bisectrix.
                EXPECT_EQ(m.sign, m.two_vz < 90.0f ? '+' : '-');
                EXPECT_GE(m.two_vz, m.two_vz_min);
                EXPECT_LE(m.two_vz, m.two_vz_max);
                EXPECT_GT(m.two_vz, 0.0f);
                EXPECT_LT(m.two_vz, 180.0f);
                const double beta = beta_index(m.alpha, m.gamma, m.two_vz);
                EXPECT_GE(beta, m.beta_min - kPublishedRounding);
                EXPECT_LE(beta, m.beta_max + kPublishedRounding);
                EXPECT_LT(m.alpha, m.gamma);
                EXPECT_GE(m.alpha, index.lower);
                EXPECT_LE(m.gamma, index.upper);
                break;
            }
        }
    }
}

// The textbook relation tan²Vz = (α⁻² − β⁻²) / (β⁻² − γ⁻²) gives 2Vz from three indices;
// β from α, γ and that angle must give the third index back.
TEST(MineralList, BetaAgreesWithTheOpticAxialAngleRelation) {
    const struct {
        double alpha, beta, gamma;
    } cases[] = {
        {1.635, 1.651, 1.670}, {1.560, 1.594, 1.598}, {1.530, 1.680, 1.685},
        {1.900, 1.905, 2.010}, {1.520, 1.525, 1.527},
    };
    for (const auto& c : cases) {
        const double a = 1 / (c.alpha * c.alpha), b = 1 / (c.beta * c.beta),
                     g = 1 / (c.gamma * c.gamma);
        const double two_vz = 2 * std::atan(std::sqrt((a - b) / (b - g))) * 180 / M_PI;
        EXPECT_NEAR(beta_index(c.alpha, c.gamma, two_vz), c.beta, 1e-9) << c.beta;
    }
    EXPECT_NEAR(beta_index(1.5, 1.7, 0.0), 1.5, 1e-12);  // uniaxial positive limit: β = α
    EXPECT_NEAR(beta_index(1.5, 1.7, 180.0), 1.7, 1e-12);
}

TEST(MineralList, MalformedTablesAreRefusedNamingTheLine) {
    const std::string header =
        "name\tname_ja\tkind\tomega\tepsilon\talpha\tgamma\ttwo_vz\tsign\ttwo_vz_min\t"
        "two_vz_max\tbeta_min\tbeta_max\tsource\tcomment\n";
    const struct {
        std::string text;
        const char* error;
    } cases[] = {
        {"name\tkind\n", "line 1: not the expected header"},
        {"# only a comment\n", "no header line"},
        {header + "Quartz\t石英\tuniaxial\t1.544\n", "line 2 has 4 cells, not 15"},
        {header + "Q\tq\ttrigonal\t1.544\t1.553\t\t\t\t+\t\t\t\t\ts\t\n",
         "line 2 has the unknown kind trigonal"},
        {header + "Q\tq\tuniaxial\t1.544\tx\t\t\t\t+\t\t\t\t\ts\t\n",
         "line 2 has no number in epsilon"},
        {header + "#\n\nQ\tq\tuniaxial\t1.544\t1.553\t1.5\t\t\t+\t\t\t\t\ts\t\n",
         "line 4 gives alpha, which its kind has not"},
        {header + "Q\tq\tuniaxial\t1.544\t1.553\t\t\t\tpositive\t\t\t\t\ts\t\n",
         "line 2 has the sign positive, not +, - or 0"},
    };
    for (const auto& c : cases) {
        const MineralList list = parse_mineral_list(c.text);
        EXPECT_EQ(list.error, c.error) << c.text;
        EXPECT_TRUE(list.minerals.empty());
    }
}

TEST(MineralList, NamesAreFoundWithoutCaseAndMistypedOnesGetTheNearest) {
    const MineralList list = shipped_list();
    ASSERT_EQ(list.error, "");
    ASSERT_NE(find_mineral(list.minerals, "CALCITE"), nullptr);
    EXPECT_EQ(find_mineral(list.minerals, "CALCITE")->name, "Calcite");
    EXPECT_EQ(find_mineral(list.minerals, "calcit"), nullptr);
    const struct {
        const char* typed;
        const char* nearest;
    } cases[] = {
        {"calcit", "Calcite"}, {"musckovite", "Muscovite"}, {"olivine", "Olivine (Fo100)"}};
    for (const auto& c : cases)
        EXPECT_EQ(closest_mineral_names(list.minerals, c.typed, 3).front(), c.nearest) << c.typed;
}

TEST(MineralList, TheTableHasEveryColumnAndEmptyCellsWhereNoneApplies) {
    MineralList list = shipped_list();
    ASSERT_EQ(list.error, "");
    const std::string table = mineral_table(list.minerals);
    EXPECT_EQ(table.substr(0, table.find('\n')),
              "name\tname_ja\tkind\tomega\tepsilon\talpha\tbeta\tgamma\ttwo_vz\tsign\t"
              "birefringence\tsource");
    // Calcite: 1.658 − 1.486 = 0.172; fluorite has one index in both columns.
    EXPECT_NE(table.find("\nCalcite\t方解石\tuniaxial\t1.658\t1.486\t\t\t\t\t-\t0.172\thttp"),
              std::string::npos);
    EXPECT_NE(table.find("\nFluorite\t蛍石\tisotropic\t1.434\t1.434\t\t\t\t\t0\t0.000\thttp"),
              std::string::npos);
    // Muscovite: β from α 1.560, γ 1.598, 2Vz 140 is 1.593 (the handbook's 1.582–1.615).
    EXPECT_NE(table.find("\nMuscovite\t白雲母\tbiaxial\t\t\t1.560\t1.593\t1.598\t140\t-\t0.038\t"),
              std::string::npos);
}

}  // namespace
