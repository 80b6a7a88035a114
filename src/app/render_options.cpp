#include "app/render_options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

#include "app/option_help.h"
#include "model/accessories.h"
#include "model/controls.h"
#include "model/crystal_rotation.h"
#include "model/derived_values.h"
#include "model/orientation_edit.h"
#include "model/section_edit.h"
#include "output/chart_writer.h"
#include "output/file_extension.h"
#include "output/movie_pipeline.h"
#include "render/pixel_readout.h"
#include "render/vibration_directions.h"

namespace {

using R = ParameterRecord;

// How a field's value is checked besides its control's range and steps.
enum class Check {
    kRange,          // the control's range and steps
    kPlacedAxis,     // an optic axis, which the window computes: the range, anywhere in it
    kPrincipalAxis,  // X, Y or Z: on the steps as an edit, anywhere in a whole axis set
    kImageSize,      // the range, with the maximum for the mode's step once every field is known
    kRotationStep,   // one of the steps that divide the half turn
    kSwitch,         // one of the switch's values
    kSupplement,     // 2Vx: the range; two_vz receives the other axial angle
    kCurrentSize,    // the image size in effect: stands for the current mode's size control
    kCurrentStep,    // the step in effect: stands for the current mode's step control
};

struct FieldOption {
    std::string name;  // without the two dashes
    const FieldControl* control = nullptr;
    const SwitchControl* switch_control = nullptr;
    Check check = Check::kRange;
    float R::*field() const { return control != nullptr ? control->field : nullptr; }
};

std::string dashed(std::string_view name) {
    std::string text(name);
    std::replace(text.begin(), text.end(), '_', '-');
    return text;
}

Check check_of(const FieldControl& control) {
    const float R::*field = control.field;
    if (field == &R::image_size_single || field == &R::image_size_rotation ||
        field == &R::image_size_animation)
        return Check::kImageSize;
    if (field == &R::rotation_step)
        return Check::kRotationStep;
    if (field == &R::a_axis_theta || field == &R::a_axis_phi || field == &R::b_axis_theta ||
        field == &R::b_axis_phi)
        return Check::kPlacedAxis;
    if (field == &R::x_axis_theta || field == &R::x_axis_phi || field == &R::y_axis_theta ||
        field == &R::y_axis_phi || field == &R::z_axis_theta || field == &R::z_axis_phi)
        return Check::kPrincipalAxis;
    return Check::kRange;
}

// Every field a control sets, by its name, in the record's order; after the size and step
// fields the size and step in effect, after 2Vz its partner 2Vx; then the switches.
const std::vector<FieldOption>& field_options() {
    static const std::vector<FieldOption> options = [] {
        std::vector<FieldOption> list;
        for (const FieldControl& control : field_controls()) {
            list.push_back({dashed(control.name), &control, nullptr, check_of(control)});
            if (control.field == &R::image_size_animation)
                list.push_back({"image-size", nullptr, nullptr, Check::kCurrentSize});
            if (control.field == &R::animation_step)
                list.push_back({"sampling-step", nullptr, nullptr, Check::kCurrentStep});
            if (control.field == &R::two_vz)
                list.push_back({"two-vx", &control, nullptr, Check::kSupplement});
        }
        for (const SwitchControl& control : switch_controls())
            list.push_back({dashed(control.name), nullptr, &control, Check::kSwitch});
        return list;
    }();
    return options;
}

const FieldOption* find_field(std::string_view name) {
    for (const FieldOption& option : field_options())
        if (name == option.name)
            return &option;
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

// The option's value text as a number that single precision, which every value is stored
// in, holds; else why not.
std::optional<double> parse_value(std::string_view name, std::string_view text,
                                  std::string& error) {
    const std::optional<double> value = parse_number(text);
    if (!value)
        error = "--" + std::string(name) + " " + std::string(text) +
                " is not a number: it takes a decimal number such as 30 or 1.544";
    else if (std::abs(*value) > std::numeric_limits<float>::max())
        error =
            "--" + std::string(name) + " " + std::string(text) + " is beyond any control's range";
    return error.empty() ? value : std::nullopt;
}

std::string format_number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// The shortest text that reads back as the value: a value held in single precision reads as
// it was written (0.1, not 0.100000001).
std::string format_value(double value) {
    char text[64];
    const float single = static_cast<float>(value);
    const auto written = static_cast<double>(single) == value
                             ? std::to_chars(text, text + sizeof text, single)
                             : std::to_chars(text, text + sizeof text, value);
    return std::string(text, written.ptr);
}

// A bound as a reader compares it with the value: with six digits where that keeps the
// value on the same side of it, else with as many as it takes ("90" for 90.00001, but
// 29.14692 for 29.14691 against 29.14692004).
std::string format_bound(double bound, double value) {
    for (int digits = 6; digits < 17; ++digits) {
        char text[64];
        std::snprintf(text, sizeof text, "%.*g", digits, bound);
        const double shown = std::strtod(text, nullptr);
        if ((shown < value) == (bound < value) && (shown > value) == (bound > value))
            return text;
    }
    return format_value(bound);
}

// The value as the user gave it, when known; else as the program holds it.
std::string shown_value(std::string_view given, double value) {
    return given.empty() ? format_value(value) : std::string(given);
}

std::string out_of_range(std::string_view name, std::string_view given, double value, double low,
                         double high) {
    return "--" + std::string(name) + " " + shown_value(given, value) + " is outside " +
           format_bound(low, value) + " to " + format_bound(high, value);
}

// "a, b or c"
std::string list_of(const std::vector<double>& values) {
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i)
        text += (i == 0 ? "" : i + 1 == values.size() ? " or " : ", ") + format_number(values[i]);
    return text;
}

std::string list_of_steps() {
    const std::vector<float> steps = rotation_steps();
    return list_of({steps.begin(), steps.end()});
}

// The values a switch option takes: its control's, except that --no-test-plate keeps its two
// (the first-order plate or none); --plate chooses among all the accessories.
std::vector<double> switch_values(const SwitchControl& control) {
    std::vector<double> values;
    for (const SwitchValue& v : control.values)
        if (control.field != &R::no_test_plate || v.value == kNoPlate ||
            v.value == kFirstOrderPlate)
            values.push_back(v.value);
    std::sort(values.begin(), values.end());
    return values;
}

std::string list_of_values(const SwitchControl& control) {
    return list_of(switch_values(control));
}

}  // namespace

