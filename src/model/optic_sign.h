// The optic sign as the panels show it, from the record's indices and optic axial angle.
#pragma once

#include "model/parameter_record.h"

enum class OpticSign { kPositive, kNegative, kIsotropic, kNeither };

// A uniaxial crystal is positive when ε exceeds ω. A biaxial one is positive when Z is the
// acute bisectrix (2Vz below 90°), negative when X is, and neither at 90°, where no
// bisectrix is the acute one. Equal indices make either kind isotropic, whatever 2Vz says.
// Compared in single precision, as the record holds them.
OpticSign optic_sign(const ParameterRecord& record);
