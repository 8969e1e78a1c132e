// The position a switch or selector parameter takes at v (0..1):
// floor(min(n - 1, n v [+ 0.001])). Only some parameters add the thousandth
// (such a switch turns on at 0.4995, the others at 0.5). The engine and the
// panel both ask here, so a button or menu always shows what the engine does.
#pragma once

#include <cstdint>

#include "params/Mappings.h"
#include "params/ParameterTags.h"

namespace mapping {

inline bool truncatesPlainly(int32_t tag) {
    switch (tag) {
    case kTagFilterFlow:
    case kTagFilterType:
    case kTagFollowerPower:
    case kTagFollowerInvert:
    case kTagLfoPower:
    case kTagLfoSync:
    case kTagMeterSource:
    case kTagMeterUp:
    case kTagMeterDown:
    case kTagSolo:
    case kTagNextPreset:
    case kTagPreviousPreset: return true;
    default: return false;
    }
}

inline float position(int32_t tag, float v, int32_t positions) {
    const float n = float(positions);
    return truncatesPlainly(tag) ? selector(v, n, n - 1.0f) : selectorUp(v, n, n - 1.0f);
}

} // namespace mapping