std::vector<std::pair<std::string, std::int32_t>> plate_names() {
    return {{"none", kNoPlate},
            {format_number(kFirstOrderRetardation), kFirstOrderPlate},
            {format_number(kQuarterWaveRetardation), kQuarterWavePlate},
            {"wedge", kQuartzWedge}};
}

namespace {

std::string list_of_plates() {
    std::string text;
    for (const auto& [name, value] : plate_names())
        text += (text.empty() ? "" : "|") + name;
    return text;
}

// Whether value lies on the grid low, low + step, … (within float rounding of the step).
bool on_step(double value, const ControlRange& range) {
    const double steps = (value - range.lower) / range.step;
    return std::abs(steps - std::round(steps)) < 1e-4;
}

// An empty string when the value lies within the range (up to a scale's reach where the
// control is a scale) and, unless anywhere will do, on its steps.
std::string range_error(std::string_view name, std::string_view given, double value,
                        const ControlRange& range, double upper, bool on_grid = true) {
    if (on_grid && !on_step(value, range)) {
        // The first values of the grid say both where it starts and how far apart its values
        // are; an image size's upper bound is not known yet.
        std::string grid;
        for (int k = 0; k < 3; ++k)
            grid += format_number(double(range.lower) + k * double(range.step)) + ", ";
        return "--" + std::string(name) + " " + shown_value(given, value) +
               " is not a value its control takes: " + grid + "and so on in steps of " +
               format_number(range.step) +
               (upper < 1e8 ? " up to " + format_number(upper) : std::string());
    }
    // The bounds are held in single precision, like the values the controls store.
    if (value < range.lower - 1e-6 || value > upper + 1e-6)
        return out_of_range(name, given, value, range.lower, upper);
    return {};
}
std::string range_error(std::string_view name, std::string_view given, double value,
                        const ControlRange& range) {
    return range_error(name, given, value, range, range.upper);
}

// The checks that depend on no other field.
std::string check_alone(const FieldOption& option, std::string_view given, double value) {
    switch (option.check) {
        case Check::kRange:
        case Check::kSupplement:
            return range_error(option.name, given, value, option.control->range);
        case Check::kPlacedAxis:
        case Check::kPrincipalAxis: {
            // A turned axis may lie a hair below the stage plane; the grid of a principal
            // axis's control is checked once it is known whether the axis is edited.
            const ControlRange& range = option.control->range;
            const bool theta = range.upper == controls::kAxisTheta.upper;
            return range_error(option.name, given, value, range,
                               theta ? kLargestRotatedTheta : range.upper, false);
        }
        case Check::kImageSize:
            // The upper bound needs the steps, which may come later.
            return range_error(option.name, given, value, option.control->range, 1e9);
        case Check::kRotationStep:
            if (!is_rotation_step(value))
                return "--rotation-step " + std::string(given) + " is not " + list_of_steps();
            return {};
        case Check::kSwitch:
            if (const std::vector<double> values = switch_values(*option.switch_control);
                std::find(values.begin(), values.end(), value) == values.end())
                return "--" + option.name + " " + std::string(given) + " is not " +
                       list_of_values(*option.switch_control);
            return {};
        case Check::kCurrentSize:
        case Check::kCurrentStep:
            return {};  // checked once the mode is known
    }
    return {};
}

// An option that edits the orientation, with the value its field receives, or a section.
struct OrientationEdit {
    const FieldOption* option;
    float value;
    std::optional<Section> section = std::nullopt;

