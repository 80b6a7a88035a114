// The sections that give the classic interference figures: each turns the crystal so that
// the named direction lies along the microscope axis, through the same edits the orientation
// panel makes, with the optic axial plane (or a uniaxial optic axis lying in the stage) at
// azimuth 0.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "model/orientation_edit.h"
#include "model/parameter_record.h"

enum class Section {
    kOpticAxis,        // uniaxial C or biaxial A vertical
    kFlash,            // uniaxial: C in the stage plane
    kAcuteBisectrix,   // Z when 2Vz < 90, X when 2Vz > 90
    kObtuseBisectrix,  // the other of X and Z
    kOpticNormal,      // Y
};

struct SectionName {
    Section section;
    const char* option;  // the name lumitra-render takes
    const char* label;   // Shift-JIS
};

// The sections of a crystal kind, in the order the chooser lists them.
std::span<const SectionName> sections_for(int axis_type);
// Every section, for the command line.
std::span<const SectionName> all_sections();
std::optional<Section> section_by_option(std::string_view option);

// Whether the section exists for the crystal kind.
bool section_applies(Section section, int axis_type);

// Turns the record's axes into the section; a section the kind does not have changes nothing.
void apply_section(ParameterRecord& record, OrientationState& state, Section section);
