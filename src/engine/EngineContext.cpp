#include "engine/EngineContext.h"

#include <algorithm>
#include <cstring>

void BufferRegistry::add(void* pointer, size_t bytes) { entries_.push_back({pointer, bytes}); }

std::vector<BufferEntry>::iterator BufferRegistry::find(const void* pointer) {
    return std::find_if(entries_.begin(), entries_.end(), [&](const BufferEntry& e) { return e.pointer == pointer; });
}

void BufferRegistry::remove(const void* pointer) {
    auto it = find(pointer);
    if (it != entries_.end()) entries_.erase(it);
}

void BufferRegistry::resize(const void* pointer, size_t bytes) {
    auto it = find(pointer);
    if (it != entries_.end()) it->bytes = bytes;
}

void BufferRegistry::zeroAll() {
    for (const BufferEntry& e : entries_)
        if (e.pointer && e.bytes) std::memset(e.pointer, 0, e.bytes);
}

EngineContext::EngineContext() {
    setSampleRate(44100.0f);
    refreshConstants();
    refreshMeterDecay();
}

bool EngineContext::setSampleRate(float fs) {
    if (!acceptsSampleRate(fs)) return false;
    sampleRate = fs;
    samplePeriod = 1.0f / fs;
    twoOverFs = 2.0f / fs;
    angularStep = 6.2831855f / fs;
    halfAngularStep = 3.1415927f / fs;
    controlBlockPeriod = controlBlockSizeF / fs;
    refreshTempoFields();
    return true;
}

void EngineContext::refreshTempoFields() {
    const float fs = sampleRate;
    samplesPerBeat = samplesPerBeatAt(fs, tempo);
    samplesPerMs = 0.001f * fs;
    controlBlocksPerMs = (fs / controlBlockSizeF) * 0.001f;
    controlBlocksPerBeat = samplesPerBeat / controlBlockSizeF;
    k1024OverFs = 1.0f / (fs * 0.0009765625f);
    fsOverTwoPi = static_cast<float>(static_cast<double>(fs) / 6.283185307);
}

void EngineContext::refreshConstants() {
    const float fs = sampleRate;
    EngineConstants& c = constants;
    c.rateRatio = fs * 2.2675737e-05f;
    c.inverseRateRatio = 1.0f / (fs * 2.2675737e-05f);
    c.halfSampleRate = 0.5f * fs;
    c.smoothingStep = 6.28f / fs;
    c.piStep = 3.14159f / fs;
    c.outputHighPass.set(prewarp(std::min(30.0f, fs) * c.piStep));
    c.beatsPerSecond = fs / samplesPerBeat;
    c.followerUpperLimit = 0.46382192f * fs;
    c.followerLowerLimit = 4.0690105e-05f * fs;
    c.followerNegativeSign = -1.0f;
    c.delayTimeStep = 0.071428575f;
}

void EngineContext::refreshMeterDecay() {
    const float fs = sampleRate;
    constants.meterDecay400 = 1.0f / (0.001f * fs * 400.0f + 1e-09f);
    constants.meterDecay800 = 1.0f / (0.001f * fs * 800.0f + 1e-09f);
}

void EngineContext::removeTempoListener(ZuBPMChangeInterface* l) {
    auto it = std::find(tempoListeners.begin(), tempoListeners.end(), l);
    if (it != tempoListeners.end()) tempoListeners.erase(it);
}