    std::string name() const { return section ? "section" : option->name; }
};

// Which of A, B, X, Y, Z the option sets, as the orientation panel numbers them, or -1.
int axis_of(const FieldOption& option) {
    const OrientationState panel;
    for (int axis = 0; axis < kAxisCount; ++axis)
        if (option.field() == panel.axes[axis].theta || option.field() == panel.axes[axis].phi)
            return axis;
    return -1;
}

bool is_orientation_edit(const FieldOption& option) {
    return option.field() == &R::two_vz || axis_of(option) >= 0;
}

const char* option_of(Section section) {
    for (const SectionName& name : all_sections())
        if (name.section == section)
            return name.option;
    return "";
}

// "a, b or c" of names
std::string list_of_names(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    return text;
}

std::vector<std::string> section_options() {
    std::vector<std::string> names;
    for (const SectionName& name : all_sections())
        names.push_back(name.option);
    return names;
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
    std::vector<float R::*> angles;
    for (const OrientationEdit& edit : edits) {
        const int axis = edit.section ? kAxisX : axis_of(*edit.option);
        if ((axis == kAxisA || axis == kAxisB) && optic == nullptr)
            optic = &edit;
        if (axis >= kAxisX && principal == nullptr)
            principal = &edit;
        if (!edit.section && axis >= 0 &&
            std::find(angles.begin(), angles.end(), edit.option->field()) == angles.end())
            angles.push_back(edit.option->field());
    }
    // Every angle of every axis, as a settings file stores the axes the window's edits left:
    // taken as they stand, like optic axes alone.
    const bool whole_set = angles.size() == 2 * kAxisCount;
    if (optic != nullptr && principal != nullptr && !whole_set)
        return "--" + principal->name() + " and --" + optic->name() +
               " contradict each other: give the optic axes A, B, the principal axes X, Y, Z, "
               "or all five";
    for (const OrientationEdit& edit : edits)
        if (optic == nullptr && !edit.section && edit.option->check == Check::kPrincipalAxis)
            if (std::string error =
                    range_error(edit.option->name, {}, edit.value, edit.option->control->range);
                !error.empty())
                return error;
    for (const OrientationEdit& edit : edits) {
        if (edit.section) {
            if (!section_applies(*edit.section, r.axis_type))
                return "--section " + std::string(option_of(*edit.section)) +
                       " is not a section of a " +
                       (r.axis_type == kBiaxial ? "biaxial" : "uniaxial") + " crystal";
            apply_section(r, state, *edit.section);
            continue;
        }
        const int axis = axis_of(*edit.option);
        float R::*field = edit.option->field();
        if (optic != nullptr) {
            r.*field = edit.value;
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
        const ControlRange& range = edit.option->control->range;
        if (edit.value == std::clamp(r.*field, range.lower, range.upper))
            continue;
        if (field == state.axes[axis].theta)
            tilt_rotation_axis(r, state, edit.value);
        else
            turn_rotation_axis(r, state, edit.value);
    }
    return {};
}

// The parse so far: the options, the record's fields given, and the orientation edits in
// their order.
struct Parse {
    RenderOptions options;
    std::vector<const FieldOption*> given;
    std::vector<OrientationEdit> edits;

    bool was_given(std::string_view name) const {
        return std::any_of(given.begin(), given.end(),
                           [&](const FieldOption* option) { return option->name == name; });
    }
};

bool is_own_option(std::string_view name) {
    return name == "frame" || name == "light" || name == "display-gamma" || name == "out" ||
           name == "movie-size" || name == "speed" || name == "mineral" || name == "section" ||
           name == "plate" || name == "wedge-sweep" || name == "chart" || name == "chart-kind" ||
           name == "chart-max-retardation" || name == "probe" || name == "output-size";
}

// The chart's options: its file, its kind and the retardation across.
std::string take_chart_option(RenderOptions& o, std::string_view name, std::string_view text) {
    if (name == "chart") {
        if (text.empty())
            return "--chart needs a file name";
        o.chart = std::string(text);
        return {};
    }
    if (name == "chart-kind") {
        if (text == "retardation")
            o.chart_kind = ChartKind::kRetardation;
        else if (text == "birefringence")
            o.chart_kind = ChartKind::kBirefringence;
        else
            return "--chart-kind " + std::string(text) + " is not retardation|birefringence";
        return {};
    }
    std::string error;
    const std::optional<double> value = parse_value(name, text, error);
    if (!value)
        return error;
    if (*value < kChartLowestRetardation || *value > kChartHighestRetardation)
        return out_of_range(name, text, *value, kChartLowestRetardation, kChartHighestRetardation);
    o.chart_max_retardation = *value;
    return {};
}

// A mineral sets the kind and the indices at once, and its 2Vz as the 2Vz edit does, so
// that options after it change what it set.
std::string take_mineral(Parse& parse, std::string_view text, const MineralList& list) {
    if (list.minerals.empty())
        return "--mineral needs the mineral list: " +
               (list.error.empty() ? std::string("none was read") : list.error);
    const Mineral* mineral = find_mineral(list.minerals, text);
    if (mineral == nullptr)
        return "--mineral " + std::string(text) + " is not in the list; the closest names are " +
               list_of_names(closest_mineral_names(list.minerals, text, 3)) +
               " (--list-minerals shows them all)";
    set_mineral_indices(parse.options.record, *mineral);
    if (mineral->kind == MineralKind::kBiaxial)
        parse.edits.push_back({find_field("two-vz"), mineral->two_vz});
    return {};
}

// FROM:TO, each a retardation the wedge's slider can hold, the two apart.
std::string take_wedge_sweep(RenderOptions& o, std::string_view text) {
    const std::size_t colon = text.find(':');
    const std::optional<double> from = parse_number(text.substr(0, colon));
    const std::optional<double> to =
        colon == std::string_view::npos ? std::nullopt : parse_number(text.substr(colon + 1));
    if (!from || !to)
        return "--wedge-sweep " + std::string(text) +
               " is not FROM:TO, two retardations in nm such as 0:2000";
    const std::string_view ends[] = {text.substr(0, colon), text.substr(colon + 1)};
    for (const std::string_view end : ends)
        if (std::string error =
                range_error("wedge-sweep", end, *parse_number(end), controls::kWedgeRetardation);
            !error.empty())
            return error;
    if (*from == *to)
        return "--wedge-sweep " + std::string(text) +
               " does not move the wedge: FROM and TO differ";
    o.wedge_sweep = {static_cast<float>(*from), static_cast<float>(*to)};
    return {};
}

// X,Y: a pixel of the picture, each a whole number from 0; whether it lies in the picture
// is checked with the figure.
std::string take_probe(RenderOptions& o, std::string_view text) {
    const std::size_t comma = text.find(',');
    const std::optional<double> x = parse_number(text.substr(0, comma));
    const std::optional<double> y =
        comma == std::string_view::npos ? std::nullopt : parse_number(text.substr(comma + 1));
    const auto whole = [](std::optional<double> v) {
        return v && *v == std::trunc(*v) && *v >= 0 && *v <= 1e6;
    };
    if (!whole(x) || !whole(y))
        return "--probe " + std::string(text) + " is not X,Y (two pixel numbers from 0)";
    o.probe = {static_cast<int>(*x), static_cast<int>(*y)};
    return {};
}

// The options that are not fields of the record.
std::string take_own_option(Parse& parse, std::string_view name, std::string_view text) {
    RenderOptions& o = parse.options;
    if (name == "section") {
        const std::optional<Section> section = section_by_option(text);
        if (!section)
            return "--section " + std::string(text) + " is not " + list_of_names(section_options());
        parse.edits.push_back({nullptr, 0.0f, section});
        return {};
    }
    if (name == "out") {
        if (text.empty())
            return "--out needs a file name";
        o.out = std::string(text);
        return {};
    }
    if (name == "plate") {
        for (const auto& [plate, value] : plate_names())
            if (text == plate) {
                o.record.no_test_plate = value;
                return {};
            }
        return "--plate " + std::string(text) + " is not " + list_of_plates();
    }
    if (name == "wedge-sweep")
        return take_wedge_sweep(o, text);
    if (name.substr(0, 5) == "chart")
        return take_chart_option(o, name, text);
    if (name == "probe")
        return take_probe(o, text);
    std::string error;
    const std::optional<double> value = parse_value(name, text, error);
    if (!value)
        return error;
    if (name == "frame") {
        if (*value != std::trunc(*value) || *value < 0 || *value > 1e6)
            return "--frame " + std::string(text) +
                   " is not a frame number: a whole number from 0 (the first frame)";
        o.frame = static_cast<int>(*value);
    } else if (name == "light") {
        if (*value < 0)
            return "--light " + std::string(text) +
                   " is negative: the light intensity takes 0 to 2 L0 - 0.1";
        o.light = static_cast<float>(*value);
    } else if (name == "display-gamma") {
        const ControlRange& gamma = controls::kDisplayGamma;
        if (*value < gamma.lower || *value > scale_reach(gamma) + 1e-6)
            return out_of_range(name, text, *value, gamma.lower, scale_reach(gamma));
        o.display_gamma = static_cast<float>(*value);
    } else if (name == "speed") {
        error = range_error(name, text, *value, controls::kSpeed, scale_reach(controls::kSpeed));
        if (!error.empty())
            return error;
        o.speed = static_cast<float>(*value);
    } else if (name == "output-size") {
        if (error = range_error(name, text, *value, controls::kOutputSize); !error.empty())
            return error;
        o.output_size = static_cast<int>(*value);
    } else {
        // Any side the movie-size dialog can offer to some figure; the figure's own lower
        // bound is checked with the figure.
        const ControlRange sizes = movie_size_range(1);
        if (error = range_error(name, text, *value, sizes); !error.empty())
            return error;
        o.movie_size = static_cast<int>(*value);
    }
    return {};
}

// One option --name with its value text.
std::string take_option(Parse& parse, std::string_view name, std::string_view text,
                        const MineralList& minerals) {
    if (name == "mineral")
        return take_mineral(parse, text, minerals);
    if (is_own_option(name))
        return take_own_option(parse, name, text);
    const FieldOption* option = find_field(name);
    std::string error;
    const std::optional<double> value = parse_value(name, text, error);
    if (!value)
        return error;
    if (error = check_alone(*option, text, *value); !error.empty())
        return error;
    const double stored = option->check == Check::kSupplement ? other_axial_angle(*value) : *value;
    ParameterRecord& r = parse.options.record;
    if (option->switch_control != nullptr)
        r.*(option->switch_control->field) = static_cast<std::int32_t>(stored);
    else if (is_orientation_edit(*option))
        parse.edits.push_back({option, static_cast<float>(stored)});
    else if (option->check == Check::kCurrentSize)
        r.image_size = static_cast<float>(stored);
    else if (option->check == Check::kCurrentStep)
        r.sampling_step = static_cast<float>(stored);
    else
        r.*(option->field()) = static_cast<float>(stored);
    parse.given.push_back(option);
    return {};
}

// The step in effect stands for the current mode's step control; in the single-image mode,
// which shows none, for whatever a step control may have left there.
std::string take_current_step(ParameterRecord& r) {
    const float step = r.sampling_step;
    switch (r.draw_mode) {
        case kRotationImage:
            if (!is_rotation_step(step))
                return "--sampling-step " + format_number(step) + " is not " + list_of_steps();
            r.rotation_step = step;
            return {};
        case kAnimation:
            if (std::string error =
                    range_error("sampling-step", {}, step, controls::kAnimationStep);
                !error.empty())
                return error;
            r.animation_step = step;
            return {};
        default:
            if (step != 0 && !is_rotation_step(step) &&
                !range_error("sampling-step", {}, step, controls::kAnimationStep).empty())
                return "--sampling-step " + format_number(step) +
                       " is no step of the rotation image or the animation";
            return {};
    }
}

// What needs every option known: the orientation edits in their order, α ≤ γ, the size and
// step in effect, the sizes against their modes' maxima, and the derived fields.
std::string finish_record(Parse& parse) {
    ParameterRecord& r = parse.options.record;
    if (std::string error = apply_orientation_edits(r, parse.edits); !error.empty())
        return error;
    // The optical properties panel keeps alpha at or below gamma.
    if (r.alpha > r.gamma)
        return "--alpha " + format_number(r.alpha) + " is above --gamma " + format_number(r.gamma) +
               ": the least index cannot exceed the greatest";
    const int mode = r.draw_mode;
    const bool wedge = r.no_test_plate == kQuartzWedge;
    if (parse.was_given("wedge-retardation") && !wedge)
        return "--wedge-retardation needs --plate wedge";
    if (parse.options.wedge_sweep) {
        if (!wedge)
            return "--wedge-sweep needs --plate wedge";
        if (mode != kSingleImage)
            return "--wedge-sweep needs the single-image mode (--draw-mode 0)";
        if (parse.was_given("wedge-retardation"))
            return "--wedge-sweep and --wedge-retardation contradict each other";
    }
    if (!parse.options.chart.empty() && !parse.options.out.empty())
        return "--chart and --out: a run writes either the chart or a figure";
    if (parse.was_given("sampling-step"))
        if (std::string error = take_current_step(r); !error.empty())
            return error;
    const bool size_given = parse.was_given("image-size");
    if (size_given)
        image_size_field(r, mode) = r.image_size;
    // A size given must fit its mode's control; a default one that does not is lowered, as
    // the size control lowers it.
    for (const FieldOption& option : field_options()) {
        if (option.check != Check::kImageSize)
            continue;
        const FieldControl& control = *option.control;
        const bool current = &image_size_field(r, mode) == &(r.*control.field);
        const bool given = parse.was_given(option.name) || (current && size_given);
        const ControlRange range = control_range(r, control.field);
        if (given)
            if (std::string error = range_error(current && size_given ? "image-size" : option.name,
                                                {}, r.*control.field, range);
                !error.empty())
                return error;
    }
    update_derived_fields(r);
    return {};
}

}  // namespace

ParsedRenderOptions parse_render_options(std::span<const std::string_view> arguments,
                                         const MineralList& minerals) {
    Parse parse;
    set_default_parameters(parse.options.record);
    auto fail = [](std::string message) { return ParsedRenderOptions{std::nullopt, message}; };

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            parse.options.help = true;
            continue;
        }
        if (argument == "--version") {
            parse.options.version = true;
            continue;
        }
        if (argument == "--antialias") {
            parse.options.antialias = true;
            continue;
        }
        if (argument == "--vibration-directions") {
            parse.options.vibration_directions = true;
            continue;
        }
        if (argument == "--marks" || argument == "--caption") {
            (argument == "--marks" ? parse.options.marks.marks : parse.options.marks.caption) =
                true;
            continue;
        }
        if (argument == "--list-minerals") {
            parse.options.list_minerals = true;
            continue;
        }
        if (argument.substr(0, 2) != "--")
            return fail("unexpected argument " + std::string(argument) +
                        ": every option starts with --, and the file to write is --out FILE");
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
        if (!is_own_option(name) && find_field(name) == nullptr)
            return fail("unknown option --" + std::string(name) +
                        " (lumitra-render --help lists the options)");
        if (!text) {
            if (i + 1 == arguments.size())
                return fail("--" + std::string(name) + " needs a value");
            text = arguments[++i];
        }
        if (std::string error = take_option(parse, name, *text, minerals); !error.empty())
            return fail(error);
    }
    if (std::string error = finish_record(parse); !error.empty())
        return fail(error);
    return {parse.options, {}};
}

