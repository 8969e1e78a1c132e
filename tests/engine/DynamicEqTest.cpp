// The three-band dynamic equaliser: crossover position, band detectors and
// gains, and the dyn switch.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/DynamicEq.h"
#include "engine/ModuleContext.h"
#include "engine/SignalProbe.h"

namespace {

void setAllBands(DynamicEq& eq, float amount, float level) {
    for (EqBand b : {kEqLow, kEqMid, kEqHigh}) {
        eq.setBandAmount(b, amount);
        eq.setBandLevel(b, level);
    }
}

// Runs n samples of input(i), a control block every 32; answers the last output.
template <class Input>
StereoSample run(DynamicEq& eq, int n, Input input) {
    StereoSample out;
    for (int i = 0; i < n; ++i) {
        if (i % 32 == 0) eq.controlBlock();
        out = eq.process(input(i));
    }
    return out;
}

StereoSample noise(int i) {
    // A fixed, broadband test signal.
    const float x = 0.3f * std::sin(0.031f * i) + 0.2f * std::sin(0.9f * i) + 0.1f * std::sin(2.7f * i);
    return {x, -0.5f * x};
}

// dyn in, amounts 0 and levels 1 (v = 0.5), the gains settled.
void unityEq(DynamicEq& eq, float split) {
    const EngineContext ctx;
    eq.setSwitch(1.0f);
    eq.setSplit(split, ctx);
    eq.setResponse(0.5f, ctx);
    setAllBands(eq, 0.0f, 0.5f);
    run(eq, 64, [](int) { return StereoSample{}; });
}

} // namespace

TEST(DynamicEq, UnityLevelsSumTheBandsUnchanged) {
    DynamicEq eq;
    unityEq(eq, 0.383625f);
    SvfChannel ref; // in step with the 64 silent samples
    for (int i = 0; i < 64; ++i) ref.process(0.0f, eq.crossover());
    for (int i = 0; i < 2000; ++i) {
        if (i % 32 == 0) eq.controlBlock();
        const StereoSample in = noise(i);
        const StereoSample out = eq.process(in);
        const SvfOutputs o = ref.process(in.l, eq.crossover());
        ASSERT_EQ(out.l, o.low + o.band + o.high) << i; // low is the previous sample's
    }
}

TEST(DynamicEq, BandGains) {
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
    run(eq, 44096, loud);
    // The targets come from the envelopes at the control block; after 32
    // samples the ramps have reached them.
    const float highEnv = eq.bandEnvelope(kEqHigh);
    eq.controlBlock();
    for (int i = 44096; i < 44128; ++i) eq.process(loud(i));
    EXPECT_FLOAT_EQ(eq.bandGain(kEqLow), 0.5f);
    EXPECT_GT(eq.bandEnvelope(kEqMid), 0.8f);
    EXPECT_NEAR(eq.bandGain(kEqMid), 0.4f, 1e-5f);
    const float e = highEnv * 0.5f;
    ASSERT_LT(e, 0.8f);
    EXPECT_NEAR(eq.bandGain(kEqHigh), 1.0f - e, 1e-4f);
}

TEST(DynamicEq, OffPassesTheInputWhileEverythingRuns) {
    const EngineContext ctx;
    DynamicEq on, off;
    for (DynamicEq* eq : {&on, &off}) {
        eq->setSplit(0.5f, ctx);
        eq->setResponse(0.5f, ctx);
        setAllBands(*eq, 0.7f, 0.6f);
    }
    on.setSwitch(1.0f);
    off.setSwitch(0.0f);
    for (int i = 0; i < 5000; ++i) {
        if (i % 32 == 0) on.controlBlock(), off.controlBlock();
        const StereoSample in = noise(i);
        on.process(in);
        const StereoSample out = off.process(in);
        ASSERT_EQ(out.l, in.l);
        ASSERT_EQ(out.r, in.r);
    }
    for (EqBand b : {kEqLow, kEqMid, kEqHigh}) {
        EXPECT_GT(off.bandEnvelope(b), 0.0f);
        EXPECT_EQ(off.bandEnvelope(b), on.bandEnvelope(b));
        EXPECT_EQ(off.bandGain(b), on.bandGain(b));
    }
    // Switched in, it continues exactly where the running stage is.
    off.setSwitch(1.0f);
    off.controlBlock(), on.controlBlock();
    for (int i = 5000; i < 5100; ++i) {
        const StereoSample in = noise(i);
        ASSERT_EQ(off.process(in).l, on.process(in).l);
    }
}

TEST(DynamicEq, ZeroSplitPutsEverythingInTheHighBand) {
    DynamicEq eq;
    unityEq(eq, 0.0f);
    for (int i = 0; i < 500; ++i) {
        if (i % 32 == 0) eq.controlBlock();
        const StereoSample in = noise(i);
        ASSERT_NEAR(eq.process(in).l, in.l, 1e-6f);
    }
    EXPECT_LT(eq.bandEnvelope(kEqLow), 1e-12f); // only the 1e-18 guards
    EXPECT_LT(eq.bandEnvelope(kEqMid), 1e-12f);
}

TEST(DynamicEqResponse, CrossoverSplitsLowMidHigh) {
    const EngineContext ctx;
    DynamicEq eq;
    eq.setSplit(0.383625f, ctx);
    const SvfCoefficients c = eq.crossover();
    auto bandGain = [&](int band, double hz) {
        SvfChannel ch;
        return toDb(sineGain(
            [&](StereoSample s) {
                const SvfOutputs o = ch.process(s.l, c);
                const float y = band == 0 ? o.low : (band == 1 ? o.band : o.high);
                return StereoSample{y, y};
            },
            hz, 44100.0, 0.01, 8192, 8192));
    };
    // Low: passes 50 Hz, falls 12 dB per octave above the split.
    EXPECT_NEAR(bandGain(0, 50.0), 0.0, 0.3);
    EXPECT_LT(bandGain(0, 4000.0), -30.0);
    // High: the mirror image.
    EXPECT_LT(bandGain(2, 50.0), -35.0);
    EXPECT_NEAR(bandGain(2, 8000.0), 0.5, 0.5);
    // Mid: a peak between the two, down on both sides.
    const double mid = bandGain(1, 500.0);
    EXPECT_NEAR(mid, 0.0, 1.5);
    EXPECT_LT(bandGain(1, 50.0), mid - 12.0);
    EXPECT_LT(bandGain(1, 8000.0), mid - 12.0);
}
