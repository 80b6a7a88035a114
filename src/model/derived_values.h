// The values that follow from the others: the mean index of the crystal kind, the image size
// and stage-azimuth step of a drawing mode, and the largest image a mode allows. The panels,
// the renderer and the Draw all take them from here.
#pragma once

#include "model/parameter_record.h"

// √(ω ε) for a uniaxial crystal, √(α γ) for a biaxial one: the product taken in double
// precision, the root held in single precision like the indices.
float mean_index(const ParameterRecord& record);

// The largest difference of the crystal kind's indices: |ε − ω| or γ − α.
double record_birefringence(const ParameterRecord& record);

// The optic axial angle about X from the one about Z, and back: 2Vx = 180° − 2Vz. The
// record keeps only 2Vz; 2Vx is shown and may be entered.
constexpr double other_axial_angle(double two_v) {
    return 180.0 - two_v;
}

// The field that keeps the image size of a drawing mode.
float& image_size_field(ParameterRecord& record, int draw_mode);
float image_size_of_mode(const ParameterRecord& record, int draw_mode);

// The stage-azimuth step of a stepped mode: rotation_step or animation_step (the rotation
// step for the single image, which has none).
float stage_step(const ParameterRecord& record, int draw_mode);

// The largest image side a drawing mode allows: 400 for a single image; for the rotation
// image, what keeps the ring of 360/step touching sub-images within 660 pixels; for the
// animation, what keeps the whole frame series within about 1600 × 1600. step is
// rotation_step or animation_step in degrees (ignored for the single image).
int max_image_size(int draw_mode, float step);
int max_image_size(const ParameterRecord& record, int draw_mode);

// Brings the derived fields up to date after an edit: the current mode's size is lowered to
// the mode's maximum (and stays lowered), image_size and, in a stepped mode, sampling_step
// copy the current mode's values, and mean_index follows the indices of the crystal kind.
void update_derived_fields(ParameterRecord& record);