std::string check_against_figure(const RenderOptions& options, const Figure& figure) {
    if (options.frame >= figure.frames)
        return "--frame " + std::to_string(options.frame) + " is outside 0 to " +
               std::to_string(figure.frames - 1);
    if (options.probe &&
        (options.probe->first >= figure.side || options.probe->second >= figure.side))
        return "--probe " + std::to_string(options.probe->first) + "," +
               std::to_string(options.probe->second) + " is outside the picture, 0 to " +
               std::to_string(figure.side - 1) + " each way";
    if (options.light) {
        const ControlRange light = light_range(figure.reference_light);
        if (*options.light > scale_reach(light) + 1e-6)
            return out_of_range("light", {}, *options.light, light.lower, scale_reach(light));
    }
    return {};
}

std::optional<int> movie_side(const RenderOptions& options, int figure_side, std::string& error) {
    if (options.record.draw_mode != kAnimation && !options.wedge_sweep) {
        error = options.out + ": movies need the animation mode (--draw-mode 2) or --wedge-sweep";
        return std::nullopt;
    }
    // A figure computed at its output size is its own movie, never enlarged.
    if (options.output_size) {
        if (options.movie_size)
            error = "--movie-size and --output-size both set the movie's side; give one";
        return options.movie_size ? std::nullopt : std::optional(figure_side);
    }
    const ControlRange sizes = movie_size_range(figure_side);
    const int side = options.movie_size.value_or(default_movie_size(figure_side));
    if (side < sizes.lower) {
        error = "--movie-size " + std::to_string(side) + " is below " + format_number(sizes.lower) +
                " for a figure of " + std::to_string(figure_side);
        return std::nullopt;
    }
    return side;
}

