// Noise gate, preamp stage (high-pass, overdrive, gain) and compressor: the
// first three stages of the chain. Shared detectors, per-channel filters.
#pragma once

#include <cstdint>

#include "engine/BuildingBlocks.h"
#include "engine/Compressor.h"
#include "engine/EngineContext.h"
#include "engine/NoiseGate.h"
#include "engine/PreampStage.h"
#include "engine/StereoSample.h"

class Dynamics {
public:
    // Values set by the parameters (normalised v; switches already 0.0 or 1.0).
    void setGateSwitch(float on) { gate_.setSwitch(on); }
    void setGateThreshold(float v) { gate_.setThreshold(v); }
    void setGateSpeed(float v, const EngineContext& ctx) { gate_.setSpeed(v, ctx); }
    void setPreampSwitch(float on) { preamp_.setSwitch(on); }
    void setHighPass(float v, const EngineContext& ctx) { preamp_.setHighPass(v, ctx); }
    void setOverdrive(float v) { preamp_.setOverdrive(v); }
    void setPreampGain(float v) { preamp_.setGain(v); }
    void setCompressorSwitch(float on) { compressor_.setSwitch(on); }
    void setCompression(float v) { compressor_.setAmount(v); }
    void setCompressSpeed(float v, const EngineContext& ctx) { compressor_.setSpeed(v, ctx); }

    // Per control block: gate target, preamp ramps, compressor target.
    void controlBlock();
    // Per sample: gate, high-pass and overdrive, preamp selection, compressor.
    StereoSample process(StereoSample in) {
        process(&in, 1, nullptr, [](float) {});
        return in;
    }
    // The same in place on n frames; unless null, overdriveLeft receives each
    // frame's left overdrive output, and compressorInput(left) sees each
    // frame's left compressor input.
    template <typename CompressorInput>
    void process(StereoSample* frames, int32_t n, float* overdriveLeft, CompressorInput compressorInput);

    // Values the meters and the editor read.
    float gateOpen() const { return gate_.open(); }
    float overdriveOutLeft() const { return preamp_.overdriveOut().l; }
    float compressorInputLeft() const { return compressorInL_; }
    float compressorReduction() const { return compressor_.reduction(); }

    const NoiseGate& gate() const { return gate_; }
    const PreampStage& preamp() const { return preamp_; }
    const Compressor& compressor() const { return compressor_; }

private:
    NoiseGate gate_;
    PreampStage preamp_;
    Compressor compressor_;
    float compressorInL_ = 0.0f;
};

template <typename CompressorInput>
void Dynamics::process(StereoSample* frames, int32_t n, float* overdriveLeft, CompressorInput compressorInput) {
    if (n <= 0) return;
    // The gate and the compressor's detector (and whatever watches its input)
    // step in the preamp's loop, where their recursions overlap the overdrive's.
    NoiseGate::Run gate(gate_);
    Compressor::Detector detector(compressor_);
    preamp_.run(
        frames, n, overdriveLeft, [&](StereoSample in) { return gate.step(in); },
        [&](StereoSample out) {
            detector.step(out);
            compressorInput(out.l);
        });
    gate.store();
    detector.store();
    compressorInL_ = frames[n - 1].l;
    compressor_.applyGain(frames, n);
}
