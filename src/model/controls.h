// The controls through which the user sets the record, and the sliders of the figure window:
// the range, step, page and digits of each, written once. The panels and the figure window
// build their spin buttons and scales from here, and lumitra-render accepts exactly the values
// these controls can hold.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "model/parameter_record.h"

// Values from lower to upper on the grid lower + k·step, paged by page, shown with digits
// decimals. A spin button reaches upper itself; a scale, whose page is also its page size,
// stops one page below it (scale_reach).
struct ControlRange {
    float lower;
    float upper;
    float step;
    float page;
    int digits;
};

namespace controls {

// clang-format off
inline constexpr ControlRange kRefractiveIndex  {1.0f, 2.5f, 0.001f, 0.1f, 3};
inline constexpr ControlRange kOpticAxialAngle  {0.0f, 180.0f, 1.0f, 10.0f, 0};  // 2Vz and 2Vx
inline constexpr ControlRange kAxisTheta        {0.0f, 90.0f, 1.0f, 10.0f, 0};
inline constexpr ControlRange kAxisPhi          {0.0f, 360.0f, 1.0f, 10.0f, 0};  // wraps
inline constexpr ControlRange kRotationAngle    {-180.0f, 180.0f, 1.0f, 10.0f, 0};  // "R", wraps
inline constexpr ControlRange kNumericalAperture{0.1f, 1.0f, 0.01f, 0.1f, 2};
inline constexpr ControlRange kThickness        {10.0f, 3000.0f, 1.0f, 10.0f, 0};
inline constexpr ControlRange kRotationStep     {15.0f, 45.0f, 0.5f, 0.5f, 1};
inline constexpr ControlRange kAnimationStep    {1.0f, 10.0f, 1.0f, 1.0f, 0};
inline constexpr ControlRange kWedgeRetardation{0.0f, 2000.0f, 1.0f, 10.0f, 0};  // nm
// The single image's stage azimuth, and the animation's stage slider in the figure window.
inline constexpr ControlRange kStageAzimuth     {0.0f, 360.0f, 1.0f, 1.0f, 0};
inline constexpr float kSmallestImage = 20.0f;  // every mode's size control starts here
// The side of a figure computed for a file or a projector, beyond the size controls: the
// single image or animation frame, or the whole rotation image. A 1080p screen's height.
inline constexpr ControlRange kOutputSize       {kSmallestImage, 1080.0f, 1.0f, 10.0f, 0};

// The figure window's sliders.
inline constexpr float kToneStep = 0.1f;
inline constexpr ControlRange kDisplayGamma     {1.0f, 10.1f, kToneStep, kToneStep, 1};
inline constexpr ControlRange kSpeed            {10.0f, 91.0f, 1.0f, 1.0f, 0};  // degrees a second
inline constexpr float kDefaultSpeed = 45.0f;
// clang-format on

}  // namespace controls

// The stage-azimuth step of the rotation image must divide the half turn in half degrees:
// 15, 18, 20, 22.5, 30, 36 or 45 within the step control's range. An entered value is moved
// away from the previous step to the next such divisor (44 -> 45, 16 from 30 -> 15, one click
// up from 30 -> 36).
float snap_rotation_step(float entered, float previous);
std::vector<float> rotation_steps();
bool is_rotation_step(double step);

// The largest value a scale on the range can take: one page below its upper bound.
double scale_reach(const ControlRange& range);

// The image-size control of a drawing mode: 20 to the mode's maximum for its step.
ControlRange image_size_range(const ParameterRecord& record, int draw_mode);

// The light-intensity slider of a figure whose reference light is L0: 0 to 2 L0, but never
// so low that L0 itself would lie beyond the slider's last step.
ControlRange light_range(float reference_light);

// The side of a movie of a figure of side S: S rounded up to a multiple of 16, in steps of
// 16 up to 480; it starts at 240, or at the lower bound when that is larger.
ControlRange movie_size_range(int figure_side);
int default_movie_size(int figure_side);

// A real field of the record and the control that sets it.
struct FieldControl {
    const char* name;  // the field's name
    float ParameterRecord::*field;
    ControlRange range;  // for an image size the upper bound follows the record: control_range
};

// Every real field that a control sets, in the record's order. The derived fields are not
// among them.
std::span<const FieldControl> field_controls();
const FieldControl* field_control(float ParameterRecord::*field);

// The range of the field's control as the record stands.
ControlRange control_range(const ParameterRecord& record, float ParameterRecord::*field);

// A switch of the record: its values in the order a click on its button moves through them,
// each with the button's caption (Shift-JIS).
struct SwitchValue {
    std::int32_t value;
    const char* caption;
};
struct SwitchControl {
    const char* name;  // the field's name
    std::int32_t ParameterRecord::*field;
    const char* tip;  // Shift-JIS
    std::span<const SwitchValue> values;
};

// The crystal kind, drawing mode, test plate and drawing range of the mode buttons, then the
// projection of the preview's button.
std::span<const SwitchControl> switch_controls();
const SwitchControl& switch_control(std::int32_t ParameterRecord::*field);

// The value a click moves the switch on to, and the caption of a value; a value the switch
// does not have counts as its first.
std::int32_t next_value(const SwitchControl& control, std::int32_t value);
const char* caption_of(const SwitchControl& control, std::int32_t value);
bool takes_value(const SwitchControl& control, std::int32_t value);
