#include "app/render_options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

#include "panels/image_size_limit.h"
#include "panels/orientation_edit.h"

namespace {

// How a field's value is checked: a closed range, or one of the values its control offers.
enum class Check {
    kRange,
    kRotationStep,   // 15, 18, 20, 22.5, 30, 36 or 45: the steps that divide 180
    kSwitch,         // an integer in the range
    kProjection,     // 0 or 2
    kRotationSize,   // 20 to the rotation maximum for rotation_step
    kAnimationSize,  // 20 to the animation maximum for animation_step
    kImageSize,      // 20 to the maximum of the current mode
    kSamplingStep,   // as the current mode's step control
    kSupplement,     // a range; the field receives 180 minus the value (2Vx for two_vz)
};

struct FieldOption {
    const char* name;
    float ParameterRecord::*real;
    std::int32_t ParameterRecord::*integer;
    Check check;
    double low;
    double high;
    // The spin button's step from low: a value between steps is one the control never
    // holds. 0 for the optic axes, which may be placed anywhere.
    double step;
};

using R = ParameterRecord;

// clang-format off
const FieldOption kFields[] = {
    {"image-size-single",    &R::image_size_single,    nullptr, Check::kRange, 20, 400, 1},
    {"image-size-rotation",  &R::image_size_rotation,  nullptr, Check::kRotationSize, 20, 0, 1},
    {"image-size-animation", &R::image_size_animation, nullptr, Check::kAnimationSize, 20, 0, 1},
    {"image-size",           &R::image_size,           nullptr, Check::kImageSize, 20, 0, 1},
    {"rotation-step",        &R::rotation_step,        nullptr, Check::kRotationStep, 15, 45, 0},
    {"animation-step",       &R::animation_step,       nullptr, Check::kRange, 1, 10, 1},
    {"sampling-step",        &R::sampling_step,        nullptr, Check::kSamplingStep, 0, 45, 0.5},
    {"thickness",            &R::thickness,            nullptr, Check::kRange, 10, 3000, 1},
    {"omega",                &R::omega,                nullptr, Check::kRange, 1.0, 2.5, 0.001},
    {"epsilon",              &R::epsilon,              nullptr, Check::kRange, 1.0, 2.5, 0.001},
    {"alpha",                &R::alpha,                nullptr, Check::kRange, 1.0, 2.5, 0.001},
    {"gamma",                &R::gamma,                nullptr, Check::kRange, 1.0, 2.5, 0.001},
    {"two-vz",               &R::two_vz,               nullptr, Check::kRange, 0, 180, 1},
    {"two-vx",               &R::two_vz,               nullptr, Check::kSupplement, 0, 180, 1},
    {"numerical-aperture",   &R::numerical_aperture,   nullptr, Check::kRange, 0.1, 1.0, 0.01},
    {"c-axis-theta",         &R::c_axis_theta,         nullptr, Check::kRange, 0, 90, 1},
    {"c-axis-phi",           &R::c_axis_phi,           nullptr, Check::kRange, 0, 360, 1},
    {"x-axis-theta",         &R::x_axis_theta,         nullptr, Check::kRange, 0, 90, 1},
    {"x-axis-phi",           &R::x_axis_phi,           nullptr, Check::kRange, 0, 360, 1},
    {"y-axis-theta",         &R::y_axis_theta,         nullptr, Check::kRange, 0, 90, 1},
    {"y-axis-phi",           &R::y_axis_phi,           nullptr, Check::kRange, 0, 360, 1},
    {"z-axis-theta",         &R::z_axis_theta,         nullptr, Check::kRange, 0, 90, 1},
    {"z-axis-phi",           &R::z_axis_phi,           nullptr, Check::kRange, 0, 360, 1},
    {"a-axis-theta",         &R::a_axis_theta,         nullptr, Check::kRange, 0, 90, 0},
    {"a-axis-phi",           &R::a_axis_phi,           nullptr, Check::kRange, 0, 360, 0},
    {"b-axis-theta",         &R::b_axis_theta,         nullptr, Check::kRange, 0, 90, 0},
    {"b-axis-phi",           &R::b_axis_phi,           nullptr, Check::kRange, 0, 360, 0},
    {"axis-type",            nullptr, &R::axis_type,       Check::kSwitch, 0, 1, 0},
    {"draw-mode",            nullptr, &R::draw_mode,       Check::kSwitch, 0, 2, 0},
    {"no-test-plate",        nullptr, &R::no_test_plate,   Check::kSwitch, 0, 1, 0},
    {"draw-range",           nullptr, &R::draw_range,      Check::kSwitch, 0, 1, 0},
    {"projection-kind",      nullptr, &R::projection_kind, Check::kProjection, 0, 2, 0},
};
// clang-format on

constexpr double kRotationSteps[] = {15, 18, 20, 22.5, 30, 36, 45};

const FieldOption* find_field(std::string_view name) {
    for (const FieldOption& field : kFields)
        if (name == field.name)
            return &field;
    return nullptr;
}

// A finite decimal number and nothing else.
std::optional<double> parse_number(std::string_view text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string format_number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string out_of_range(std::string_view name, double value, double low, double high) {
    return "--" + std::string(name) + " " + format_number(value) + " is outside " +
           format_number(low) + " to " + format_number(high);
}

bool is_rotation_step(double value) {
    return std::find(std::begin(kRotationSteps), std::end(kRotationSteps), value) !=
           std::end(kRotationSteps);
}

// Whether value lies on the grid low, low + step, … (within float rounding of the step).
bool on_step(double value, double low, double step) {
    const double steps = (value - low) / step;
    return std::abs(steps - std::round(steps)) < 1e-4;
}

// The checks that depend on no other field.
std::string check_alone(const FieldOption& field, double value) {
    if (field.step > 0 && !on_step(value, field.low, field.step))
        return "--" + std::string(field.name) + " " + format_number(value) +
               " is between the control's steps (" + format_number(field.step) + " from " +
               format_number(field.low) + ")";
    switch (field.check) {
        case Check::kRange:
        case Check::kSupplement:
            if (value < field.low || value > field.high)
                return out_of_range(field.name, value, field.low, field.high);
            return {};
        case Check::kSwitch:
            if (value != std::trunc(value) || value < field.low || value > field.high)
                return "--" + std::string(field.name) + " " + format_number(value) +
                       " is not one of the integers " + format_number(field.low) + " to " +
                       format_number(field.high);
            return {};
        case Check::kProjection:
            if (value != 0 && value != 2)
                return "--projection-kind " + format_number(value) +
                       " is neither 0 (sine) nor 2 (Wulff)";
            return {};
        case Check::kRotationStep:
            if (!is_rotation_step(value))
                return "--rotation-step " + format_number(value) +
                       " is not one of 15, 18, 20, 22.5, 30, 36, 45";
            return {};
        default:
            return {};  // checked once every field is known
    }
}

float& size_field(ParameterRecord& r, int mode) {
    if (mode == kRotationImage)
        return r.image_size_rotation;
    if (mode == kAnimation)
        return r.image_size_animation;
    return r.image_size_single;
}

float step_for(const ParameterRecord& r, int mode) {
    return mode == kRotationImage ? r.rotation_step : r.animation_step;
}

// An option that edits the orientation, with the value its field receives.
struct OrientationEdit {
    const FieldOption* field;
    float value;
};

// Which of A, B, X, Y, Z the option sets, as the orientation panel numbers them, or -1.
int axis_of(const FieldOption& field) {
    const OrientationState panel;
    for (int axis = 0; axis < kAxisCount; ++axis)
        if (field.real == panel.axes[axis].theta || field.real == panel.axes[axis].phi)
            return axis;
    return -1;
}

bool is_orientation_edit(const FieldOption& field) {
    return field.real == &R::two_vz || axis_of(field) >= 0;
}

// The orientation options as the window's edits would make them, one after another from the
// panels as they are at start-up: a new optic axial angle moves the axes that follow it, and
// an angle of X, Y or Z chooses that axis as the rotation axis and turns the whole set with
// it. Optic axes given explicitly are taken as they stand and nothing is derived: the
// principal axes cannot follow them, so giving both is a contradiction.
std::string apply_orientation_edits(ParameterRecord& r, const std::vector<OrientationEdit>& edits) {
    OrientationState state;
    const OrientationEdit* optic = nullptr;
    const OrientationEdit* principal = nullptr;
    for (const OrientationEdit& edit : edits) {
        const int axis = axis_of(*edit.field);
        if ((axis == kAxisA || axis == kAxisB) && optic == nullptr)
            optic = &edit;
        if (axis >= kAxisX && principal == nullptr)
            principal = &edit;
    }
    if (optic != nullptr && principal != nullptr)
        return "--" + std::string(principal->field->name) + " and --" + optic->field->name +
               " contradict each other: give the optic axes A, B or the principal axes X, Y, Z";
    for (const OrientationEdit& edit : edits) {
        const int axis = axis_of(*edit.field);
        if (optic != nullptr) {
            r.*(edit.field->real) = edit.value;
            continue;
        }
        if (axis < 0) {
            // The 2Vz and 2Vx spin buttons report only a change.
            if (edit.value != r.two_vz) {
                r.two_vz = edit.value;
                recompute_axes_for_two_v(r, state);
            }
            continue;
        }
        if (axis != state.rotation_axis)
            select_rotation_axis(state, axis);
        // The axis's spin button shows its angle within the control's range, and setting it
        // to the value it shows changes nothing.
        const float field_value = r.*(edit.field->real);
        const float shown =
            std::clamp(field_value, float(edit.field->low), float(edit.field->high));
        if (edit.value == shown)
            continue;
        if (edit.field->real == state.axes[axis].theta)
            tilt_rotation_axis(r, state, edit.value);
        else
            turn_rotation_axis(r, state, edit.value);
    }
    return {};
}

}  // namespace

ParsedRenderOptions parse_render_options(std::span<const std::string_view> arguments) {
    RenderOptions o;
    set_default_parameters(o.record);
    ParameterRecord& r = o.record;
    std::vector<const FieldOption*> given;
    std::vector<OrientationEdit> edits;
    auto fail = [](std::string message) { return ParsedRenderOptions{std::nullopt, message}; };

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            o.help = true;
            continue;
        }
        if (argument.substr(0, 2) != "--")
            return fail("unexpected argument " + std::string(argument));
        std::string_view name = argument.substr(2);
        std::optional<std::string_view> text;
        if (const std::size_t equals = name.find('='); equals != std::string_view::npos) {
            text = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        if (name == "mean-index")
            return fail(
                "--mean-index is not taken: it follows from omega and epsilon, or from "
                "alpha and gamma");
        const FieldOption* field = find_field(name);
        const bool known =
            field || name == "frame" || name == "light" || name == "display-gamma" || name == "out";
        if (!known)
            return fail("unknown option --" + std::string(name));
        if (!text) {
            if (i + 1 == arguments.size())
                return fail("--" + std::string(name) + " needs a value");
            text = arguments[++i];
        }
        if (name == "out") {
            if (text->empty())
                return fail("--out needs a file name");
            o.out = std::string(*text);
            continue;
        }
        const std::optional<double> value = parse_number(*text);
        if (!value)
            return fail("--" + std::string(name) + " " + std::string(*text) + " is not a number");
        if (name == "frame") {
            if (*value != std::trunc(*value) || *value < 0 || *value > 1e6)
                return fail("--frame " + std::string(*text) + " is not a frame number");
            o.frame = static_cast<int>(*value);
        } else if (name == "light") {
            if (*value < 0)
                return fail("--light " + std::string(*text) + " is negative");
            o.light = static_cast<float>(*value);
        } else if (name == "display-gamma") {
            if (*value < 1.0 || *value > 10.0)
                return fail(out_of_range(name, *value, 1.0, 10.0));
            o.display_gamma = static_cast<float>(*value);
        } else {
            if (std::string error = check_alone(*field, *value); !error.empty())
                return fail(error);
            const double stored = field->check == Check::kSupplement ? 180.0 - *value : *value;
            if (field->real && is_orientation_edit(*field))
                edits.push_back({field, static_cast<float>(stored)});
            else if (field->real)
                r.*(field->real) = static_cast<float>(stored);
            else
                r.*(field->integer) = static_cast<std::int32_t>(stored);
            given.push_back(field);
        }
    }
    auto was_given = [&](const char* name) {
        return std::any_of(given.begin(), given.end(),
                           [&](const FieldOption* f) { return std::string_view(f->name) == name; });
    };

