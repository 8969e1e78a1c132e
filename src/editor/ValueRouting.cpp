#include "editor/ValueRouting.h"

ValueRule valueRuleFor(int32_t tag) {
    using R = ValueRoute;
    switch (tag) {
    case 18:
    case 19: return {R::Automated, 1.0f / 3.0f}; // 3-state buttons
    case 23:
    case 27:
    case 31:
    case 33:
    case 36:
    case 37: return {R::Automated, 0.5f}; // 2-state buttons
    case 32: return {R::Automated, 0.125f}; // destination menu
    case 41:
    case 45:
    case 46:
    case 59:
    case 72:
    case 80:
    case 81:
    case 96:
    case 97:
    case 101: return {R::Plain, 0.5f};
    case 71: return {R::Plain, 0.125f};
    case 79: return {R::Plain, 0.16667667f};
    case 76: return {R::PresetMenu, 1.0f};
    case 102: return {R::NextPreset, 1.0f};
    case 103: return {R::PreviousPreset, 1.0f};
    default: break;
    }
    if (tag >= 0 && tag < 38) return {R::Automated, 1.0f}; // knobs and sliders
    return {R::Plain, 1.0f};
}
