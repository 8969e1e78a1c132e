// An engine context as recompute leaves it for a sample rate and tempo.
#pragma once

#include "engine/EngineContext.h"

inline EngineContext contextAt(float fs, double bpm = 120.0) {
    EngineContext ctx;
    ctx.tempo = bpm;
    ctx.setSampleRate(fs);
    ctx.refreshConstants();
    return ctx;
}
