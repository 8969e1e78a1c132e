#include "params/ControlStates.h"

#include <algorithm>
#include <cmath>

#include "params/ParameterTable.h"
#include "params/ParameterTags.h"

ControlStates controlStatesOf(int32_t tag) {
    switch (tag) {
    case kTagFilterFlow:
    case kTagFilterType: return {3, 1.0f / 3.0f};
    case kTagDelayPower:
    case kTagReverbPower:
    case kTagFollowerPower:
    case kTagFollowerInvert:
    case kTagLfoPower:
    case kTagLfoSync:
    case kTagGate:
    case kTagComp:
    case kTagPreamp:
    case kTagFollowerInvertLamp:
    case kTagModulationPage:
    case kTagMeterUp:
    case kTagMeterDown:
    case kTagDyn:
    case kTagFxSwitch:
    case kTagSolo: return {2, 0.5f};
    case kTagFollowerTarget:
    case kTagLfoTarget: return {8, 0.125f};
    case kTagMeterSource: return {6, 0.16667667f};
    default: return {0, 1.0f};
    }
}

bool controllerCanMove(int32_t tag) {
    if (tag >= 0 && tag < kNumHostParameters) return true;
    switch (tag) {
    case kTagGate:
    case kTagComp:
    case kTagPreamp:
    case kTagLfoTarget:
    case kTagModulationPage:
    case kTagMeterSource:
    case kTagDyn:
    case kTagFxSwitch:
    case kTagSolo: return true;
    default: return false;
    }
}

float controllerValue(int32_t tag, int32_t midiValue) {
    const float v = static_cast<float>(std::clamp(midiValue, 0, 127)) / 127.0f;
    const ControlStates s = controlStatesOf(tag);
    if (s.count == 0) return v;
    return std::round(v * static_cast<float>(s.count - 1)) * s.factor;
}
