// What the parameter model tells the one who shows the parameters (the
// editor). The listener keeps which control groups are shown; the model only
// reports the editor switches and asks which groups are shown, because the
// page switches' cascades depend on it. The calls come from whatever thread
// applied the value.
#pragma once

#include <cstdint>

class ParameterListener {
public:
    // An editor switch took the state `state` (0 or 1).
    virtual void switchChanged(int32_t tag, float state) = 0;
    virtual bool groupShown(int group) const = 0;
    // A value the listener shows changed: a redraw at its next chance.
    virtual void requestRedraw() = 0;

protected:
    ~ParameterListener() = default;
};
