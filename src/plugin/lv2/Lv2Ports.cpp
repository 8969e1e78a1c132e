#include "plugin/lv2/Lv2Ports.h"

#include <algorithm>
#include <cmath>

namespace lv2port {

int32_t stateOf(float normalised, int32_t positions) {
    const float top = float(positions - 1);
    return int32_t(std::min(top, float(positions) * normalised));
}

float normalisedOf(float portValue, int32_t positions) {
    if (positions < 2) return std::clamp(portValue, 0.0f, 1.0f);
    const float top = float(positions - 1);
    return std::round(std::clamp(portValue, 0.0f, top)) / top;
}

float portValueOf(float normalised, int32_t positions) {
    return positions < 2 ? normalised : float(stateOf(normalised, positions));
}

} // namespace lv2port
