// Noise gate, preamp stage (high-pass, overdrive, gain) and compressor: the
// first three stages of the chain. Shared detectors, per-channel filters.
#pragma once

#include "engine/BuildingBlocks.h"
#include "engine/EngineContext.h"

struct StereoSample {
    float l = 0.0f;
    float r = 0.0f;
};

class Dynamics {
public:
    // Values set by the parameters (normalised v; switches already 0.0 or 1.0).
    void setGateSwitch(float on);
    void setGateThreshold(float v);
    void setGateSpeed(float v, const EngineContext& ctx);
    void setPreampSwitch(float on);
    void setHighPass(float v, const EngineContext& ctx);
    void setOverdrive(float v);
    void setPreampGain(float v);
    void setCompressorSwitch(float on);
    void setCompression(float v);
    void setCompressSpeed(float v, const EngineContext& ctx);

    // Per control block, in the order the stages need.
    void controlBlock();
    // Per sample: gate, high-pass and overdrive, preamp selection, compressor.
    StereoSample process(StereoSample in);

    // Values the meters and the editor read.
    float gateOpen() const { return gateOpenFlag_; }
    float overdriveOutLeft() const { return overdriveOutL_; }
    float compressorInputLeft() const { return compressorInL_; }
    float compressorReduction() const { return compressorReduction_; }

private:
    float gateOpenFlag_ = 0.0f;
    float overdriveOutL_ = 0.0f;
    float compressorInL_ = 0.0f;
    float compressorReduction_ = 0.0f;
};
