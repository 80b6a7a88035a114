#include "model/controls.h"

#include <algorithm>

#include "model/derived_values.h"
#include "model/texts.h"

namespace {

using R = ParameterRecord;

constexpr int kMovieSizeStep = 16;
constexpr int kLargestMovie = 480;
constexpr int kMovieStart = 240;

constexpr ControlRange kImageSize{controls::kSmallestImage, 0.0f, 1.0f, 10.0f, 0};

// clang-format off
constexpr FieldControl kFields[] = {
    {"image_size_single",    &R::image_size_single,    kImageSize},
    {"image_size_rotation",  &R::image_size_rotation,  kImageSize},
    {"image_size_animation", &R::image_size_animation, kImageSize},
    {"rotation_step",        &R::rotation_step,        controls::kRotationStep},
    {"animation_step",       &R::animation_step,       controls::kAnimationStep},
    {"thickness",            &R::thickness,            controls::kThickness},
    {"omega",                &R::omega,                controls::kRefractiveIndex},
    {"epsilon",              &R::epsilon,              controls::kRefractiveIndex},
    {"alpha",                &R::alpha,                controls::kRefractiveIndex},
    {"gamma",                &R::gamma,                controls::kRefractiveIndex},
    {"two_vz",               &R::two_vz,               controls::kOpticAxialAngle},
    {"numerical_aperture",   &R::numerical_aperture,   controls::kNumericalAperture},
    {"c_axis_theta",         &R::c_axis_theta,         controls::kAxisTheta},
    {"c_axis_phi",           &R::c_axis_phi,           controls::kAxisPhi},
    {"x_axis_theta",         &R::x_axis_theta,         controls::kAxisTheta},
    {"x_axis_phi",           &R::x_axis_phi,           controls::kAxisPhi},
    {"y_axis_theta",         &R::y_axis_theta,         controls::kAxisTheta},
    {"y_axis_phi",           &R::y_axis_phi,           controls::kAxisPhi},
    {"z_axis_theta",         &R::z_axis_theta,         controls::kAxisTheta},
    {"z_axis_phi",           &R::z_axis_phi,           controls::kAxisPhi},
    {"a_axis_theta",         &R::a_axis_theta,         controls::kAxisTheta},
    {"a_axis_phi",           &R::a_axis_phi,           controls::kAxisPhi},
    {"b_axis_theta",         &R::b_axis_theta,         controls::kAxisTheta},
    {"b_axis_phi",           &R::b_axis_phi,           controls::kAxisPhi},
    {"wedge_retardation",    &R::wedge_retardation,    controls::kWedgeRetardation},
    {"stage_azimuth",        &R::stage_azimuth,        controls::kStageAzimuth},
};

constexpr SwitchValue kAxisTypes[] = {{kUniaxial, texts::uniaxial}, {kBiaxial, texts::biaxial}};
constexpr SwitchValue kDrawModes[] = {{kSingleImage, texts::single_image_mode},
                                      {kRotationImage, texts::rotation_image_mode},
                                      {kAnimation, texts::animation_mode}};
constexpr SwitchValue kTestPlates[] = {{kNoPlate, texts::no_test_plate},
                                       {kFirstOrderPlate, texts::test_plate_inserted},
                                       {kQuarterWavePlate, texts::quarter_wave_plate},
                                       {kQuartzWedge, texts::quartz_wedge}};
constexpr SwitchValue kDrawRanges[] = {{kMicroscopeField, texts::microscope_field},
                                       {kFullRange, texts::full_range}};
constexpr SwitchValue kProjections[] = {{kSineProjection, texts::sine_projection},
                                        {kWulffProjection, texts::wulff_projection}};

const SwitchControl kSwitches[] = {
    {"axis_type",       &R::axis_type,       texts::optic_axis_type_tip, kAxisTypes},
    {"draw_mode",       &R::draw_mode,       texts::drawing_mode_tip,    kDrawModes},
    {"no_test_plate",   &R::no_test_plate,   texts::test_plate_tip,      kTestPlates},
    {"draw_range",      &R::draw_range,      texts::drawing_range_tip,   kDrawRanges},
    {"projection_kind", &R::projection_kind, texts::projection_tip,      kProjections},
};
// clang-format on

bool is_image_size(float R::*field) {
    return field == &R::image_size_single || field == &R::image_size_rotation ||
           field == &R::image_size_animation;
}

int mode_of_size(float R::*field) {
    if (field == &R::image_size_rotation)
        return kRotationImage;
    return field == &R::image_size_animation ? kAnimation : kSingleImage;
}

std::size_t index_of(const SwitchControl& control, std::int32_t value) {
    for (std::size_t i = 0; i < control.values.size(); ++i)
        if (control.values[i].value == value)
            return i;
    return 0;
}

}  // namespace

