#include "plugin/lv2/Lv2Ports.h"

#include <algorithm>
#include <cmath>

#include "params/SwitchPositions.h"

namespace lv2port {

int32_t stateOf(int32_t index, float normalised, int32_t positions) {
    return int32_t(mapping::position(index, mapping::unit(normalised), positions));
}

float normalisedOf(float portValue, int32_t positions) {
    if (positions < 2) return std::clamp(portValue, 0.0f, 1.0f);
    const float top = float(positions - 1);
    return std::round(std::clamp(portValue, 0.0f, top)) / top;
}

float portValueOf(int32_t index, float normalised, int32_t positions) {
    return positions < 2 ? normalised : float(stateOf(index, normalised, positions));
}

} // namespace lv2port
