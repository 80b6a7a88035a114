#include "render/readout_text.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <locale>
#include <sstream>

#include "model/texts.h"

std::string readout_line(const PixelReadout& read, const std::array<std::uint8_t, 3>& rgb,
                         const std::function<std::string(const char*)>& shown) {
    if (!read.inside)
        return {};
    char incidence[32] = "-";
    if (!std::isnan(read.incidence_deg))
        std::snprintf(incidence, sizeof incidence, "%.1f\u00b0", read.incidence_deg);
    const std::string effect =
        read.effect == AccessoryEffect::kAddition      ? shown(texts::readout_addition)
        : read.effect == AccessoryEffect::kSubtraction ? shown(texts::readout_subtraction)
                                                       : std::string();
    const std::string format = shown(texts::readout_format);
    const std::string order = order_numeral(read.retardation_nm);
    char line[512];
    std::snprintf(line, sizeof line, format.c_str(), read.theta_deg, read.phi_deg, incidence,
                  read.n_slow, read.n_fast, read.retardation_nm, order.c_str(), read.order,
                  read.slow_azimuth_deg, read.a, effect.c_str(), rgb[0], rgb[1], rgb[2]);
    return line;
}

std::string probe_line(const PixelReadout& read, const std::array<std::uint8_t, 3>& rgb) {
    const double none = std::numeric_limits<double>::quiet_NaN();
    const auto value = [&](double v) { return read.inside ? v : none; };
    std::ostringstream line;
    line.imbue(std::locale::classic());
    line.precision(6);
    line << std::fixed << "inside=" << (read.inside ? 1 : 0)
         << " theta_deg=" << value(read.theta_deg) << " phi_deg=" << value(read.phi_deg)
         << " incidence_deg=" << value(read.incidence_deg) << " n_slow=" << value(read.n_slow)
         << " n_fast=" << value(read.n_fast) << " retardation_nm=" << value(read.retardation_nm)
         << " order=" << value(read.order) << " slow_azimuth_deg=" << value(read.slow_azimuth_deg)
         << " a=" << value(read.a) << " r=" << int(rgb[0]) << " g=" << int(rgb[1])
         << " b=" << int(rgb[2]);
    return line.str();
}
