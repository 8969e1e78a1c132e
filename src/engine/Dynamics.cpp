#include "engine/Dynamics.h"

void Dynamics::controlBlock() {
    gate_.controlBlock();
    preamp_.controlBlock();
    compressor_.controlBlock();
}

void Dynamics::process(StereoSample* frames, int32_t n, float* compressorInLeft, float* overdriveLeft) {
    if (n <= 0) return;
    // The gate and the compressor's detector step in the preamp's loop, where
    // their recursions overlap the overdrive's.
    NoiseGate::Run gate(gate_);
    Compressor::Detector detector(compressor_);
    preamp_.run(
        frames, n, overdriveLeft, [&](StereoSample in) { return gate.step(in); },
        [&](StereoSample out) { detector.step(out); });
    gate.store();
    detector.store();
    if (compressorInLeft)
        for (int32_t i = 0; i < n; ++i) compressorInLeft[i] = frames[i].l;
    compressorInL_ = frames[n - 1].l;
    compressor_.applyGain(frames, n);
}
