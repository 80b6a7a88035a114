#include "model/section_edit.h"

#include <algorithm>

#include "model/texts.h"

namespace {

// clang-format off
constexpr SectionName kUniaxialSections[] = {
    {Section::kOpticAxis,       "optic-axis",   texts::section_optic_axis},
    {Section::kFlash,           "flash",        texts::section_flash},
};
constexpr SectionName kBiaxialSections[] = {
    {Section::kAcuteBisectrix,  "bxa",          texts::section_acute_bisectrix},
    {Section::kObtuseBisectrix, "bxo",          texts::section_obtuse_bisectrix},
    {Section::kOpticAxis,       "optic-axis",   texts::section_optic_axis},
    {Section::kOpticNormal,     "optic-normal", texts::section_optic_normal},
};
constexpr SectionName kAllSections[] = {
    kUniaxialSections[0], kUniaxialSections[1], kBiaxialSections[0], kBiaxialSections[1],
    kBiaxialSections[3],
};
// clang-format on

// Tilts the axis up to the microscope axis, then turns the set about it until in_plane lies
// at azimuth 0: a tilt and an R edit of the orientation panel. The panel's own rotation axis
// is selected again afterwards, so that its editable row still names the axis it edits.
void stand_up(ParameterRecord& record, OrientationState& state, int vertical, int in_plane) {
    const int panel_axis = state.rotation_axis;
    select_rotation_axis(state, vertical);
    tilt_rotation_axis(record, state, 0.0f);
    rotate_about_rotation_axis(record, state, -(record.*state.axes[in_plane].phi));
    select_rotation_axis(state, panel_axis);
}

}  // namespace

std::span<const SectionName> sections_for(int axis_type) {
    if (axis_type == kBiaxial)
        return kBiaxialSections;
    return kUniaxialSections;
}

std::span<const SectionName> all_sections() {
    return kAllSections;
}

std::optional<Section> section_by_option(std::string_view option) {
    for (const SectionName& name : kAllSections)
        if (option == name.option)
            return name.section;
    return std::nullopt;
}

bool section_applies(Section section, int axis_type) {
    const std::span<const SectionName> names = sections_for(axis_type);
    return std::any_of(names.begin(), names.end(),
                       [&](const SectionName& name) { return name.section == section; });
}

void apply_section(ParameterRecord& record, OrientationState& state, Section section) {
    if (!section_applies(section, record.axis_type))
        return;
    if (record.axis_type != kBiaxial) {
        record.c_axis_theta = section == Section::kFlash ? 90.0f : 0.0f;
        record.c_axis_phi = 0.0f;
        return;
    }
    // At 2Vz = 90 neither bisectrix is acute; Z is taken.
    const int acute = record.two_vz <= 90.0f ? kAxisZ : kAxisX;
    const int obtuse = acute == kAxisZ ? kAxisX : kAxisZ;
    switch (section) {
        case Section::kAcuteBisectrix:
            stand_up(record, state, acute, obtuse);
            break;
        case Section::kObtuseBisectrix:
            stand_up(record, state, obtuse, acute);
            break;
        case Section::kOpticAxis:
            stand_up(record, state, kAxisA, kAxisZ);
            break;
        case Section::kOpticNormal:
            stand_up(record, state, kAxisY, acute);
            break;
        case Section::kFlash:
            break;
    }
}
