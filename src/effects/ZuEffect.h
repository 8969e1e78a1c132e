// Base of the two send effects. The engine drives them through SendEffect:
// it sets parameters by index, runs blocks of at most 32 stereo samples in
// place, and resets, clears and re-times them. The rest describes an effect
// to whoever asks (names, defaults, displays).
#pragma once

#include <cstdint>
#include <vector>

#include "effects/EffectNotice.h"
#include "engine/EngineContext.h"
#include "engine/SendEffect.h"

class ZuEffect : public SendEffect {
public:
    // Size of the name buffers; names and displays never write more.
    static constexpr int kParameterTextSize = 32;

    ZuEffect(EngineContext* context, int32_t parameterCount);
    ~ZuEffect() override;
    virtual void processSample(float* left, float* right);
    void process(float* left, float* right, int32_t count) override;
    virtual void processWet(float* left, float* right, int32_t count);
    void setParameter(int32_t index, float value) override;
    void setMode(int32_t which, int32_t value) override;
    virtual void getParameterName(int32_t index, char* text);
    void reset() override;
    void update() override;
    void timingChanged(bool keepContents) override;
    int32_t clear() override;
    virtual int32_t isStereoCapable();
    void setMix(float mix) override;
    virtual float getParameterDefault(int32_t index);
    virtual void setBufferRegistry(BufferRegistry* registry);
    virtual void getParameterDisplay(int32_t index, float value, char* text);
    virtual void reapplyParameters(int32_t word);
    virtual float getParameterSteps(int32_t index);

    int32_t parameterCount() const { return count_; }
    float parameterValue(int32_t index) const { return index >= 0 && index < count_ ? values_[index] : 0.0f; }
    float dryGain() const { return dryGain_; }
    float wetGain() const { return wetGain_; }
    float mix() const { return mix_; }
    // Where reports go; without one they are dropped.
    void setNotice(EffectNotice* notice) { notice_ = notice; }

protected:
    void setParameterNameText(int32_t index, const char* name);
    void setParameterDefaultValue(int32_t index, float value);
    // The effects' display: value * 100 as "50.00 %"; nothing for an index beyond the count.
    void writePercentDisplay(int32_t index, float value, char* text) const;
    void report(const char* text) const {
        if (notice_) notice_->effectNotice(text);
    }

    std::vector<float> values_;
    float dryGain_ = 0.70710677f;
    float wetGain_ = 0.70710677f;
    float mix_ = 0.5f;
    std::vector<char> names_; // count * 32 bytes
    std::vector<float> defaults_;
    int32_t count_;
    int32_t reapplyWord_ = 0;
    EngineContext* context_;
    BufferRegistry* registry_;
    EffectNotice* notice_ = nullptr;
};
