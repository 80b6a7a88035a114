// The one record of everything that describes the figure to be computed. The panels write
// it as the user edits; Draw reads it when the button is pressed. Angles are degrees,
// every real is single precision, the switches are 32-bit integers.
#pragma once

#include <cstdint>

// Switch values, named where the code branches on them.
enum AxisType : std::int32_t { kUniaxial = 0, kBiaxial = 1 };
enum DrawMode : std::int32_t { kSingleImage = 0, kRotationImage = 1, kAnimation = 2 };
enum DrawRange : std::int32_t { kMicroscopeField = 0, kFullRange = 1 };
enum ProjectionKind : std::int32_t { kSineProjection = 0, kWulffProjection = 2 };
// The accessory above the section, in the field that once only told whether the 530 nm plate
// was in: 1 and 0 keep that meaning.
enum Accessory : std::int32_t {
    kFirstOrderPlate = 0,
    kNoPlate = 1,
    kQuarterWavePlate = 2,
    kQuartzWedge = 3
};

struct ParameterRecord {
    float image_size_single;     // pixels, single-image mode
    float image_size_rotation;   // pixels, each sub-image of the rotation image
    float image_size_animation;  // pixels, each animation frame
    float image_size;            // pixels, the current mode's size (derived)
    float rotation_step;         // degrees, always divides 180
    float animation_step;        // degrees
    float sampling_step;         // degrees, the current stepped mode's step (derived)
    float thickness;             // micrometres
    float omega;                 // ordinary index (uniaxial)
    float epsilon;               // extraordinary index (uniaxial)
    float alpha;                 // least principal index (biaxial)
    float gamma;                 // greatest principal index (biaxial)
    float mean_index;            // the current kind's mean index (derived)
    float two_vz;                // degrees, optic axial angle about Z; 2Vx = 180 - two_vz
    float numerical_aperture;
    float c_axis_theta, c_axis_phi;  // uniaxial optic axis C
    float x_axis_theta, x_axis_phi;  // biaxial principal axis X
    float y_axis_theta, y_axis_phi;  // biaxial principal axis Y (optic normal)
    float z_axis_theta, z_axis_phi;  // biaxial principal axis Z (bisects A and B)
    float a_axis_theta, a_axis_phi;  // biaxial optic axis A
    float b_axis_theta, b_axis_phi;  // biaxial optic axis B
    float wedge_retardation;         // nanometres, how far the quartz wedge is pushed in
    float stage_azimuth;             // degrees, the stage turned for the single image
    std::int32_t axis_type;          // AxisType
    std::int32_t draw_mode;          // DrawMode
    std::int32_t no_test_plate;      // Accessory
    std::int32_t draw_range;         // DrawRange
    std::int32_t projection_kind;    // ProjectionKind
};

// The program's single instance. It is zero until set_default_parameters runs; the
// derived fields get their first values while the main window is built.
extern ParameterRecord parameters;

// Stores the defaults into every field that has one, the switches included: the start-up
// values of the window and of lumitra-render. The derived fields image_size, sampling_step
// and mean_index are left to update_derived_fields (model/derived_values.h), which the main
// window runs after every edit.
void set_default_parameters(ParameterRecord& record = parameters);