namespace {

std::vector<std::string> dotted_extensions(const FormatEntry& entry) {
    std::vector<std::string> names;
    for (std::string_view name : entry.extensions)
        names.push_back(std::string(".").append(name));
    return names;
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        if (!text.empty())
            text += ", ";
        text += name;
    }
    return text;
}

// What a run writes by extension: the stills by name and extensions on one line, the last of
// them beginning the next line with the movies.
std::string format_sentence() {
    std::vector<std::string> stills;
    std::vector<std::string> movies;
    for (const FormatEntry& entry : output_formats()) {
        const std::vector<std::string> names = dotted_extensions(entry);
        if (is_movie(entry.format))
            movies.insert(movies.end(), names.begin(), names.end());
        else
            stills.push_back(std::string(entry.name) + " (" + joined(names) +
                             (entry.default_format ? ", or no extension)" : ")"));
    }
    const std::string last = stills.back();
    stills.pop_back();
    return "(default 0) as " + joined(stills) + "\nor " + last + "; in the animation mode " +
           spoken_list(movies) + " writes a movie\n";
}

std::string movie_lines() {
    std::size_t column = 0;
    for (const FormatEntry& entry : output_formats())
        if (is_movie(entry.format))
            column = std::max(column, joined(dotted_extensions(entry)).size());
    std::string text;
    for (const FormatEntry& entry : output_formats()) {
        if (!is_movie(entry.format))
            continue;
        std::string names = joined(dotted_extensions(entry));
        names.resize(column + 2, ' ');
        text += "  " + names + std::string(entry.summary) + "\n";
    }
    return text;
}

