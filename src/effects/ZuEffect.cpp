#include "effects/ZuEffect.h"

#include <cmath>
#include <cstdio>
#include <cstring>

ZuEffect::ZuEffect(EngineContext* context, int32_t parameterCount)
    : values_(static_cast<size_t>(parameterCount), 0.0f),
      names_(static_cast<size_t>(parameterCount) * kParameterTextSize, 0),
      defaults_(static_cast<size_t>(parameterCount), 0.5f), count_(parameterCount), context_(context),
      registry_(context ? &context->registry : nullptr) {
    for (int32_t i = 0; i < count_; ++i) setParameterNameText(i, "no name set");
}

ZuEffect::~ZuEffect() = default;

void ZuEffect::processSample(float*, float*) {}
void ZuEffect::process(float*, float*, int32_t) {}
void ZuEffect::processWet(float*, float*, int32_t) {}

void ZuEffect::setParameter(int32_t index, float value) {
    if (index >= 0 && index < count_) values_[index] = value;
}

void ZuEffect::setMode(int32_t, int32_t) {}

void ZuEffect::getParameterName(int32_t index, char* text) {
    if (index < 0 || index >= count_) {
        std::strcpy(text, "unused");
        return;
    }
    std::memcpy(text, &names_[static_cast<size_t>(index) * kParameterTextSize], kParameterTextSize);
    text[kParameterTextSize - 1] = 0;
}

void ZuEffect::reset() {}
void ZuEffect::update() {}
void ZuEffect::timingChanged(bool) {}
int32_t ZuEffect::clear() { return 1; }
int32_t ZuEffect::isStereoCapable() { return 0; }

void ZuEffect::setMix(float mix) {
    mix_ = mix;
    wetGain_ = std::sqrt(mix);
    dryGain_ = std::sqrt(1.0f - mix);
}

float ZuEffect::getParameterDefault(int32_t index) {
    return index >= 0 && index < count_ ? defaults_[index] : 0.0f;
}

void ZuEffect::setBufferRegistry(BufferRegistry* registry) { registry_ = registry; }

void ZuEffect::getParameterDisplay(int32_t, float value, char* text) {
    std::snprintf(text, kParameterTextSize, "%f", value);
}

void ZuEffect::reapplyParameters(int32_t word) {
    reapplyWord_ = word;
    for (int32_t i = 0; i < count_; ++i) setParameter(i, values_[i]);
}

float ZuEffect::getParameterSteps(int32_t) { return 0.0f; }

void ZuEffect::setParameterNameText(int32_t index, const char* name) {
    if (index < 0 || index >= count_) return;
    char* dst = &names_[static_cast<size_t>(index) * kParameterTextSize];
    std::snprintf(dst, kParameterTextSize, "%s", name);
}

void ZuEffect::setParameterDefaultValue(int32_t index, float value) {
    if (index >= 0 && index < count_) defaults_[index] = value;
}

void ZuEffect::writePercentDisplay(int32_t index, float value, char* text) const {
    if (index >= 0 && index < count_) std::snprintf(text, kParameterTextSize, "%3.2f %%", value * 100.0f);
}