    if (std::string error = apply_orientation_edits(r, edits); !error.empty())
        return fail(error);
    // The optical properties panel keeps alpha at or below gamma.
    if (r.alpha > r.gamma)
        return fail("--alpha " + format_number(r.alpha) + " is above --gamma " +
                    format_number(r.gamma) + ": the least index cannot exceed the greatest");

    const int mode = r.draw_mode;
    const bool stepped = mode != kSingleImage;
    // The step in effect stands for the current mode's step control.
    if (was_given("sampling-step")) {
        const float step = r.sampling_step;
        if (mode == kRotationImage && !is_rotation_step(step))
            return fail("--sampling-step " + format_number(step) +
                        " is not one of 15, 18, 20, 22.5, 30, 36, 45");
        if (mode == kAnimation && (step < 1 || step > 10 || step != std::trunc(step)))
            return fail(out_of_range("sampling-step", step, 1, 10));
        if (mode == kSingleImage && (step < 0 || step > 45))
            return fail(out_of_range("sampling-step", step, 0, 45));
        if (mode == kRotationImage)
            r.rotation_step = step;
        if (mode == kAnimation)
            r.animation_step = step;
    }
    // The image size in effect likewise stands for the current mode's size control.
    if (was_given("image-size"))
        size_field(r, mode) = r.image_size;

