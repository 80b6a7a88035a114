#include "optics/large_figure.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>

#include "optics/figure_computation.h"

DrawSetup prepare_draw_at_side(const ParameterRecord& record, int side) {
    ParameterRecord sized = record;
    int figure_side = side;
    if (record.draw_mode == kRotationImage) {
        // The largest sub-image whose ring still fits the side.
        while (figure_side > 1) {
            sized.image_size = static_cast<float>(figure_side);
            if (prepare_draw(sized).canvas_side <= side)
                break;
            --figure_side;
        }
    }
    sized.image_size = static_cast<float>(figure_side);
    return prepare_draw(sized);
}

std::uint64_t figure_memory(const DrawSetup& setup, int workers) {
    const std::uint64_t frame = 3 * std::uint64_t(setup.side) * std::uint64_t(setup.side);
    const std::uint64_t canvas =
        setup.canvas_side != setup.side
            ? 3 * std::uint64_t(setup.canvas_side) * std::uint64_t(setup.canvas_side)
            : 0;
    return std::uint64_t(setup.frame_count) * frame + canvas +
           std::uint64_t(workers) * frame * sizeof(float);
}

std::uint64_t available_memory() {
    std::uint64_t available = 0;
    std::ifstream meminfo("/proc/meminfo");
    std::string line;
    while (std::getline(meminfo, line)) {
        std::istringstream fields(line);
        std::string name;
        std::uint64_t kilobytes = 0;
        if (fields >> name >> kilobytes && name == "MemAvailable:") {
            available = kilobytes * 1024;
            break;
        }
    }
    if (available == 0)
        available = std::uint64_t(sysconf(_SC_AVPHYS_PAGES)) * std::uint64_t(sysconf(_SC_PAGESIZE));
    // Under an address-space limit the program's own code and libraries count against it:
    // half of it is left for the figure.
    struct rlimit limit {};
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        available = std::min<std::uint64_t>(available, limit.rlim_cur / 2);
    return available;
}

std::string memory_amount(std::uint64_t bytes) {
    return std::to_string((bytes + 999999) / 1000000) + " MB";
}

MemoryCheck check_memory(const DrawSetup& setup, std::uint64_t needed, std::uint64_t available) {
    const std::string side = std::to_string(setup.side);
    std::string statement = std::to_string(setup.frame_count) +
                            (setup.frame_count == 1 ? " frame of " : " frames of ") + side + " × " +
                            side + " pixels take " + memory_amount(needed);
    if (needed <= available)
        return {true, statement};
    return {false, statement + ", more than the " + memory_amount(available) +
                       " this machine has available; choose a smaller size or a larger step"};
}
