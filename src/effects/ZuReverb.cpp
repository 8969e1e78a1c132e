#include "effects/ZuReverb.h"

#include <cstring>

#include "effects/SignalLine.h"

namespace {
constexpr float kDenormalGuard = 1e-10f;

// Reads from the lines flush values with an all-zero exponent to zero.
float flushDenormal(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof(bits));
    return (bits & 0x7F800000u) == 0 ? 0.0f : v;
}
} // namespace

ZuReverb::ZuReverb(EngineContext* context)
    : ZuEffect(context, 5) {
    static const char* const names[] = {"Size", "Strength", "Damp", "Width", "Cutoff"};
    static const float defaults[] = {0.5f, 0.5f, 0.5f, 1.0f, 0.0f};
    for (int32_t i = 0; i < 5; ++i) {
        setParameterNameText(i, names[i]);
        setParameterDefaultValue(i, defaults[i]);
    }
    for (int c = 0; c < 2; ++c) {
        for (int j = 0; j < kCombs; ++j) {
            comb_[c][j] = allocateLine(kCombLength[c][j]);
            if (registry_) registry_->add(comb_[c][j], kCombLength[c][j] * sizeof(float));
        }
        for (int a = 0; a < kAllPasses; ++a) {
            allPass_[c][a] = allocateLine(kAllPassLength[c][a]);
            if (registry_) registry_->add(allPass_[c][a], kAllPassLength[c][a] * sizeof(float));
        }
    }
    leftFilter_ = std::make_unique<EffectFilter>(context_, registry_);
    rightFilter_ = std::make_unique<EffectFilter>(context_, registry_);
    update();
}

ZuReverb::~ZuReverb() {
    for (int c = 0; c < 2; ++c) {
        for (float* line : comb_[c]) {
            if (registry_) registry_->remove(line);
            freeLine(line);
        }
        for (float* line : allPass_[c]) {
            if (registry_) registry_->remove(line);
            freeLine(line);
        }
    }
}

template <bool Flush> float ZuReverb::network(int c, float x) {
    float sum = 0.0f;
    for (int j = 0; j < kCombs; ++j) {
        uint32_t& index = combIndex_[c][j];
        if (++index >= kCombLength[c][j]) index = 0;
        float* line = comb_[c][j];
        const float y = Flush ? flushDenormal(line[index]) : line[index];
        float& state = combState_[c][j];
        state = y * damp2_ + state * damp1_;
        line[index] = state * room_ + x;
        sum += y;
    }
    float v = sum;
    for (int a = 0; a < kAllPasses; ++a) {
        uint32_t& index = allPassIndex_[c][a];
        if (++index >= kAllPassLength[c][a]) index = 0;
        float* line = allPass_[c][a];
        const float b = Flush ? flushDenormal(line[index]) : line[index];
        const float out = b - v;
        line[index] = 0.5f * b + v;
        v = out;
    }
    return v;
}

template <bool Flush> void ZuReverb::runNetworks(float inL, float inR, float& outL, float& outR) {
    const float x = (inL + inR) * inputGain_ + kDenormalGuard;
    outL = network<Flush>(0, x);
    outR = network<Flush>(1, x);
}

void ZuReverb::process(float* left, float* right, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        float l, r;
        runNetworks<false>(left[i], right[i], l, r);
        left[i] = leftFilter_->step(static_cast<double>(wet1_ * l + wet2_ * r)) * wetGain_ + left[i] * dryGain_;
        right[i] = rightFilter_->step(static_cast<double>(wet1_ * r + wet2_ * l)) * wetGain_ + right[i] * dryGain_;
    }
}

void ZuReverb::processWet(float* left, float* right, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        float l, r;
        runNetworks<false>(left[i], right[i], l, r);
        float outL = wet1_ * l + wet2_ * r;
        float outR = wet1_ * r + wet2_ * l;
        if (leftFilter_->g != 0.0) outL = leftFilter_->step(static_cast<double>(outL));
        if (rightFilter_->g != 0.0) outR = rightFilter_->step(static_cast<double>(outR));
        left[i] = outL;
        right[i] = outR;
    }
}

void ZuReverb::processSample(float* left, float* right) {
    float l, r;
    runNetworks<true>(*left, *right, l, r);
    *left += leftFilter_->step(static_cast<double>(wet1_ * l + wet2_ * r)) * wetGain_;
    *right += rightFilter_->step(static_cast<double>(wet1_ * r + wet2_ * l)) * wetGain_;
}

void ZuReverb::setParameter(int32_t index, float value) {
    if (index < 0 || index >= count_) {
        report("unknown parameter called in ZuBreverb");
        return;
    }
    values_[index] = value;
    switch (index) {
    case 0: room_ = value * 0.28f + 0.7f; break;
    case 1:
        wet_ = value * 3.0f;
        update();
        break;
    case 2:
        damp1_ = value * 0.4f;
        update();
        break;
    case 3:
        width_ = value;
        update();
        break;
    case 4:
        leftFilter_->setCutoff(value);
        rightFilter_->setCutoff(value);
        break;
    default: break;
    }
}

void ZuReverb::update() {
    wet1_ = wet_ * (width_ * 0.5f + 0.5f);
    wet2_ = wet_ * ((1.0f - width_) * 0.5f);
    damp2_ = 1.0f - damp1_;
}

void ZuReverb::reset() {
    leftFilter_->clearState();
    rightFilter_->clearState();
    for (int c = 0; c < 2; ++c) {
        for (int j = 0; j < kCombs; ++j) {
            std::memset(comb_[c][j], 0, kCombLength[c][j] * sizeof(float));
            combState_[c][j] = 0.0f;
            combIndex_[c][j] = 0;
        }
        for (int a = 0; a < kAllPasses; ++a) {
            std::memset(allPass_[c][a], 0, kAllPassLength[c][a] * sizeof(float));
            allPassIndex_[c][a] = 0;
        }
    }
}

void ZuReverb::setMix(float mix) {
    mix_ = mix * mix * mix;
    wetGain_ = mix;
    dryGain_ = 1.0f - mix;
}

void ZuReverb::getParameterDisplay(int32_t index, float value, char* text) {
    writePercentDisplay(index, value, text);
}
