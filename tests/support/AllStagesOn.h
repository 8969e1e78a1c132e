// Parameter values that switch every stage of the chain in and both send
// effects on with audible levels, for tests and benchmarks that want the
// whole engine at work. set(tag, value) is whatever applies a value.
#pragma once

#include "params/ParameterTags.h"

template <class Set>
void switchAllStagesOn(Set set) {
    set(kTagGate, 1.0f);
    set(kTagGateThreshold, 0.05f);
    set(kTagPreamp, 1.0f);
    set(kTagOverdrive, 0.4f);
    set(kTagComp, 1.0f);
    set(kTagCompression, 0.6f);
    set(kTagDyn, 1.0f);
    set(kTagFxSwitch, 1.0f);
    set(kTagFilterFlow, 1.0f); // filter in the main path and the sends
    set(kTagFilterCutoff, 0.6f);
    set(kTagFilterResonance, 0.5f);
    set(kTagDelayPower, 1.0f);
    set(kTagDelayTime, 0.3f);
    set(kTagDelayFeedback, 0.5f);
    set(kTagDelayLevel, 0.8f);
    set(kTagReverbPower, 1.0f);
    set(kTagReverbLevel, 0.6f);
    set(kTagReverbRoom, 0.5f);
    set(kTagReverbDecay, 0.5f);
    set(kTagFxReturn, 0.8f);
    set(kTagLfoPower, 1.0f); // LFO on the filter frequency
    set(kTagLfoAmount, 0.5f);
    set(kTagLfoSpeed, 0.4f);
    set(kTagLfoTarget, 0.0f);
    set(kTagFollowerPower, 1.0f); // follower on the reverb level
    set(kTagFollowerAmount, 0.5f);
    set(kTagFollowerTarget, 0.9f);
    set(kTagMaster, 0.5f); // unity master
}
