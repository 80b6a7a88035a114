// What the page asks of the core: the controls, switches, minerals and sections to build its
// inputs from, the query string checked as lumitra-render checks its options, and one frame
// as RGBA pixels. Plain C functions that hand over JSON text or a pointer into the module's
// memory; the page owns no formula of its own.
#include <emscripten/emscripten.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/render_options.h"
#include "model/controls.h"
#include "model/mineral_list.h"
#include "model/progress_sink.h"
#include "model/section_edit.h"
#include "optics/figure_computation.h"
#include "render/frame_rendering.h"
#include "render/pixel_readout.h"
#include "render/tone_table.h"

extern const char kMineralTable[];  // data/minerals.tsv, built into the module

namespace {

// Options about files, movies and the figure window's sliders: the page draws the single
// image and saves it itself, so it ignores them as it ignores a misspelt one.
constexpr std::string_view kNotForThePage[] = {"out",
                                               "frame",
                                               "light",
                                               "display-gamma",
                                               "movie-size",
                                               "speed",
                                               "wedge-sweep",
                                               "draw-mode",
                                               "image-size-rotation",
                                               "rotation-step",
                                               "animation-step",
                                               "sampling-step",
                                               "image-size-animation"};

struct Option {
    std::string name;
    std::string value;
};

struct PageState {
    RenderOptions options;
    std::vector<Option> accepted;
    std::vector<std::string> notices;
};

const MineralList& minerals() {
    static const MineralList list = parse_mineral_list(kMineralTable);
    return list;
}

PageState& state() {
    static PageState page = [] {
        PageState fresh;
        fresh.options = *parse_render_options({}, minerals()).options;
        return fresh;
    }();
    return page;
}

ParsedRenderOptions parse(const std::vector<Option>& options) {
    std::vector<std::string> words;
    for (const Option& option : options)
        words.push_back("--" + option.name + "=" + option.value);
    const std::vector<std::string_view> arguments(words.begin(), words.end());
    return parse_render_options(arguments, minerals());
}

// JSON text, escaped for a JSON string and wrapped in quotes.
std::string json_string(std::string_view text) {
    std::string json = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            json += escaped;
        } else {
            json += c;
        }
    }
    return json + "\"";
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

// A Shift-JIS text as hexadecimal bytes: the page finds it in its table of the program's
// texts, which holds the same bytes with their reading in each language.
std::string shift_jis_key(const char* text) {
    std::string hex;
    for (const char* c = text; *c != '\0'; ++c) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02x", static_cast<unsigned char>(*c));
        hex += byte;
    }
    return json_string(hex);
}

std::string dashed(std::string name) {
    for (char& c : name)
        if (c == '_')
            c = '-';
    return name;
}

template <class Items, class Write>
std::string json_list(const Items& items, Write write) {
    std::string json = "[";
    for (const auto& item : items)
        json += (json.size() > 1 ? "," : "") + write(item);
    return json + "]";
}

std::string sections_json(std::span<const SectionName> sections) {
    return json_list(sections, [](const SectionName& s) {
        return "{\"option\":" + json_string(s.option) + ",\"label\":" + shift_jis_key(s.label) +
               "}";
    });
}

// The record as option names with values, and what the page shows beside it.
std::string state_json(const PageState& page) {
    const ParameterRecord& r = page.options.record;
    std::string values = "{";
    for (const FieldControl& control : field_controls())
        values += (values.size() > 1 ? "," : "") + json_string(dashed(control.name)) + ":" +
                  number(r.*control.field);
    for (const SwitchControl& control : switch_controls())
        values += "," + json_string(dashed(control.name)) + ":" + number(r.*control.field);
    values += "}";
    const std::optional<std::size_t> mineral = mineral_of_record(minerals().minerals, r);
    return "{\"values\":" + values + ",\"accepted\":" +
           json_list(page.accepted,
                     [](const Option& o) {
                         return "[" + json_string(o.name) + "," + json_string(o.value) + "]";
                     }) +
           ",\"notices\":" + json_list(page.notices, json_string) +
           ",\"mineral\":" + (mineral ? number(double(*mineral)) : std::string("-1")) +
           ",\"sections\":" + sections_json(sections_for(r.axis_type)) + ",\"imageSizeMax\":" +
           number(control_range(r, &ParameterRecord::image_size_single).upper) + "}";
}

// The figure last drawn, which the read-out reads.
std::optional<Figure>& shown_figure() {
    static std::optional<Figure> figure;
    return figure;
}

const char* kept(std::string text) {
    static std::string held;
    held = std::move(text);
    return held.c_str();
}

}  // namespace

