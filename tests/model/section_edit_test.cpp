#include "model/section_edit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "model/derived_values.h"
#include "model/mineral_list.h"
#include "optics/crystal_model.h"
#include "optics/figure_computation.h"
#include "optics/optic_axes.h"

namespace {

// Each section stands its axis up and lays the optic axial plane along azimuth 0 (Y has no
// x component), from axes turned away from every section; the set stays rigid.
TEST(SectionEdit, BiaxialSectionsStandTheNamedAxisUpWithTheAxialPlaneAtAzimuthZero) {
    const struct {
        float two_vz;
        Section section;
        int vertical;
    } cases[] = {
        {40, Section::kAcuteBisectrix, kAxisZ},   {140, Section::kAcuteBisectrix, kAxisX},
        {140, Section::kObtuseBisectrix, kAxisZ}, {40, Section::kOpticAxis, kAxisA},
        {140, Section::kOpticNormal, kAxisY},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.two_vz) + " " + std::to_string(int(c.section)));
        ParameterRecord r{};
        set_default_parameters(r);
        r.axis_type = kBiaxial;
        r.two_vz = c.two_vz;
        OrientationState state;
        recompute_axes_for_two_v(r, state);
        select_rotation_axis(state, kAxisZ);
        tilt_rotation_axis(r, state, 37.0f);
        turn_rotation_axis(r, state, 123.0f);
        apply_section(r, state, c.section);
        auto axis = [&](int i) {
            return unit_vector(radians(r.*state.axes[i].theta), radians(r.*state.axes[i].phi));
        };
        EXPECT_NEAR(axis(c.vertical).z, 1.0, 1e-6);
        EXPECT_NEAR(axis(kAxisY).x, 0.0, 2e-3);
        EXPECT_NEAR(std::abs(dot(axis(kAxisA), axis(kAxisZ))), std::cos(radians(c.two_vz / 2)),
                    1e-5);
        EXPECT_NEAR(dot(axis(kAxisX), axis(kAxisZ)), 0.0, 1e-5);
    }
}

// Muscovite's acute-bisectrix figure turned to 45° in the animation: the melatopes lie on
// the diagonal, symmetric about the centre, at sin V from it, V being half the acute angle
// (the sine projection of a direction V from the microscope axis). Its flash figure has the
// optic axis in the stage: it leaves the crystal nowhere within the objective's cone
// (n̄ sin θ ≤ NA) at any turn of the stage.
TEST(SectionEdit, AcuteBisectrixMelatopesOnTheDiagonalAndNoAxisInTheFlashFigure) {
    const MineralList list =
        load_mineral_list(std::string(LUMITRA_SOURCE_DIR) + "/data/minerals.tsv");
    ParameterRecord r{};
    set_default_parameters(r);
    OrientationState state;
    for (const char* name : {"muscovite", "quartz"}) {
        const Mineral* mineral = find_mineral(list.minerals, name);
        ASSERT_NE(mineral, nullptr);
        apply_mineral(r, state, *mineral);
        apply_section(r, state,
                      r.axis_type == kBiaxial ? Section::kAcuteBisectrix : Section::kFlash);
        r.draw_mode = kAnimation;
        update_derived_fields(r);
        const DrawSetup setup = prepare_draw(r);
        ASSERT_EQ(setup.frame_count, 72);  // 5° a frame: frame 9 is at 45°
        const std::vector<ProjectedAxis> axes = projected_optic_axes(setup, 9);
        if (r.axis_type == kUniaxial) {
            for (int k = 0; k < setup.frame_count; ++k) {
                const ProjectedAxis c = projected_optic_axes(setup, k).front();
                EXPECT_GT(setup.mean_index * std::hypot(c.x, c.y), r.numerical_aperture) << k;
            }
            continue;
        }
        const double v = radians(std::min(mineral->two_vz, 180.0f - mineral->two_vz) / 2);
        for (const ProjectedAxis& a : axes) {
            EXPECT_NEAR(std::hypot(a.x, a.y), std::sin(v), 1e-4);
            EXPECT_NEAR(std::abs(a.x), std::abs(a.y), 1e-4);
        }
        EXPECT_NEAR(axes[0].x, -axes[1].x, 1e-4);
        EXPECT_NEAR(axes[0].y, -axes[1].y, 1e-4);
    }
}

}  // namespace
