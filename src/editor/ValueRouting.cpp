#include "editor/ValueRouting.h"

#include "editor/EditorLayout.h"
#include "params/ControlStates.h"
#include "params/ParameterTable.h"
#include "params/ParameterTags.h"

ValueRule valueRuleFor(int32_t tag) {
    using R = ValueRoute;
    switch (tag) {
    case layout::kPresetMenuTag: return {R::PresetMenu, 1.0f};
    case kTagNextPreset: return {R::NextPreset, 1.0f};
    case kTagPreviousPreset: return {R::PreviousPreset, 1.0f};
    default: break;
    }
    // buttons and menus report a state index, knobs and sliders 0..1
    const float factor = controlStatesOf(tag).factor;
    if (tag >= 0 && tag < kNumHostParameters) return {R::Automated, factor};
    return {R::Plain, factor};
}
