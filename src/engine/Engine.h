// The audio engine state embedded in the plug-in object: the timing context,
// the parameter cells (indexed by tag) and the processing call.
#pragma once

#include <cstdint>

#include "engine/EngineContext.h"
#include "params/ParameterTable.h"

class Engine {
public:
    Engine();

    // Writes n samples of both outputs (being built: silence for now).
    void process(float** inputs, float** outputs, int32_t n);

    EngineContext ctx;
    float cell[kMaxTag] = {}; // normalised parameter values, by tag
};