extern "C" {

// The controls with their ranges, the switches with their captions, the minerals and every
// section: the page builds its inputs from these.
EMSCRIPTEN_KEEPALIVE const char* lumitra_catalogue() {
    const std::string controls = json_list(field_controls(), [](const FieldControl& c) {
        return "{\"name\":" + json_string(dashed(c.name)) + ",\"lower\":" + number(c.range.lower) +
               ",\"upper\":" + number(c.range.upper) + ",\"step\":" + number(c.range.step) +
               ",\"digits\":" + number(c.range.digits) + "}";
    });
    const std::string switches = json_list(switch_controls(), [](const SwitchControl& c) {
        return "{\"name\":" + json_string(dashed(c.name)) + ",\"tip\":" + shift_jis_key(c.tip) +
               ",\"values\":" +
               json_list(c.values,
                         [](const SwitchValue& v) {
                             return "{\"value\":" + number(v.value) +
                                    ",\"caption\":" + shift_jis_key(v.caption) + "}";
                         }) +
               "}";
    });
    const std::string list = json_list(minerals().minerals, [](const Mineral& m) {
        return "{\"name\":" + json_string(m.name) + ",\"nameJa\":" + json_string(m.name_ja) +
               ",\"kind\":" + number(static_cast<int>(m.kind)) + "}";
    });
    const std::string plates = json_list(plate_names(), [](const auto& plate) {
        return "{\"name\":" + json_string(plate.first) + ",\"value\":" + number(plate.second) + "}";
    });
    const ControlRange& azimuth = controls::kStageAzimuth;
    return kept("{\"controls\":" + controls + ",\"switches\":" + switches +
                ",\"plates\":" + plates + ",\"minerals\":" + list +
                ",\"mineralError\":" + json_string(minerals().error) +
                ",\"stageAzimuth\":{\"lower\":" + number(azimuth.lower) +
                ",\"upper\":" + number(scale_reach(azimuth)) + ",\"step\":" + number(azimuth.step) +
                "},\"speed\":" + number(controls::kDefaultSpeed) + "}");
}

// Sets the page's state from lines "name=value" in the query's order: each option that
// lumitra-render would take after those before it is kept; any other is left out and told.
EMSCRIPTEN_KEEPALIVE const char* lumitra_set_query(const char* lines) {
    PageState page;
    std::string_view rest = lines;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (line.empty())
            continue;
        const std::size_t equals = line.find('=');
        Option option{std::string(line.substr(0, equals)),
                      equals == std::string_view::npos ? "" : std::string(line.substr(equals + 1))};
        bool for_the_page = true;
        for (const std::string_view name : kNotForThePage)
            for_the_page = for_the_page && option.name != name;
        if (!for_the_page) {
            page.notices.push_back(option.name + ": not an option of this page");
            continue;
        }
        page.accepted.push_back(option);
        if (const ParsedRenderOptions parsed = parse(page.accepted); !parsed.options) {
            page.notices.push_back(parsed.error);
            page.accepted.pop_back();
        }
    }
    page.options = *parse(page.accepted).options;
    state() = std::move(page);
    return kept(state_json(state()));
}

// The figure of the state with the stage turned by azimuth degrees, as RGBA rows from the top,
// image-size-single pixels square; the tones are those the figure window opens with.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* lumitra_render(float azimuth) {
    ParameterRecord record = state().options.record;
    // Turning the stage turns every axis of the crystal about the microscope's axis.
    for (float ParameterRecord::*phi :
         {&ParameterRecord::c_axis_phi, &ParameterRecord::x_axis_phi, &ParameterRecord::y_axis_phi,
          &ParameterRecord::z_axis_phi, &ParameterRecord::a_axis_phi, &ParameterRecord::b_axis_phi})
        record.*phi = std::fmod(record.*phi + azimuth, 360.0f);
    DrawSetup setup = prepare_draw(record);
    setup.antialias = state().options.antialias;
    SilentProgress progress;
    std::optional<Figure>& figure = shown_figure();
    figure = compute_figure(setup, progress);
    const std::vector<std::uint8_t> rgb = render_still(*figure, 0, opening_tones(*figure));
    static std::vector<std::uint8_t> rgba;
    rgba.resize(rgb.size() / 3 * 4);
    for (std::size_t p = 0; p < rgb.size() / 3; ++p) {
        rgba[4 * p] = rgb[3 * p];
        rgba[4 * p + 1] = rgb[3 * p + 1];
        rgba[4 * p + 2] = rgb[3 * p + 2];
        rgba[4 * p + 3] = 255;
    }
    return rgba.data();
}

// What the figure last drawn shows at pixel (x, y), or {"inside":false}.
EMSCRIPTEN_KEEPALIVE const char* lumitra_readout(int x, int y) {
    if (!shown_figure())
        return "{\"inside\":false}";
    const PixelReadout r = read_pixel(*shown_figure(), 0, x, y);
    if (!r.inside)
        return "{\"inside\":false}";
    const int effect = r.effect == AccessoryEffect::kAddition      ? 1
                       : r.effect == AccessoryEffect::kSubtraction ? -1
                                                                   : 0;
    return kept(
        "{\"inside\":true,\"theta\":" + number(r.theta_deg) + ",\"phi\":" + number(r.phi_deg) +
        ",\"slowIndex\":" + number(r.n_slow) + ",\"fastIndex\":" + number(r.n_fast) +
        ",\"retardation\":" + number(r.retardation_nm) +
        ",\"order\":" + json_string(order_numeral(r.retardation_nm)) +
        ",\"slowAzimuth\":" + number(r.slow_azimuth_deg) + ",\"effect\":" + number(effect) + "}");
}

}  // extern "C"
