#include "model/section_edit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "model/derived_values.h"
#include "model/mineral_list.h"
#include "optics/figure_computation.h"
#include "optics/optic_axes.h"

namespace {

struct Direction {
    double x, y, z;
};

Direction direction(float theta, float phi) {
    const double t = theta * M_PI / 180, p = phi * M_PI / 180;
    return {std::sin(t) * std::cos(p), std::sin(t) * std::sin(p), std::cos(t)};
}

double angle_between_lines(Direction a, Direction b) {
    const double c = std::abs(a.x * b.x + a.y * b.y + a.z * b.z);
    return std::acos(std::min(1.0, c)) * 180 / M_PI;
}

// A biaxial record with its axes turned away from every section first, through the panel.
ParameterRecord turned_biaxial(float two_vz, OrientationState& state) {
    ParameterRecord r{};
    set_default_parameters(r);
    r.axis_type = kBiaxial;
    r.two_vz = two_vz;
    recompute_axes_for_two_v(r, state);
    select_rotation_axis(state, kAxisZ);
    tilt_rotation_axis(r, state, 37.0f);
    turn_rotation_axis(r, state, 123.0f);
    return r;
}

// Each section stands its axis up and lays the optic axial plane along azimuth 0 (the x
// axis of the stage), and the set stays rigid: the optic axes keep 2Vz about Z.
TEST(SectionEdit, BiaxialSectionsStandTheNamedAxisUpWithTheAxialPlaneAtAzimuthZero) {
    const struct {
        float two_vz;
        Section section;
        int vertical;
    } cases[] = {
        {40, Section::kAcuteBisectrix, kAxisZ},  {140, Section::kAcuteBisectrix, kAxisX},
        {40, Section::kObtuseBisectrix, kAxisX}, {140, Section::kObtuseBisectrix, kAxisZ},
        {40, Section::kOpticAxis, kAxisA},       {140, Section::kOpticAxis, kAxisA},
        {40, Section::kOpticNormal, kAxisY},     {140, Section::kOpticNormal, kAxisY},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.two_vz) + " " + std::to_string(int(c.section)));
        OrientationState state;
        ParameterRecord r = turned_biaxial(c.two_vz, state);
        apply_section(r, state, c.section);
        const OrientationState names;
        auto axis = [&](int i) { return direction(r.*names.axes[i].theta, r.*names.axes[i].phi); };
        EXPECT_NEAR(angle_between_lines(axis(c.vertical), {0, 0, 1}), 0.0, 0.05);
        // Y, the normal of the axial plane, lies across azimuth 0: vertical or at 90°.
        const Direction y = axis(kAxisY);
        EXPECT_NEAR(y.x, 0.0, 2e-3);
        EXPECT_NEAR(angle_between_lines(axis(kAxisA), axis(kAxisZ)), c.two_vz / 2, 0.05);
        EXPECT_NEAR(angle_between_lines(axis(kAxisX), axis(kAxisZ)), 90.0, 0.05);
    }
}

// Muscovite's acute-bisectrix figure turned to 45° in the animation: the melatopes lie on
// the diagonal, symmetric about the centre, at sin V from it, V being half the acute angle
// (the sine projection of a direction V from the microscope axis).
TEST(SectionEdit, AcuteBisectrixMelatopesSitOnTheDiagonalAtSinV) {
    const MineralList list =
        load_mineral_list(std::string(LUMITRA_SOURCE_DIR) + "/data/minerals.tsv");
    const Mineral* muscovite = find_mineral(list.minerals, "muscovite");
    ASSERT_NE(muscovite, nullptr);
    ParameterRecord r{};
    set_default_parameters(r);
    OrientationState state;
    apply_mineral(r, state, *muscovite);
    apply_section(r, state, Section::kAcuteBisectrix);
    r.draw_mode = kAnimation;
    r.animation_step = 5.0f;
    update_derived_fields(r);
    const DrawSetup setup = prepare_draw(r);
    ASSERT_EQ(setup.frame_count, 72);
    const int frame_at_45 = 9;
    const std::vector<ProjectedAxis> axes = projected_optic_axes(setup, frame_at_45);
    ASSERT_EQ(axes.size(), 2u);
    const double acute = std::min(muscovite->two_vz, 180.0f - muscovite->two_vz);
    const double expected = std::sin(acute / 2 * M_PI / 180);
    for (const ProjectedAxis& a : axes) {
        EXPECT_NEAR(std::hypot(a.x, a.y), expected, 1e-4);
        EXPECT_NEAR(std::abs(a.x), std::abs(a.y), 1e-4);  // on a diagonal
    }
    EXPECT_NEAR(axes[0].x, -axes[1].x, 1e-4);
    EXPECT_NEAR(axes[0].y, -axes[1].y, 1e-4);
}

// In the flash figure the optic axis lies in the stage: it leaves the crystal nowhere near
// the objective's cone (n̄ sin θ ≤ NA), on any turn of the stage.
TEST(SectionEdit, FlashFigureHasNoOpticAxisInsideTheField) {
    ParameterRecord r{};
    set_default_parameters(r);
    r.axis_type = kUniaxial;
    r.c_axis_theta = 30.0f;
    r.c_axis_phi = 70.0f;
    OrientationState state;
    apply_section(r, state, Section::kFlash);
    r.draw_mode = kRotationImage;
    update_derived_fields(r);
    const DrawSetup setup = prepare_draw(r);
    for (int k = 0; k < setup.frame_count; ++k) {
        const ProjectedAxis c = projected_optic_axes(setup, k).front();
        EXPECT_GT(setup.mean_index * std::hypot(c.x, c.y), r.numerical_aperture) << k;
    }
    // Azimuth 0 at the start, and a uniaxial kind has no bisectrix sections.
    EXPECT_EQ(r.c_axis_phi, 0.0f);
    EXPECT_FALSE(section_applies(Section::kAcuteBisectrix, kUniaxial));
    EXPECT_FALSE(section_applies(Section::kFlash, kBiaxial));
}

}  // namespace
