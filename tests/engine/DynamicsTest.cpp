// Noise gate, preamp stage and compressor: parameter mappings, switch
// behaviour and the timing of the gate.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/Dynamics.h"
#include "engine/ModuleContext.h"
#include "engine/SignalProbe.h"

namespace {

// Runs control blocks of silence until every ramp sits on its target.
void settle(Dynamics& d, int blocks = 3) {
    for (int b = 0; b < blocks; ++b) {
        d.controlBlock();
        for (int i = 0; i < 32; ++i) d.process({0.0f, 0.0f});
    }
}

// Runs n samples of a constant input on both channels, a control block every 32.
StereoSample runConstant(Dynamics& d, float x, int n) {
    StereoSample out;
    for (int i = 0; i < n; ++i) {
        if (i % 32 == 0) d.controlBlock();
        out = d.process({x, x});
    }
    return out;
}


void setUpCompressor(Dynamics& d, float compression) {
    d.setCompressorSwitch(1.0f);
    d.setCompression(compression);
    d.setCompressSpeed(1.0f, EngineContext{});
}

} // namespace

TEST(PreampStage, HighPassResponse) {
    // Preamp in with unity gain (12 v^4 = 1) and overdrive 0: for small signals
    // the stage output is the high-pass output; -3 dB at the cutoff.
    for (float fs : {44100.0f, 88200.0f}) {
        const EngineContext ctx = contextAt(fs);
        Dynamics d;
        d.setPreampSwitch(1.0f);
        d.setPreampGain(std::pow(1.0f / 12.0f, 0.25f));
        d.setOverdrive(0.0f);
        d.setCompressorSwitch(0.0f);
        d.setHighPass(1.0f, ctx);
        settle(d);
        const double fc = 1523.52 * 44100.0 / fs;
        auto chain = [&](StereoSample s) { return d.process(s); };
        EXPECT_NEAR(toDb(sineGain(chain, fc, fs)), -3.01, 0.15) << fs;
        EXPECT_NEAR(toDb(sineGain(chain, fc / 10.0, fs)), -20.0, 0.5) << fs;
        EXPECT_NEAR(toDb(sineGain(chain, fc * 8.0, fs)), 0.0, 0.2) << fs;
    }
}

TEST(PreampStage, OverdriveClipsAsymmetrically) {
    // High-pass at 0 passes every sample unchanged, so the overdrive sees the input.
    const EngineContext ctx;
    for (float v : {0.0f, 1.0f}) {
        PreampStage p;
        p.setSwitch(1.0f);
        p.setHighPass(0.0f, ctx);
        p.setOverdrive(v);
        p.setGain(1.0f);
        for (int b = 0; b < 4; ++b) {
            p.controlBlock();
            for (int i = 0; i < 32; ++i) p.process({0.0f, 0.0f});
        }
        const float trim = p.trimTarget();
        p.process({5.0f, -5.0f});
        EXPECT_NEAR(p.overdriveOut().l, 0.99f * trim, 1e-6f) << v;
        EXPECT_NEAR(p.overdriveOut().r, -1.0f * trim, 1e-6f) << v;
        // Gain 12 v^4 = 12 at v = 1.
        const StereoSample out = p.process({5.0f, -5.0f});
        EXPECT_NEAR(out.l, 12.0f * p.overdriveOut().l, 1e-5f);
    }
}

TEST(PreampStage, SwitchingCrossfadesOverTheNextControlBlock) {
    // High-pass at 0 and overdrive 0: the overdrive output of a constant 0.3
    // is softClip(0.3) with the trim 1; gain 12 v^4 = 1.
    const EngineContext ctx;
    PreampStage p;
    p.setHighPass(0.0f, ctx);
    p.setOverdrive(0.0f);
    p.setGain(std::pow(1.0f / 12.0f, 0.25f));
    for (int b = 0; b < 4; ++b) {
        p.controlBlock();
        for (int i = 0; i < 32; ++i) p.process({0.3f, 0.3f});
    }
    p.setSwitch(1.0f);
    EXPECT_EQ(p.process({0.3f, 0.3f}).l, 0.3f) << "until the control block, the input";
    p.controlBlock();
    const float driven = p.process({0.3f, 0.3f}).l; // 1/32 of the way
    std::vector<float> fade;
    for (int i = 1; i < 32; ++i) fade.push_back(p.process({0.3f, 0.3f}).l);
    const float stage = p.overdriveOut().l;
    EXPECT_NEAR(driven, 0.3f + (stage - 0.3f) / 32.0f, 1e-4f);
    EXPECT_NEAR(fade[14], 0.3f + (stage - 0.3f) * 0.5f, 1e-4f);
    EXPECT_NEAR(fade.back(), stage, 1e-4f) << "in after one control block";
    p.setSwitch(0.0f);
    p.controlBlock();
    for (int i = 0; i < 32; ++i) p.process({0.3f, 0.3f});
    p.controlBlock();
    EXPECT_EQ(p.process({0.3f, 0.3f}).l, 0.3f) << "out again: the input exactly";
}

TEST(Compressor, GainNeverBelowOneFifth) {
    Dynamics d;
    setUpCompressor(d, 1.0f);
    settle(d);
    const StereoSample out = runConstant(d, 1.5f, 44100);
    EXPECT_NEAR(d.compressor().envelope(), 1.5f, 1e-3f);
    EXPECT_NEAR(d.compressor().gain(), 0.2f, 1e-6f);
    EXPECT_NEAR(d.compressorReduction(), 0.8f, 1e-6f);
    EXPECT_NEAR(out.l, 0.2f * softClip(1.5f), 1e-6f);
}

