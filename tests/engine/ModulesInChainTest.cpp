// The dynamics and the resonant filter acting in the real processing chain,
// driven through the plug-in's entry point.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "support/EngineFixtures.h"

namespace {

enum : VstInt32 {
    kTagGateThreshold = 1,
    kTagCutoff = 16,
    kTagResonance = 17,
    kTagFilterFlow = 18,
    kTagFilterType = 19,
};

std::vector<float> concat(std::vector<float> a, const std::vector<float>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST(ModulesInChain, GateShutsOnAQuietTail) {
    // Threshold 0.3^2 = 0.09: a 0.5 sine opens the gate, a 0.05 sine does not.
    const auto loud = sineWave(44100, 0.5f, 0.01f);
    const auto quiet = sineWave(66150, 0.05f, 0.01f);
    const auto in = concat(loud, quiet);
    double withGate = 0.0, withoutGate = 0.0;
    for (float gate : {1.0f, 0.0f}) {
        HostedPlugin p;
        ASSERT_NE(p.effect, nullptr);
        p.sendsOff();
        p.set(kTagGate, gate);
        p.set(kTagGateThreshold, 0.3f);
        std::vector<float> l, r;
        p.run(in, in, l, r, 512);
        EXPECT_GT(rmsOf(l, 22050, 44100), 0.05) << "the loud part passes, gate " << gate;
        (gate > 0.0f ? withGate : withoutGate) = rmsOf(l, 88200, l.size());
    }
    EXPECT_GT(withoutGate, 0.005);
    EXPECT_LT(withGate, 1e-4 * withoutGate);
}

TEST(ModulesInChain, ResonantFilterLowPassesTheMainPath) {
    // The low-pass at cutoff 0.5 has its corner near 1.3 kHz.
    const auto low = sineWave(22050, 0.05f, 100.0f / 44100.0f);
    const auto high = sineWave(22050, 0.05f, 12000.0f / 44100.0f);
    auto level = [&](float flow, const std::vector<float>& in) {
        HostedPlugin p;
        p.sendsOff();
        p.set(kTagFilterFlow, flow); // 0: out of the path; 1.0: main path filtered
        p.set(kTagFilterType, 1.0f);
        p.set(kTagCutoff, 0.5f);
        p.set(kTagResonance, 0.0f);
        std::vector<float> l, r;
        p.run(in, in, l, r, 256);
        return rmsOf(l, 11025, in.size());
    };
    const double lowDry = level(0.0f, low), lowFiltered = level(1.0f, low);
    const double highDry = level(0.0f, high), highFiltered = level(1.0f, high);
    ASSERT_GT(lowDry, 1e-3);
    ASSERT_GT(highDry, 1e-3);
    EXPECT_NEAR(20.0 * std::log10(lowFiltered / lowDry), 0.0, 1.0);
    EXPECT_LT(20.0 * std::log10(highFiltered / highDry), -30.0);
}
