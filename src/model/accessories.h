// The accessories slid into the microscope tube above the section to find the optic sign,
// each with its slow direction NE–SW: the first-order (sensitive tint) plate, the mica
// quarter-wave plate and the quartz wedge, whose retardation the user sets.
#pragma once

#include "model/parameter_record.h"

inline constexpr double kFirstOrderRetardation = 530.0;   // nm
inline constexpr double kQuarterWaveRetardation = 147.0;  // nm, a quarter of 589 nm
// A wedge-sweep movie moves the wedge this far from one frame to the next.
inline constexpr double kWedgeSweepStep = 5.0;  // nm

// The retardation the accessory of the record adds or subtracts (nm); 0 without one. The
// wedge's is the same at every wavelength: quartz disperses its birefringence by only a few
// per cent across the visible.
inline double accessory_retardation(const ParameterRecord& record) {
    switch (record.no_test_plate) {
        case kFirstOrderPlate:
            return kFirstOrderRetardation;
        case kQuarterWavePlate:
            return kQuarterWaveRetardation;
        case kQuartzWedge:
            return double(record.wedge_retardation);
        default:
            return 0.0;
    }
}
