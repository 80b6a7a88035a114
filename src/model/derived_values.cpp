#include "model/derived_values.h"

#include <cmath>

#include "model/angles.h"

float mean_index(const ParameterRecord& record) {
    const double product = record.axis_type == kBiaxial ? double(record.alpha) * record.gamma
                                                        : double(record.omega) * record.epsilon;
    return static_cast<float>(std::sqrt(product));
}

double record_birefringence(const ParameterRecord& record) {
    return record.axis_type == kBiaxial ? std::abs(double(record.gamma) - record.alpha)
                                        : std::abs(double(record.epsilon) - record.omega);
}

namespace {

// The size field of the mode, of a record that may or may not be const.
template <typename Record>
auto& size_field(Record& record, int draw_mode) {
    switch (draw_mode) {
        case kRotationImage:
            return record.image_size_rotation;
        case kAnimation:
            return record.image_size_animation;
        default:
            return record.image_size_single;
    }
}

}  // namespace

float& image_size_field(ParameterRecord& record, int draw_mode) {
    return size_field(record, draw_mode);
}

float image_size_of_mode(const ParameterRecord& record, int draw_mode) {
    return size_field(record, draw_mode);
}

float stage_step(const ParameterRecord& record, int draw_mode) {
    return draw_mode == kAnimation ? record.animation_step : record.rotation_step;
}

int max_image_size(int draw_mode, float step) {
    switch (draw_mode) {
        case kRotationImage:
            return static_cast<int>(660.0 / (1.0 + 1.0 / std::sin(radians(step / 2.0))));
        case kAnimation:
            return static_cast<int>(1600.0 / std::sqrt(360.0 / step));
        default:
            return 400;
    }
}

int max_image_size(const ParameterRecord& record, int draw_mode) {
    return max_image_size(draw_mode, stage_step(record, draw_mode));
}

void update_derived_fields(ParameterRecord& record) {
    const int mode = record.draw_mode;
    float& size = image_size_field(record, mode);
    const auto maximum = static_cast<float>(max_image_size(record, mode));
    if (maximum < size)
        size = maximum;
    record.image_size = size;
    if (mode != kSingleImage)
        record.sampling_step = stage_step(record, mode);
    record.mean_index = mean_index(record);
}
