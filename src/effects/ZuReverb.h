// Stereo reverb: eight damped feedback combs into four series all-passes per
// channel, the right network with slightly longer lines, cross-mixed for width.
#pragma once

#include <cstdint>
#include <memory>

#include "effects/EffectFilter.h"
#include "effects/ZuEffect.h"

class ZuReverb : public ZuEffect {
public:
    static constexpr int kCombs = 8;
    static constexpr int kAllPasses = 4;
    static constexpr uint32_t kCombLength[2][kCombs] = {{1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617},
                                                        {1139, 1211, 1300, 1379, 1445, 1514, 1580, 1640}};
    static constexpr uint32_t kAllPassLength[2][kAllPasses] = {{556, 441, 341, 225}, {579, 464, 364, 248}};

    explicit ZuReverb(EngineContext* context);
    ~ZuReverb() override;
    ZuReverb(const ZuReverb&) = delete;
    ZuReverb& operator=(const ZuReverb&) = delete;

    void processSample(float* left, float* right) override;
    void process(float* left, float* right, int32_t count) override;
    void processWet(float* left, float* right, int32_t count) override;
    void setParameter(int32_t index, float value) override;
    void reset() override;
    void update() override;
    int32_t isStereoCapable() override { return 1; }
    void setMix(float mix) override;
    void getParameterDisplay(int32_t index, float value, char* text) override;

    float inputGain() const { return inputGain_; }
    float room() const { return room_; }
    float wet() const { return wet_; }
    float wet1() const { return wet1_; }
    float wet2() const { return wet2_; }
    float width() const { return width_; }
    float damp1() const { return damp1_; }
    float damp2() const { return damp2_; }
    const float* combLine(int channel, int j) const { return comb_[channel][j]; }
    uint32_t combIndex(int channel, int j) const { return combIndex_[channel][j]; }
    const float* allPassLine(int channel, int a) const { return allPass_[channel][a]; }
    // True while passes skip the network of a settled silent tail.
    bool settled() const { return settled_; }
    EffectFilter& leftFilter() { return *leftFilter_; }
    EffectFilter& rightFilter() { return *rightFilter_; }

private:
    // Up to kPass frames through both networks: x from the inputs, then the
    // combs and all-passes of each channel, giving the network outputs; true,
    // with the outputs left unwritten, when the pass found the network settled
    // (every frame's outputs are then settledOut_).
    template <bool Flush> bool runNetworks(const float* inL, const float* inR, int n, float* outL, float* outR);
    // The eight combs of one channel; sum receives the comb sum of every frame.
    template <bool Flush> void runCombs(int channel, const float* x, float* sum, int n);
    // The four all-passes of one channel, in place on v.
    template <bool Flush> void runAllPasses(int channel, float* v, int n);

    // A silent tail settles, in single precision, where every line holds one
    // value that each step writes back unchanged. Once that is verified for the
    // current input and coefficients, a pass only advances the positions.
    bool holdsSettledState(const float* x, int n) const;
    void watchForSettling(const float* x, int n);
    bool verifySettled(float x);
    void advancePositions(int n);

    // Frames per pass: shorter than every line, so a pass never reads a sample
    // it wrote itself and each line's reads form one run.
    static constexpr int kPass = 32;

    float inputGain_ = 0.015f;
    float room_ = 0.84f;
    float wet_ = 1.0f / 3.0f;
    float wet1_ = 0.0f;
    float wet2_ = 0.0f;
    float width_ = 1.0f;
    float damp1_ = 0.0f;
    float damp2_ = 1.0f;
    float* comb_[2][kCombs] = {};
    uint32_t combIndex_[2][kCombs] = {};
    float combState_[2][kCombs] = {};
    float* allPass_[2][kAllPasses] = {};
    uint32_t allPassIndex_[2][kAllPasses] = {};
    // Settling: the last pass's input and coefficients, how long they stayed
    // the same, and the verified fixed point with its network outputs.
    static constexpr uint32_t kSettleCheckFrames = 8192;
    float lastX_ = 0.0f;
    float lastRoom_ = 0.0f;
    float lastDamp1_ = 0.0f;
    float lastDamp2_ = 0.0f;
    uint32_t steadyFrames_ = 0;
    bool settled_ = false;
    float settledComb_[2][kCombs] = {};
    float settledAllPass_[2][kAllPasses] = {};
    float settledOut_[2] = {};
    std::unique_ptr<EffectFilter> leftFilter_;
    std::unique_ptr<EffectFilter> rightFilter_;
};
