// Helpers for tests that drive the plug-in through the test host: signals
// and an opened instance that processes stereo blocks.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <utility>
#include <vector>

#include "params/ParameterTags.h"
#include "support/ReferenceRenders.h"
#include "support/TestHost.h"

inline std::vector<float> sineWave(size_t n, float amplitude, float cyclesPerSample, float phase = 0.0f) {
    std::vector<float> s(n);
    for (size_t i = 0; i < n; ++i)
        s[i] = amplitude * std::sin(6.2831853f * (cyclesPerSample * static_cast<float>(i)) + phase);
    return s;
}

// A sine with a deterministic rough edge, so every stage has something to do.
inline std::vector<float> testSignal(size_t n, float amplitude, uint32_t seed = 1) {
    std::vector<float> s = sineWave(n, amplitude, 0.0123f);
    for (size_t i = 0; i < n; ++i) {
        seed = seed * 1664525u + 1013904223u;
        s[i] += amplitude * 0.3f * (static_cast<float>(seed >> 8) / 16777216.0f - 0.5f);
    }
    return s;
}

inline float peakOf(const std::vector<float>& s, size_t from = 0, size_t to = SIZE_MAX) {
    float p = 0.0f;
    for (size_t i = from; i < s.size() && i < to; ++i) p = std::max(p, std::fabs(s[i]));
    return p;
}

inline double rmsOf(const std::vector<float>& s, size_t from = 0, size_t to = SIZE_MAX) {
    to = std::min(to, s.size());
    double sum = 0.0;
    for (size_t i = from; i < to; ++i) sum += double(s[i]) * s[i];
    return std::sqrt(sum / double(to - from));
}

inline bool allFinite(const std::vector<float>& s) {
    return std::all_of(s.begin(), s.end(), [](float x) { return std::isfinite(x); });
}

inline bool bitIdentical(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

// A plug-in opened through the test host.
class HostedPlugin {
public:
    explicit HostedPlugin(bool provideTime = false) {
        host.provideTime = provideTime;
        effect = host.open();
    }
    void set(VstInt32 tag, float v) { effect->setParameter(effect, tag, v); }
    void set(std::initializer_list<std::pair<VstInt32, float>> values) {
        for (const auto& [tag, v] : values) set(tag, v);
    }
    // Delay and reverb off: only the direct path is heard.
    void sendsOff() {
        set(kTagDelayPower, 0.0f);
        set(kTagReverbPower, 0.0f);
    }
    // Every section and both modulation sources at work, as in the committed renders.
    void allStagesOn() {
        for (const reference::Event& e : reference::allOn()) set(e.tag, e.value);
    }
    // Processes a whole signal (both channels alike unless inR is given) in blocks.
    void run(const std::vector<float>& inL, const std::vector<float>& inR, std::vector<float>& outL,
             std::vector<float>& outR, int block) {
        host.processStereo(inL, inR, outL, outR, block);
    }
    std::vector<float> runLeft(const std::vector<float>& in, int block = 512) {
        std::vector<float> l, r;
        run(in, in, l, r, block);
        return l;
    }

    TestHost host;
    AEffect* effect = nullptr;
};