    // A size given on the command line must fit its mode's control; a default one that does
    // not is lowered, as the size control lowers it when it is built.
    const struct {
        int mode;
        const char* name;
    } sizes[] = {{kSingleImage, "image-size-single"},
                 {kRotationImage, "image-size-rotation"},
                 {kAnimation, "image-size-animation"}};
    for (const auto& s : sizes) {
        const int maximum = max_image_size(s.mode, step_for(r, s.mode));
        float& size = size_field(r, s.mode);
        const bool explicit_size = was_given(s.name) || (s.mode == mode && was_given("image-size"));
        if (explicit_size && (size < 20 || size > maximum))
            return fail(
                out_of_range(s.mode == mode && was_given("image-size") ? "image-size" : s.name,
                             size, 20, maximum));
        if (size > maximum)
            size = static_cast<float>(maximum);
    }

    r.image_size = size_field(r, mode);
    if (stepped)
        r.sampling_step = step_for(r, mode);
    else if (!was_given("sampling-step"))
        r.sampling_step = 0;
    r.mean_index = derived_mean_index(r);
    return {o, {}};
}

std::string check_against_figure(const RenderOptions& options, const Figure& figure) {
    if (options.frame >= figure.frames)
        return "--frame " + std::to_string(options.frame) + " is outside 0 to " +
               std::to_string(figure.frames - 1);
    if (options.light) {
        const double high = 2.0 * figure.reference_light - 0.1;
        if (*options.light > high + 1e-6)
            return out_of_range("light", *options.light, 0, high);
    }
    return {};
}