TEST(Compressor, AmountScalesTheReduction) {
    Dynamics d;
    setUpCompressor(d, 0.5f); // amount 0.125
    runConstant(d, 0.8f, 44100);
    EXPECT_NEAR(d.compressor().amount(), 0.125f, 1e-7f);
    EXPECT_NEAR(d.compressor().gain(), 1.0f - 0.125f * 0.8f, 1e-4f);
}

TEST(Compressor, OffKeepsTheClipperAndFreezesTheDetector) {
    Dynamics d;
    setUpCompressor(d, 1.0f);
    runConstant(d, 0.5f, 22050);
    const float env = d.compressor().envelope();
    ASSERT_GT(env, 0.4f);
    d.setCompressorSwitch(0.0f);
    // Within one control block the gain is back at 1; softClip still shapes.
    d.controlBlock();
    StereoSample out;
    for (int i = 0; i < 32; ++i) out = d.process({1.2f, -1.2f});
    EXPECT_FLOAT_EQ(d.compressor().gain(), 1.0f);
    EXPECT_FLOAT_EQ(out.l, softClip(1.2f));
    EXPECT_FLOAT_EQ(out.r, softClip(-1.2f));
    EXPECT_EQ(d.compressor().envelope(), env);
    EXPECT_EQ(d.compressorReduction(), 0.0f);
    runConstant(d, 0.0f, 44100);
    EXPECT_EQ(d.compressor().envelope(), env) << "detector must not run while off";
}

TEST(NoiseGate, ThresholdAndSpeedMappings) {
    NoiseGate g;
    g.setSwitch(1.0f);
    g.setThreshold(0.5f);
    g.setSpeed(1.0f, EngineContext{}); // 10 ms hold
    g.process({0.26f, 0.0f});
    EXPECT_EQ(g.open(), 1.0f) << "0.26 is above 0.5^2";
    NoiseGate h;
    h.setSwitch(1.0f);
    h.setThreshold(0.5f);
    h.setSpeed(1.0f, EngineContext{});
    h.process({0.24f, 0.0f});
    EXPECT_EQ(h.open(), 0.0f);
}

TEST(NoiseGate, ZeroThresholdOpensOnAnyPositiveSample) {
    NoiseGate g;
    g.setSwitch(1.0f);
    g.setThreshold(0.0f);
    g.setSpeed(0.0f, EngineContext{}); // s = 400 ms: 17640 samples
    for (int i = 0; i < 10000; ++i) g.process({-0.5f, -0.9f});
    EXPECT_EQ(g.open(), 0.0f) << "negative samples never open the gate";
    EXPECT_EQ(g.value(), 0.0f);
    g.process({-0.5f, 1e-6f});
    EXPECT_EQ(g.open(), 1.0f);
    // The held level falls linearly to zero 400 ms after the peak.
    int closedAt = -1;
    for (int n = 1; n < 20000 && closedAt < 0; ++n) {
        g.process({0.0f, 0.0f});
        if (g.open() == 0.0f) closedAt = n;
    }
    EXPECT_NEAR(closedAt, 17640, 2);
    // The open flag's own hold keeps the smoother's input at 1 for another
    // 400 ms while it falls linearly; then only the smoothing is left.
    const float atClose = g.value();
    for (int n = 0; n < 17640; ++n) g.process({0.0f, 0.0f});
    const float atHoldEnd = g.value();
    for (int n = 0; n < 44100; ++n) g.process({0.0f, 0.0f});
    EXPECT_GT(atClose, 0.85f); // 1 - exp(-17640 * a / 2) with a = 2 * 6.28 / 44100
    EXPECT_GT(atHoldEnd, 0.1f);
    EXPECT_LT(atHoldEnd, atClose);
    EXPECT_LT(g.value(), 0.01f * atHoldEnd); // exp(-44100 * a / 2) = 0.0019
}

TEST(NoiseGate, SilenceClosesAndStaysClosed) {
    Dynamics d;
    d.setGateSwitch(1.0f);
    d.setGateThreshold(0.01f);
    d.setGateSpeed(1.0f, EngineContext{});
    d.setCompressorSwitch(0.0f);
    runConstant(d, 0.5f, 4410);
    EXPECT_NEAR(d.gate().gain(), 1.0f, 1e-3f);
    runConstant(d, 0.0f, 88200);
    EXPECT_LT(d.gate().gain(), 1e-20f);
    const StereoSample out = runConstant(d, -0.5f, 4410);
    EXPECT_LT(std::fabs(out.l), 1e-20f);
    EXPECT_EQ(d.gateOpen(), 0.0f);
}

TEST(NoiseGate, OffMeansUnityAndAFrozenDetector) {
    Dynamics d;
    d.setGateSwitch(1.0f);
    d.setGateThreshold(0.0f);
    d.setGateSpeed(0.5f, EngineContext{});
    runConstant(d, 0.3f, 4410);
    const float value = d.gate().value();
    d.setGateSwitch(0.0f);
    runConstant(d, 0.0f, 44100);
    EXPECT_EQ(d.gate().value(), value);
    EXPECT_EQ(d.gateOpen(), 1.0f) << "the indicator keeps its last state";
    EXPECT_FLOAT_EQ(d.gate().gain(), 1.0f);
}