// A help line that goes on over more lines is indented beneath it, so that only the first
// line starts with the option.
std::string wrapped(const std::string& line) {
    constexpr std::size_t kWidth = 92;
    std::string text;
    std::size_t from = 0;
    while (line.size() - from > kWidth) {
        std::size_t cut = line.rfind(' ', from + kWidth);
        if (cut == std::string::npos || cut <= from)
            break;
        text += line.substr(from, cut - from) + "\n      ";
        from = cut + 1;
    }
    return text + line.substr(from) + "\n";
}

// "  --thickness  thickness of the section, in micrometres: 10 to 3000 in steps of 1
// (default 30)": the words from the help table, the rest from the controls and the record
// after start-up.
std::string field_help(const FieldOption& option, const ParameterRecord& start) {
    const OptionHelp* help = option_help(option.name);
    std::string line = "  --" + option.name + "  " +
                       (help != nullptr ? std::string(help->meaning) : std::string());
    if (help != nullptr && !help->unit.empty())
        line += ", in " + std::string(help->unit);
    line += ": ";
    const ControlRange* range = option.control != nullptr ? &option.control->range : nullptr;
    auto span = [&] { return format_number(range->lower) + " to " + format_number(range->upper); };
    auto steps = [&] { return " in steps of " + format_number(range->step); };
    std::string value;
    switch (option.check) {
        case Check::kRange:
        case Check::kPrincipalAxis:
            line += span() + steps();
            break;
        case Check::kPlacedAxis:
            line += span() + ", any value";
            break;
        case Check::kSwitch: {
            const std::vector<double> values = switch_values(*option.switch_control);
            for (std::size_t i = 0; i < values.size(); ++i)
                line += (i == 0 ? "" : ", ") + format_number(values[i]) +
                        (help != nullptr && i < help->value_names.size()
                             ? " " + std::string(help->value_names[i])
                             : std::string());
            value = std::to_string(start.*(option.switch_control->field));
            break;
        }
        case Check::kRotationStep:
            line += list_of_steps();
            break;
        case Check::kImageSize:
            line +=
                format_number(range->lower) + " to the mode's maximum for its step, in steps of 1";
            break;
        case Check::kCurrentSize:
            line += "stands for the size option of the drawing mode";
            value = "the mode's own";
            break;
        case Check::kCurrentStep:
            line += "stands for the step option of the drawing mode";
            value = "the mode's own";
            break;
        case Check::kSupplement:
            line += span() + steps() + "; sets two-vz to 180 minus it";
            value = format_value(other_axial_angle(start.two_vz));
            break;
    }
    if (value.empty())
        value = format_value(start.*option.field());
    return wrapped(line + " (default " + value + ")");
}

}  // namespace

