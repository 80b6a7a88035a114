// The program's default record in a chosen drawing mode, image size and step: the starting
// point of the figures the tests and the benchmarks compute.
#pragma once

#include "model/parameter_record.h"

inline ParameterRecord record_for(int mode, float size, float step = 0) {
    ParameterRecord record{};
    set_default_parameters(record);
    record.draw_mode = mode;
    record.image_size = size;
    record.sampling_step = step;
    return record;
}
