// Helpers for tests that drive the engine: signals and a plug-in whose chain
// is reduced to what the engine itself does.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "support/TestHost.h"

inline std::vector<float> sineWave(size_t n, float amplitude, float cyclesPerSample, float phase = 0.0f) {
    std::vector<float> s(n);
    for (size_t i = 0; i < n; ++i)
        s[i] = amplitude * std::sin(6.2831853f * (cyclesPerSample * static_cast<float>(i)) + phase);
    return s;
}

// Tags of the editor switches that take stages in and out.
enum : VstInt32 {
    kTagGate = 41,
    kTagComp = 45,
    kTagPreamp = 46,
    kTagDyn = 96,
    kTagFxSwitch = 97,
    kTagSolo = 101,
};

// A plug-in opened through the test host; processes stereo blocks.
class HostedPlugin {
public:
    explicit HostedPlugin(bool provideTime = false) {
        host.provideTime = provideTime;
        effect = host.open();
    }
    void set(VstInt32 tag, float v) { host.setParameter(tag, v); }
    // Processes a whole signal in blocks of the given size into out.
    void run(const std::vector<float>& inL, const std::vector<float>& inR, std::vector<float>& outL,
             std::vector<float>& outR, int block) {
        host.processStereo(inL, inR, outL, outR, block);
    }
    void runSilence(size_t n, int block = 512) {
        std::vector<float> z(n, 0.0f), l, r;
        run(z, z, l, r, block);
    }

    TestHost host;
    AEffect* effect = nullptr;
};