std::string render_usage() {
    const ControlRange& gamma = controls::kDisplayGamma;
    const ControlRange& speed = controls::kSpeed;
    const ControlRange& wedge = controls::kWedgeRetardation;
    const ControlRange movie = movie_size_range(1);
    std::string text =
        std::string(
            "usage: lumitra-render [--FIELD VALUE]... [--frame K] [--light L] [--display-gamma G]\n"
            "                      [--antialias] [--marks] [--caption] [--plate P]\n"
            "                      [--wedge-sweep FROM:TO] --out FILE\n"
            "       lumitra-render [--FIELD VALUE]... [--frame K] --probe X,Y\n"
            "       lumitra-render --settings FILE [--OPTION VALUE]... --out FILE\n") +
        "Draws an interference figure as the main window's Draw does and writes frame K\n" +
        format_sentence() + "(--movie-size T, --speed S).\n" +
        "  --out FILE         the file to write (required)\n"
        "  --frame K          the frame to write, from 0 (default) to the frame count less one\n"
        "  --light L          light intensity, 0 to 2 L0 - 0.1 (default L0 of the figure)\n"
        "  --display-gamma G  display gamma, " +
        format_number(gamma.lower) + " to " + format_number(scale_reach(gamma)) + " (default " +
        format_number(kEncodingGamma) +
        ")\n"
        "  --antialias        where the rings are finer than the pixels (thick sections, the rim\n"
        "                     of the full range), give each pixel its mean colour over the\n"
        "                     pixel, so that they blend as in the microscope instead of showing\n"
        "                     false patterns; every other pixel stays as without it\n"
        "  --vibration-directions  draw the slow vibration direction (and, thinner, the fast\n"
        "                     one) as short segments on a grid of " +
        std::to_string(kVibrationGridCells) + " by " + std::to_string(kVibrationGridCells) +
        " over the figure\n"
        "  --probe X,Y        write no file: print what the figure holds at pixel X,Y of frame K\n"
        "                     (x to the right, y down) as one line of key=value pairs:\n"
        "                     inside, theta_deg, phi_deg, incidence_deg, n_slow, n_fast,\n"
        "                     retardation_nm, order (retardation / " +
        format_number(kOrderRetardation) +
        " nm), slow_azimuth_deg,\n"
        "                     a (sin 2chi of the slow direction), r, g, b (the picture's bytes)\n"
        "  --marks            on a still, P and A (polarizer east-west, analyser north-south) at\n"
        "                     the rim, the accessory's slow direction as an arrow, and in the\n"
        "                     rotation image each sub-image's stage azimuth\n"
        "  --caption          on a still, the indices, thickness, orientation, accessory and\n"
        "                     stage azimuth in one line along the bottom\n"
        "  --output-size N    compute the figure N pixels across, " +
        format_number(controls::kOutputSize.lower) + " to " +
        format_number(controls::kOutputSize.upper) +
        ", beyond the\n"
        "                     size options' limits: the single image, each animation frame\n"
        "                     (and the movie, not enlarged) or the whole rotation image; the\n"
        "                     memory it takes (frames x N x N x 3 bytes and each worker's\n"
        "                     room) is stated on standard error and checked first\n" +
        "  --version          print the program's name and version\n"
        "  --settings FILE    take options from FILE, one a line as name=value (# begins a\n"
        "                     comment), as the window's Save settings writes them; options\n"
        "                     after it override the file's; a line that is no option or whose\n"
        "                     value is out of range is reported and skipped\n"
        "  --mineral NAME     a mineral of the list (English name, any case): its crystal kind,\n"
        "                     indices and 2Vz, as the window's Mineral chooser sets them\n"
        "  --section S        turn the crystal so that a direction is vertical: " +
        list_of_names(section_options()) +
        "\n"
        "                     (optic-axis and flash for uniaxial, flash: the optic axis in the\n"
        "                     stage at azimuth 0; bxa, bxo, optic-axis, optic-normal for biaxial,\n"
        "                     the optic axial plane at azimuth 0)\n"
        "  --list-minerals    print the mineral list as tab-separated text and exit\n"
        "  --plate P          the accessory above the section, its slow direction NE-SW: " +
        list_of_plates() +
        "\n"
        "                     (none, the first-order plate, the quarter-wave plate, the quartz\n"
        "                     wedge set by --wedge-retardation); --no-test-plate 0 is --plate " +
        format_number(kFirstOrderRetardation) +
        "\n"
        "  --wedge-sweep FROM:TO  with --plate wedge in the single-image mode, a movie of the\n"
        "                     wedge moved from FROM to TO nm (each " +
        format_number(wedge.lower) + " to " + format_number(wedge.upper) + "), " +
        format_number(kWedgeSweepStep) + " nm per frame at " + std::to_string(kMovieFrameRate) +
        " frames per second\n"
        "Interference-colour chart, instead of a figure (the crystal from the options above):\n"
        "  --chart FILE       write the chart as PNG, SVG or PDF by the extension (" +
        std::string(chart_extensions()) +
        "),\n"
        "                     each colour the figure's for that retardation at 45 degrees with\n"
        "                     the accessory of --plate; beside a PNG, FILE.json describes it\n"
        "  --chart-kind K     retardation (across; the Michel-Levy chart, default) or\n"
        "                     birefringence (across, with curves of constant retardation)\n"
        "  --chart-max-retardation NM  the retardation across, " +
        format_number(kChartLowestRetardation) + " to " + format_number(kChartHighestRetardation) +
        " nm (default " + format_number(kChartDefaultRetardation) +
        "; at 30 um in the birefringence kind)\n"
        "Fields of the parameter record (unset ones as after start-up):\n";
    ParameterRecord start;
    set_default_parameters(start);
    update_derived_fields(start);
    for (const FieldOption& option : field_options())
        text += field_help(option, start);
    text +=
        "Movies (animation mode or --wedge-sweep), " + std::to_string(kMovieFrameRate) +
        " frames per second whatever the speed:\n" + movie_lines() +
        "  --movie-size T  side of the movie frames in pixels, a multiple of " +
        format_number(movie.step) + " from the figure's side\n                  up to " +
        format_number(movie.upper) + " (default " + std::to_string(default_movie_size(1)) +
        ", or the figure's side rounded up when larger)\n"
        "  --speed S       stage rotation in degrees per second, " +
        format_number(speed.lower) + " to " + format_number(scale_reach(speed)) + " (default " +
        format_number(controls::kDefaultSpeed) +
        ")\n"
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
        "  sets the angle), and X, Y or Z options are refused. --mineral and --section are\n"
        "  edits like the others, in their place in that order.\n";
    return text;
}

