// The sine LFO: free-running rate or a tempo-synced one in eighths of a cycle
// per beat. Its phase runs on from construction, switched on or not.
#pragma once

#include <atomic>

#include "engine/EngineContext.h"

class Lfo {
public:
    // Both rates are derived here; recompute calls it again on every
    // sample-rate or tempo change, which refreshes the synced rate.
    void setSpeed(float v, const EngineContext& ctx);
    void setSync(float on) { sync_ = on >= 0.5f; }

    float rate() const { return sync_ ? syncedRate_ : freeRate_; }
    float freeRate() const { return freeRate_; }
    float syncedRate() const { return syncedRate_; }
    float phase() const { return phase_; }

    // Advances one control block and answers the sine at the new phase.
    float advance(const EngineContext& ctx);

private:
    std::atomic<bool> sync_{false}; // set from the thread that applies the switch
    float freeRate_ = 0.0f;
    float syncedRate_ = 0.0f;
    float phase_ = 0.0f;
};
