#include "app/option_help.h"

namespace {

constexpr std::string_view kKinds[] = {"uniaxial", "biaxial"};
constexpr std::string_view kModes[] = {"single image", "rotation image (a ring of images)",
                                       "animation (the turning stage)"};
constexpr std::string_view kPlateInOrOut[] = {"the 530 nm plate inserted", "no plate"};
constexpr std::string_view kRanges[] = {"the microscope's field (the numerical aperture)",
                                        "the full range of directions"};
constexpr std::string_view kProjections[] = {"sine (orthographic)", "Wulff net (stereographic)"};

constexpr std::string_view kPixels = "pixels";
constexpr std::string_view kDegrees = "degrees";

// clang-format off
constexpr OptionHelp kHelp[] = {
    {"image-size-single",    "side of the single image", kPixels},
    {"image-size-rotation",  "side of each image of the rotation image", kPixels},
    {"image-size-animation", "side of each frame of the animation", kPixels},
    {"image-size",           "side of the images of the drawing mode in effect", kPixels},
    {"rotation-step",        "stage turn between the images of the rotation image", kDegrees},
    {"animation-step",       "stage turn between the frames of the animation", kDegrees},
    {"sampling-step",        "stage turn between the images of the drawing mode in effect", kDegrees},
    {"thickness",            "thickness of the section", "micrometres"},
    {"omega",                "ordinary refractive index (uniaxial)", ""},
    {"epsilon",              "extraordinary refractive index (uniaxial)", ""},
    {"alpha",                "least principal refractive index (biaxial)", ""},
    {"gamma",                "greatest principal refractive index (biaxial)", ""},
    {"two-vz",               "optic axial angle 2Vz, the angle of the optic axes about Z", kDegrees},
    {"two-vx",               "optic axial angle 2Vx, about X", kDegrees},
    {"numerical-aperture",   "numerical aperture of the objective, the cone of directions shown", ""},
    {"c-axis-theta",         "optic axis C (uniaxial): angle from the microscope axis", kDegrees},
    {"c-axis-phi",           "optic axis C: azimuth in the stage", kDegrees},
    {"x-axis-theta",         "principal axis X (biaxial): angle from the microscope axis", kDegrees},
    {"x-axis-phi",           "principal axis X: azimuth in the stage", kDegrees},
    {"y-axis-theta",         "principal axis Y, the optic normal: angle from the microscope axis", kDegrees},
    {"y-axis-phi",           "principal axis Y: azimuth in the stage", kDegrees},
    {"z-axis-theta",         "principal axis Z: angle from the microscope axis", kDegrees},
    {"z-axis-phi",           "principal axis Z: azimuth in the stage", kDegrees},
    {"a-axis-theta",         "optic axis A (biaxial): angle from the microscope axis", kDegrees},
    {"a-axis-phi",           "optic axis A: azimuth in the stage", kDegrees},
    {"b-axis-theta",         "optic axis B: angle from the microscope axis", kDegrees},
    {"b-axis-phi",           "optic axis B: azimuth in the stage", kDegrees},
    {"wedge-retardation",    "how far the quartz wedge is pushed in (with --plate wedge)", "nm of retardation"},
    {"stage-azimuth",        "how far the stage is turned for the single image", kDegrees},
    {"axis-type",            "crystal kind", "", kKinds},
    {"draw-mode",            "drawing mode", "", kModes},
    {"no-test-plate",        "the old switch of the first-order plate; --plate names every accessory", "", kPlateInOrOut},
    {"draw-range",           "directions drawn", "", kRanges},
    {"projection-kind",      "projection of the directions onto the figure", "", kProjections},
};
// clang-format on

}  // namespace

const OptionHelp* option_help(std::string_view name) {
    for (const OptionHelp& help : kHelp)
        if (help.name == name)
            return &help;
    return nullptr;
}