std::vector<OptionValue> record_options(const ParameterRecord& record) {
    std::vector<OptionValue> list;
    for (const FieldOption& option : field_options()) {
        if (option.check == Check::kCurrentSize || option.check == Check::kCurrentStep ||
            option.check == Check::kSupplement)
            continue;
        if (option.switch_control != nullptr) {
            const std::int32_t value = record.*(option.switch_control->field);
            if (option.switch_control->field != &R::no_test_plate)
                list.push_back({option.name, std::to_string(value)});
            for (const auto& [name, plate] : plate_names())
                if (option.switch_control->field == &R::no_test_plate && plate == value)
                    list.push_back({"plate", name});
            continue;
        }
        if (option.field() == &R::wedge_retardation && record.no_test_plate != kQuartzWedge)
            continue;
        list.push_back(
            {option.name, format_value(record.*option.field()), is_orientation_edit(option)});
    }
    return list;
}

std::string check_single_option(std::string_view name, std::optional<std::string_view> value,
                                const MineralList& minerals) {
    const std::string option = "--" + std::string(name);
    if (name == "antialias")
        return value ? option + " takes no value" : "";
    if (name == "help" || name == "version" || name == "list-minerals" || name == "settings")
        return option + " is not a setting: a settings file holds options that draw a figure";
    if (name == "mean-index" || (!is_own_option(name) && find_field(name) == nullptr))
        return "unknown option " + option + " (lumitra-render --help lists the options)";
    if (!value)
        return option + " needs a value (" + std::string(name) + "=VALUE)";
    Parse parse;
    set_default_parameters(parse.options.record);
    return take_option(parse, name, *value, minerals);
}
