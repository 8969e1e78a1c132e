#include "editor/ValueRouting.h"

#include "params/ControlStates.h"

ValueRule valueRuleFor(int32_t tag) {
    using R = ValueRoute;
    switch (tag) {
    case 76: return {R::PresetMenu, 1.0f};
    case 102: return {R::NextPreset, 1.0f};
    case 103: return {R::PreviousPreset, 1.0f};
    default: break;
    }
    // buttons and menus report a state index, knobs and sliders 0..1
    const float factor = controlStatesOf(tag).factor;
    if (tag >= 0 && tag < 38) return {R::Automated, factor};
    return {R::Plain, factor};
}
