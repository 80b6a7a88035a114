#include "model/parameter_record.h"

ParameterRecord parameters{};

void set_default_parameters(ParameterRecord& record) {
    record.image_size_single = 200.0f;
    record.image_size_rotation = 120.0f;
    record.image_size_animation = 100.0f;
    record.rotation_step = 30.0f;
    record.animation_step = 5.0f;
    record.thickness = 30.0f;
    record.omega = 1.544f;
    record.epsilon = 1.553f;
    record.alpha = 1.552f;
    record.gamma = 1.587f;
    record.two_vz = 30.0f;
    record.numerical_aperture = 0.65f;
    record.c_axis_theta = 0.0f;
    record.c_axis_phi = 0.0f;
    record.x_axis_theta = 90.0f;
    record.x_axis_phi = 0.0f;
    record.y_axis_theta = 90.0f;
    record.y_axis_phi = 90.0f;
    record.z_axis_theta = 0.0f;
    record.z_axis_phi = 0.0f;
    record.a_axis_theta = 15.0f;
    record.a_axis_phi = 0.0f;
    record.b_axis_theta = 15.0f;
    record.b_axis_phi = 180.0f;
    record.wedge_retardation = 0.0f;
    record.stage_azimuth = 0.0f;
    record.axis_type = kUniaxial;
    record.draw_mode = kSingleImage;
    record.no_test_plate = kNoPlate;
    record.draw_range = kMicroscopeField;
    record.projection_kind = kSineProjection;
}
