// Where a control's change goes, by its tag: to the host as automation, to
// the parameter model only, to the preset menu, or to program stepping.
#pragma once

#include <cstdint>

enum class ValueRoute {
    Automated,       // setParameterAutomated(tag, v x factor)
    Plain,           // setParameter(tag, v x factor), the host is not told
    PresetMenu,      // the preset menu's action
    NextPreset,      // on v = 1: setProgram(current + 1)
    PreviousPreset,  // on v = 1: setProgram(current - 1)
};

struct ValueRule {
    ValueRoute route;
    float factor; // turns a state index or entry value into 0..1
};

ValueRule valueRuleFor(int32_t tag);
