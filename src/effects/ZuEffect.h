// Base of the two send effects. The engine sets parameters by index, runs
// blocks of at most 32 stereo samples in place, and resets, clears and
// re-times the effects; the operations keep this slot order.
#pragma once

#include <cstdint>
#include <vector>

#include "effects/EffectNotice.h"
#include "engine/EngineContext.h"

class ZuEffect {
public:
    // Size of the name buffers; names and displays never write more.
    static constexpr int kParameterTextSize = 32;

    ZuEffect(EngineContext* context, int32_t parameterCount);
    virtual ~ZuEffect();                                              // 0
    virtual void processSample(float* left, float* right);           // 1
    virtual void process(float* left, float* right, int32_t count);  // 2
    virtual void processWet(float* left, float* right, int32_t count); // 3
    virtual void setParameter(int32_t index, float value);           // 4
    virtual void setMode(int32_t which, int32_t value);              // 5
    virtual void getParameterName(int32_t index, char* text);        // 12
    virtual void reset();                                            // 13
    virtual void update();                                           // 14
    virtual void timingChanged(bool keepContents);                   // 15
    virtual int32_t clear();                                         // 16
    virtual int32_t isStereoCapable();                               // 18
    virtual void setMix(float mix);                                  // 21
    virtual float getParameterDefault(int32_t index);                // 22
    virtual void setBufferRegistry(BufferRegistry* registry);        // 25
    virtual void getParameterDisplay(int32_t index, float value, char* text); // 26
    virtual void reapplyParameters(int32_t word);                    // 28
    virtual float getParameterSteps(int32_t index);                  // 30

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
