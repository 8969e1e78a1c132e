// Parameter values that switch every stage of the chain in and both send
// effects on with audible levels, for tests and benchmarks that want the
// whole engine at work. set(tag, value) is whatever applies a value.
#pragma once

template <class Set>
void switchAllStagesOn(Set set) {
    set(41, 1.0f); // gate
    set(1, 0.05f); // gate threshold
    set(46, 1.0f); // preamp stage
    set(5, 0.4f);  // overdrive
    set(45, 1.0f); // compressor
    set(6, 0.6f);
    set(96, 1.0f); // dynamic equaliser
    set(97, 1.0f); // effects section
    set(18, 1.0f); // filter in the main path and the sends
    set(16, 0.6f);
    set(17, 0.5f);
    set(23, 1.0f); // delay
    set(20, 0.3f);
    set(21, 0.5f);
    set(22, 0.8f);
    set(27, 1.0f); // reverb
    set(26, 0.6f);
    set(24, 0.5f);
    set(25, 0.5f);
    set(28, 0.8f);
    set(36, 1.0f); // LFO on the filter frequency
    set(34, 0.5f);
    set(35, 0.4f);
    set(71, 0.0f);
    set(31, 1.0f); // follower on the reverb level
    set(29, 0.5f);
    set(32, 0.9f);
    set(0, 0.5f);  // unity master
}