float snap_rotation_step(float entered, float previous) {
    const int old_half_degrees = static_cast<int>(2.0f * previous);
    int n = static_cast<int>(2.0f * entered);
    if (n < 1)
        n = 1;
    // n is the step in half degrees; 360 half degrees is the half turn the step must divide.
    while (360 % n != 0) {
        n += n > old_half_degrees ? 1 : -1;
    }
    return static_cast<float>(n) * 0.5f;
}

std::vector<float> rotation_steps() {
    std::vector<float> steps;
    const ControlRange& range = controls::kRotationStep;
    for (float step = range.lower; step <= range.upper; step += range.step)
        if (snap_rotation_step(step, step) == step)
            steps.push_back(step);
    return steps;
}

bool is_rotation_step(double step) {
    const std::vector<float> steps = rotation_steps();
    return std::find(steps.begin(), steps.end(), step) != steps.end();
}

double scale_reach(const ControlRange& range) {
    return double(range.upper) - double(range.page);
}

ControlRange image_size_range(const ParameterRecord& record, int draw_mode) {
    ControlRange range = kImageSize;
    range.upper = static_cast<float>(max_image_size(record, draw_mode));
    return range;
}

ControlRange light_range(float reference_light) {
    const double upper =
        std::max(2.0 * reference_light, double(reference_light) + controls::kToneStep);
    return {0.0f, static_cast<float>(upper), controls::kToneStep, controls::kToneStep, 1};
}

ControlRange movie_size_range(int figure_side) {
    const int lower = (figure_side + kMovieSizeStep - 1) / kMovieSizeStep * kMovieSizeStep;
    return {float(lower), float(kLargestMovie), float(kMovieSizeStep), float(kMovieSizeStep), 0};
}

int default_movie_size(int figure_side) {
    return std::max(kMovieStart, static_cast<int>(movie_size_range(figure_side).lower));
}

std::span<const FieldControl> field_controls() {
    return kFields;
}

const FieldControl* field_control(float ParameterRecord::*field) {
    for (const FieldControl& control : kFields)
        if (control.field == field)
            return &control;
    return nullptr;
}

ControlRange control_range(const ParameterRecord& record, float ParameterRecord::*field) {
    if (is_image_size(field))
        return image_size_range(record, mode_of_size(field));
    const FieldControl* control = field_control(field);
    return control != nullptr ? control->range : ControlRange{};
}

std::span<const SwitchControl> switch_controls() {
    return kSwitches;
}

const SwitchControl& switch_control(std::int32_t ParameterRecord::*field) {
    for (const SwitchControl& control : kSwitches)
        if (control.field == field)
            return control;
    return kSwitches[0];
}

std::int32_t next_value(const SwitchControl& control, std::int32_t value) {
    return control.values[(index_of(control, value) + 1) % control.values.size()].value;
}

const char* caption_of(const SwitchControl& control, std::int32_t value) {
    return control.values[index_of(control, value)].caption;
}

bool takes_value(const SwitchControl& control, std::int32_t value) {
    return std::any_of(control.values.begin(), control.values.end(),
                       [value](const SwitchValue& v) { return v.value == value; });
}
