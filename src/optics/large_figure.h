// Figures larger than the size controls allow, for a file or a projector: the record drawn at
// a chosen side, and the memory that takes, known before anything is computed so that a size
// the machine cannot hold is refused instead of failing half-way.
#pragma once

#include <cstdint>
#include <string>

#include "model/parameter_record.h"
#include "optics/figure_buffer.h"

// The Draw of the record with its figure side pixels across: the single image or each
// animation frame, or for the rotation image the whole ring, whose sub-images are then as
// large as fits. side lies in controls::kOutputSize; the mode's size control is not asked.
DrawSetup prepare_draw_at_side(const ParameterRecord& record, int side);

// What a Draw holds at its largest: the frames (frames × side² × 3 bytes), the composed
// rotation image, and each worker's linear values (side² × 3 floats).
std::uint64_t figure_memory(const DrawSetup& setup, int workers);

// What the process may still take: the system's available memory, or less when an
// address-space limit is set.
std::uint64_t available_memory();

// An amount of memory as the messages give it: "252 MB", rounded up.
std::string memory_amount(std::uint64_t bytes);

// One line that states the need, "72 frames of 1080 × 1080 pixels take 252 MB", and when
// it does not fit what is available, why the figure is refused; empty need is never refused.
struct MemoryCheck {
    bool fits = true;
    std::string statement;
};
MemoryCheck check_memory(const DrawSetup& setup, std::uint64_t needed, std::uint64_t available);