std::string render_usage() {
    std::string text =
        "usage: lumitra-render [--FIELD VALUE]... [--frame K] [--light L] [--display-gamma G] "
        "--out FILE\n"
        "Draws an interference figure as the main window's Draw does and writes frame K\n"
        "(default 0) as PPM (.ppm, .pnm), BMP (.bmp, or no extension), JPEG (.jpg, .jpeg)\n"
        "or PNG (.png); in the animation mode .mpg, .mpeg, .mp4, .webm or .gif writes a movie\n"
        "(--movie-size T, --speed S).\n"
        "  --out FILE         the file to write (required)\n"
        "  --frame K          the frame to write, from 0 (default) to the frame count less one\n"
        "  --light L          light intensity, 0 to 2 L0 - 0.1 (default L0 of the figure)\n"
        "  --display-gamma G  display gamma, 1 to 10 (default 2.4)\n"
        "Fields of the parameter record (unset ones as after start-up):\n";
    for (const FieldOption& field : kFields) {
        text += "  --" + std::string(field.name);
        switch (field.check) {
            case Check::kRange:
            case Check::kSwitch:
                text += "  " + format_number(field.low) + " to " + format_number(field.high);
                break;
            case Check::kProjection:
                text += "  0 (sine) or 2 (Wulff)";
                break;
            case Check::kRotationStep:
                text += "  15, 18, 20, 22.5, 30, 36 or 45";
                break;
            case Check::kRotationSize:
                text += "  20 to the rotation image's maximum for the rotation step";
                break;
            case Check::kAnimationSize:
                text += "  20 to the animation's maximum for the animation step";
                break;
            case Check::kImageSize:
                text += "  the size of the current drawing mode";
                break;
            case Check::kSamplingStep:
                text += "  the step of the current drawing mode";
                break;
            case Check::kSupplement:
                text += "  0 to 180, sets two-vz to 180 minus it";
                break;
        }
        text += "\n";
    }
    text +=
        "What the window derives is derived the same way:\n"
        "  The mean index is not an option: it follows from the indices. alpha may not exceed\n"
        "  gamma. The axes of a biaxial crystal move as the window's edits move them, one edit\n"
        "  per option in the order given. --two-vz and --two-vx edit the optic axial angle;\n"
        "  the theta and phi options of X, Y and Z choose that axis as the rotation axis and\n"
        "  tilt or turn it, and the whole axis set with it. The panel starts with A as its\n"
        "  rotation axis, so --two-vz before any X, Y or Z option keeps A and Y and moves X, Z\n"
        "  and B; after one it keeps X, Y and Z and opens A and B about Z. Theta and phi of one\n"
        "  axis are two edits; either order gives the same axes. The options of A and B place\n"
        "  the optic axes as given, any pair of them: nothing is derived then (--two-vz only\n"
        "  sets the angle), and X, Y or Z options are refused.\n";
    return text;
}
