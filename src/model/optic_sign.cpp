#include "model/optic_sign.h"

OpticSign optic_sign(const ParameterRecord& record) {
    if (record.axis_type == kBiaxial) {
        if (record.alpha == record.gamma)
            return OpticSign::kIsotropic;
        if (record.two_vz < 90.0f)
            return OpticSign::kPositive;
        return record.two_vz > 90.0f ? OpticSign::kNegative : OpticSign::kNeither;
    }
    if (record.epsilon > record.omega)
        return OpticSign::kPositive;
    return record.epsilon < record.omega ? OpticSign::kNegative : OpticSign::kIsotropic;
}
