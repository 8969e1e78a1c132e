#include "params/ControlStates.h"

#include <algorithm>
#include <cmath>

ControlStates controlStatesOf(int32_t tag) {
    switch (tag) {
    case 18:
    case 19: return {3, 1.0f / 3.0f};
    case 23:
    case 27:
    case 31:
    case 33:
    case 36:
    case 37:
    case 41:
    case 45:
    case 46:
    case 59:
    case 72:
    case 80:
    case 81:
    case 96:
    case 97:
    case 101: return {2, 0.5f};
    case 32:
    case 71: return {8, 0.125f};
    case 79: return {6, 0.16667667f};
    default: return {0, 1.0f};
    }
}

bool controllerCanMove(int32_t tag) {
    if (tag >= 0 && tag < 38) return true;
    switch (tag) {
    case 41:
    case 45:
    case 46:
    case 71:
    case 72:
    case 79:
    case 96:
    case 97:
    case 101: return true;
    default: return false;
    }
}

float controllerValue(int32_t tag, int32_t midiValue) {
    const float v = static_cast<float>(std::clamp(midiValue, 0, 127)) / 127.0f;
    const ControlStates s = controlStatesOf(tag);
    if (s.count == 0) return v;
    return std::round(v * static_cast<float>(s.count - 1)) * s.factor;
}
