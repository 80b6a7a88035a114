#include "panels/image_size_limit.h"

#include <cmath>

#include "app/parameter_record.h"

int max_image_size(int draw_mode, float step) {
    switch (draw_mode) {
        case kRotationImage:
            return static_cast<int>(660.0 / (1.0 + 1.0 / std::sin(M_PI * step / 360.0)));
        case kAnimation:
            return static_cast<int>(1600.0 / std::sqrt(360.0 / step));
        default:
            return 400;
    }
}
