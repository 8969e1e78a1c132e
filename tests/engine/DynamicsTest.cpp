// The compressor's floor and the dynamic equaliser's band gains at the ends
// of their ranges, which the reference renders do not reach.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/DynamicEq.h"
#include "engine/Dynamics.h"

TEST(Compressor, GainNeverBelowOneFifth) {
    Dynamics d;
    d.setCompressorSwitch(1.0f);
    d.setCompression(1.0f);
    d.setCompressSpeed(1.0f, EngineContext{});
    StereoSample out;
    for (int i = 0; i < 96 + 44100; ++i) {
        if (i % 32 == 0) d.controlBlock();
        const float x = i < 96 ? 0.0f : 1.5f;
        out = d.process({x, x});
    }
    EXPECT_NEAR(d.compressor().envelope(), 1.5f, 1e-3f);
    EXPECT_NEAR(d.compressor().gain(), 0.2f, 1e-6f);
    EXPECT_NEAR(d.compressorReduction(), 0.8f, 1e-6f);
    EXPECT_NEAR(out.l, 0.2f * softClip(1.5f), 1e-6f);
}

TEST(DynamicEq, BandGainsAtTheEndsOfAmountAndLevel) {
    const EngineContext ctx;
    DynamicEq eq;
    eq.setSwitch(1.0f);
    eq.setSplit(0.383625f, ctx);
    eq.setResponse(1.0f, ctx);
    eq.setBandAmount(kEqLow, 0.0f);
    eq.setBandLevel(kEqLow, 0.25f); // gain 0.5 however loud
    eq.setBandAmount(kEqMid, 1.0f);
    eq.setBandLevel(kEqMid, 1.0f); // reduced to 0.2 * 2 once loud
    eq.setBandAmount(kEqHigh, 0.5f);
    eq.setBandLevel(kEqHigh, 0.5f);
    auto loud = [](int i) {
        const float x = 3.0f * std::sin(0.01f * i) + 3.0f * std::sin(0.1f * i) + 0.4f * std::sin(2.5f * i);
        return StereoSample{x, x};
    };
    for (int i = 0; i < 44096; ++i) {
        if (i % 32 == 0) eq.controlBlock();
        eq.process(loud(i));
    }
    // The targets come from the envelopes at the control block; after 32
    // samples the ramps have reached them.
    const float highEnv = eq.bandEnvelope(kEqHigh);
    eq.controlBlock();
    for (int i = 44096; i < 44128; ++i) eq.process(loud(i));
    EXPECT_FLOAT_EQ(eq.bandGain(kEqLow), 0.5f);
    EXPECT_GT(eq.bandEnvelope(kEqMid), 0.8f);
    EXPECT_NEAR(eq.bandGain(kEqMid), 0.4f, 1e-5f);
    ASSERT_LT(highEnv * 0.5f, 0.8f);
    EXPECT_NEAR(eq.bandGain(kEqHigh), 1.0f - highEnv * 0.5f, 1e-4f);
}
