// The interference-colour chart against the figure it stands for: its colours are the
// figure's pixels, its orders end where the colours are darkest, and its lines follow
// Δn = Γ / d.
#include "render/colour_chart.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "model/accessories.h"
#include "optics/figure_computation.h"
#include "support/default_record.h"
#include "support/scripted_progress.h"

namespace {

// Linear light of an encoded byte shown in opening tones (level 254 as 255), against the
// brightest value of its picture.
double linear_of_byte(int byte, double brightest) {
    return std::pow(byte / 255.0, double(kEncodingGamma)) * brightest;
}

std::vector<Mineral> course_minerals() {
    return load_mineral_list(std::filesystem::path(LUMITRA_SOURCE_DIR) / "data/minerals.tsv")
        .minerals;
}

// A uniform plate: a positive uniaxial section cut parallel to its optic axis, the axis at
// 45° to the polarizers, seen straight down at the centre pixel of the figure.
ParameterRecord plate_record(double retardation, std::int32_t accessory) {
    ParameterRecord record = record_for(kSingleImage, 21);
    record.axis_type = kUniaxial;
    record.omega = 1.544f;
    record.epsilon = 1.553f;
    record.c_axis_theta = 90.0f;
    record.c_axis_phi = 45.0f;
    record.no_test_plate = accessory;
    const double dn = double(record.epsilon) - double(record.omega);
    record.thickness = static_cast<float>(retardation / (1000.0 * dn));
    return record;
}

TEST(ColourChart, ColourAtRetardationIsTheFigurePixelOfAPlateAt45Degrees) {
    struct Case {
        std::int32_t accessory;
        double fraction;  // of the chart's width
    } cases[] = {{kNoPlate, 0.05}, {kNoPlate, 0.14},        {kNoPlate, 0.27},       {kNoPlate, 0.5},
                 {kNoPlate, 0.81}, {kFirstOrderPlate, 0.1}, {kFirstOrderPlate, 0.4}};
    for (const Case& c : cases) {
        ChartSettings settings;
        settings.plate = c.accessory == kFirstOrderPlate ? kFirstOrderRetardation : 0.0;
        const Chart chart = build_chart(settings, {});
        const int columns = chart.x1 - chart.x0;
        const int column = static_cast<int>(c.fraction * columns);
        const double retardation = chart.x_max * (column + 0.5) / columns;

        ParameterRecord record = plate_record(retardation, c.accessory);
        DrawSetup setup = prepare_draw(record);
        ScriptedProgress progress;
        const std::optional<Figure> figure = compute_figure(setup, progress, 1);
        ASSERT_TRUE(figure);
        const std::uint8_t* centre = &figure->pixels[3 * (10 * 21 + 10)];
        const double figure_brightest = 1.0 / figure->reference_light;
        for (int q = 0; q < 3; ++q) {
            // The figure's level, and the chart's byte at that column in opening tones.
            const double from_figure =
                std::pow(centre[q] / 254.0, double(kEncodingGamma)) * figure_brightest;
            const double from_chart = linear_of_byte(chart.field[3 * column + q], chart.brightest);
            EXPECT_NEAR(from_chart, from_figure, 0.02 * chart.brightest)
                << retardation << " nm, plate " << settings.plate << ", channel " << q;
        }
    }
}

TEST(ColourChart, OrdersEndAtTheDarkestColoursNearMultiplesOf550Nanometres) {
    for (ChartKind kind : {ChartKind::kRetardation, ChartKind::kBirefringence}) {
        ChartSettings settings;
        settings.kind = kind;
        const Chart chart = build_chart(settings, {});
        ASSERT_GE(chart.order_boundaries.size(), 3u);
        EXPECT_GE(chart.order_boundaries[0], 540.0);
        EXPECT_LE(chart.order_boundaries[0], 575.0);
        // The next orders end about one first order later each; beyond about 2500 nm the
        // colours fade towards white and the darkest points drift, so only those are held.
        for (std::size_t k = 1; k < chart.order_boundaries.size(); ++k) {
            if (chart.order_boundaries[k] < 2500.0) {
                EXPECT_NEAR(chart.order_boundaries[k] - chart.order_boundaries[k - 1],
                            chart.order_boundaries[0], 0.05 * chart.order_boundaries[0]);
            }
        }
    }
}

TEST(ColourChart, BirefringenceLinesRunFromTheOriginWithSlopeDnThousandNanometresPerMicrometre) {
    const std::vector<Mineral> minerals = course_minerals();
    ASSERT_FALSE(minerals.empty());
    for (double width : {kChartDefaultRetardation, kChartHighestRetardation}) {
        ChartSettings settings;
        settings.max_retardation = width;
        const Chart chart = build_chart(settings, minerals);
        ASSERT_GE(chart.birefringence_lines.size(), 8u);
        // Pixels back to retardation and thickness from the plot area alone.
        const auto retardation = [&](double x) {
            return (x - chart.x0) / (chart.x1 - chart.x0) * width;
        };
        const auto thickness = [&](double y) {
            return (chart.y1 - y) / (chart.y1 - chart.y0) * kChartThickness;
        };
        for (const ChartBirefringenceLine& line : chart.birefringence_lines) {
            EXPECT_NEAR(retardation(line.p0.x), 0.0, 1e-9);
            EXPECT_NEAR(thickness(line.p0.y), 0.0, 1e-9);
            EXPECT_NEAR(retardation(line.p1.x) / thickness(line.p1.y), line.birefringence * 1000.0,
                        1e-6 * line.birefringence * 1000.0)
                << line.label;
            // The line ends on the top or the right edge.
            EXPECT_TRUE(std::abs(line.p1.y - chart.y0) < 1e-6 ||
                        std::abs(line.p1.x - chart.x1) < 1e-6);
            for (const std::string& name : line.minerals) {
                const Mineral* mineral = find_mineral(minerals, name);
                ASSERT_NE(mineral, nullptr);
                EXPECT_NEAR(birefringence(*mineral), line.birefringence, 0.0005 + 1e-9) << name;
            }
        }
    }
}

TEST(ColourChart, CrystalPointSitsAtItsRetardationAndThickness) {
    struct Case {
        ChartKind kind;
        double dn, thickness;
        bool shown;
    } cases[] = {{ChartKind::kRetardation, 0.009, 30, true},
                 {ChartKind::kRetardation, 0.172, 30, false},  // 5160 nm: off the chart
                 {ChartKind::kRetardation, 0.02, 60, false},   // above 50 µm
                 {ChartKind::kBirefringence, 0.03, 20, true}};
    for (const Case& c : cases) {
        ChartSettings settings;
        settings.kind = c.kind;
        settings.crystal = ChartCrystal{c.dn, c.thickness};
        const Chart chart = build_chart(settings, {});
        ASSERT_EQ(chart.crystal_point.has_value(), c.shown);
        if (!c.shown)
            continue;
        const double across =
            c.kind == ChartKind::kRetardation ? c.dn * c.thickness * 1000.0 : c.dn;
        EXPECT_NEAR(chart.crystal_point->x, chart.x0 + across / chart.x_max * (chart.x1 - chart.x0),
                    1e-6);
        EXPECT_NEAR(chart.crystal_point->y,
                    chart.y1 - c.thickness / kChartThickness * (chart.y1 - chart.y0), 1e-6);
    }
}

}  // namespace
