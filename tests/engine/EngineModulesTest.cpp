// The engine's modules at settings the reference renders leave out: every
// filter type, full resonance and modulation past the control range; the
// LFO's synced rate, the inverted follower and sources that add up; the
// compressor's floor and the dynamic equaliser's bands at the ends of their
// ranges; and what the engine hands the delay, and how it reads a host's tempo.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/BuildingBlocks.h"
#include "engine/DynamicEq.h"
#include "engine/Dynamics.h"
#include "engine/Modulation.h"
#include "engine/ModuleMath.h"
#include "engine/PreampStage.h"
#include "engine/ResonantFilter.h"
#include "params/ParameterTags.h"
#include "plugin/ScopedFlushToZero.h"
#include "support/StateWords.h"

namespace {
// An engine context as recompute leaves it for a sample rate and tempo.
EngineContext contextAt(float fs, double bpm) {
    EngineContext ctx;
    ctx.tempo = bpm;
    ctx.setSampleRate(fs);
    ctx.refreshConstants();
    return ctx;
}

ResonantFilter filterAt(float cutoff, float reso, float type) {
    ResonantFilter f;
    f.setCutoff(cutoff);
    f.setResonance(reso);
    f.setType(type);
    f.controlBlock(0.0f, 0.0f, EngineContext{});
    return f;
}

// Steady-state gain in dB of a sine through the filter's left channel at 44.1 kHz.
double gainDb(ResonantFilter f, double hz) {
    const double w = 2.0 * 3.14159265358979323846 * hz / 44100.0;
    double inSum = 0.0, outSum = 0.0;
    for (int n = 0; n < 16384; ++n) {
        const float x = static_cast<float>(0.01 * std::sin(w * n));
        const StereoSample y = f.process({x, x});
        if (n >= 8192) inSum += static_cast<double>(x) * x, outSum += static_cast<double>(y.l) * y.l;
    }
    return 10.0 * std::log10(outSum / inSum);
}
} // namespace

TEST(ResonantFilter, ModulationIsAddedAndClamped) {
    const EngineContext ctx;
    ResonantFilter f = filterAt(0.5f, 0.5f, 0.0f);
    f.controlBlock(-1.0f, 1.0f, ctx);
    EXPECT_EQ(f.frequencyControl(), 0.0f);
    EXPECT_EQ(f.resonanceControl(), 0.94f);
    EXPECT_EQ(f.coefficients().g, 0.0f);
    f.controlBlock(2.0f, -1.0f, ctx);
    EXPECT_EQ(f.frequencyControl(), 1.0f);
    EXPECT_EQ(f.resonanceControl(), 0.0f);
    // x = 1 at 44100: P = 10, column 10 of row 0.
    EXPECT_NEAR(f.coefficients().g, 1.0f, 1e-5f);
    EXPECT_NEAR(f.coefficients().k, 1.0f, 1e-5f);
}

TEST(ResonantFilter, EachTypePassesItsBandAndFullResonanceRaisesAPeakNearTheCorner) {
    // g = 0.183: a corner near 1.3 kHz. A host's middle step (0.5) is band-pass.
    struct Row {
        float type;
        double hz, lowestDb, highestDb;
    };
    const Row rows[] = {{1.0f, 50.0, -0.3, 0.3},      {1.0f, 15000.0, -99.0, -35.0}, {0.0f, 50.0, -99.0, -50.0},
                        {0.0f, 8000.0, 0.0, 2.0},     {0.0f, 15000.0, 0.0, 2.0},     {0.5f, 50.0, -99.0, -19.0},
                        {0.5f, 15000.0, -99.0, -9.0}};
    for (const Row& r : rows) {
        const double db = gainDb(filterAt(0.5f, 0.0f, r.type), r.hz);
        EXPECT_GE(db, r.lowestDb) << "type " << r.type << " at " << r.hz << " Hz";
        EXPECT_LE(db, r.highestDb) << "type " << r.type << " at " << r.hz << " Hz";
    }
    const ResonantFilter lowPass = filterAt(0.5f, 0.0f, 1.0f);

    double flat = -100.0, resonant = -100.0, resonantAt = 0.0;
    for (double hz = 500.0; hz <= 3000.0; hz += 100.0) {
        flat = std::max(flat, gainDb(lowPass, hz));
        const double b = gainDb(filterAt(0.5f, 1.0f, 1.0f), hz);
        if (b > resonant) resonant = b, resonantAt = hz;
    }
    EXPECT_LT(flat, 0.5) << "no peak without resonance";
    EXPECT_GT(resonant, flat + 5.0);
    EXPECT_GT(resonantAt, 800.0);
    EXPECT_LT(resonantAt, 2000.0);
}

TEST(Lfo, FreeAndSyncedRates) {
    Lfo lfo;
    const EngineContext ctx = contextAt(44100.0f, 120.0);
    lfo.setSpeed(0.0f, ctx); // s = 0.025
    EXPECT_NEAR(lfo.freeRate(), 0.0075f, 1e-6f);
    EXPECT_EQ(lfo.syncedRate(), 0.0f) << "0 eighths: the synced LFO stands still";
    lfo.setSpeed(1.0f, ctx); // s = 0.999
    EXPECT_NEAR(lfo.freeRate(), 12.0f * 0.999f * 0.999f, 1e-4f);
    EXPECT_NEAR(lfo.syncedRate(), 31.0f / 8.0f * 2.0f, 1e-4f) << "31 eighths per beat, 2 beats per second";
    lfo.setSpeed(0.4877f, ctx); // s = 0.5: 16 eighths per beat
    EXPECT_NEAR(lfo.syncedRate(), 4.0f, 1e-4f);
    EXPECT_NEAR(lfo.freeRate(), 3.0f, 1e-3f);
    lfo.setSpeed(0.4877f, contextAt(44100.0f, 90.0));
    EXPECT_NEAR(lfo.syncedRate(), 3.0f, 1e-4f) << "re-applied after a tempo change";
    lfo.setSync(0.0f);
    EXPECT_EQ(lfo.rate(), lfo.freeRate());
    lfo.setSync(1.0f);
    EXPECT_EQ(lfo.rate(), lfo.syncedRate());
}

TEST(Modulation, TheInvertedFollowerIsLimitedToOneAndSourcesAddUp) {
    const EngineContext ctx;
    auto follower = [&](Modulation& m, float target, float level) {
        m.setFollowerSpeed(1.0f, ctx);
        m.setFollowerAmount(1.0f);
        m.setFollowerPower(1.0f);
        m.setFollowerTarget(target);
        for (int n = 0; n < 4410; ++n) m.detect(level, level);
    };
    Modulation m;
    m.setFollowerInvert(1.0f);
    follower(m, 0.0f, 3.0f);
    m.controlBlock(ctx);
    EXPECT_EQ(m.at(kModFilterFrequency), -1.0f) << "depth times envelope is limited to 1, then inverted";

    // The LFO at its positive peak and the follower, both on the resonance.
    Modulation n;
    n.setLfoSpeed(0.4877f, ctx); // 3 Hz free
    n.setLfoAmount(1.0f);
    n.setLfoPower(1.0f);
    n.setLfoTarget(1.0f);
    follower(n, 1.0f, 0.9f);
    for (int b = 0; b < 115; ++b) n.controlBlock(ctx); // phase 0.25
    EXPECT_NEAR(n.lfoSlot(2), 0.5f, 1e-3f);
    EXPECT_GT(n.followerSlot(2), 0.85f);
    EXPECT_EQ(n.at(kModFilterResonance), n.lfoSlot(2) + n.followerSlot(2)) << "past 1: the filter clamps it";
}

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
    EXPECT_NEAR(d.compressorReduction(), 0.8f, 1e-6f);
    EXPECT_NEAR(out.l, 0.2f * softClip(1.5f), 1e-6f);
}

// The preamp stage against its formulas in scalar steps, bit for bit, in the
// processing call's flush-to-zero mode: the bounded high-pass, the drive plus
// the feedback of the previous output, clampf(softClip(u), -1, 0.99), trim
// and gain, with every ramp stepping from zero. The input falls from beyond
// the clip to below the smallest normal float, at a trim of exactly 1 and
// one below it.
TEST(PreampStage, TheOverdriveFollowsItsFormulasBitForBit) {
    const ScopedFlushToZero flush;
    const EngineContext ctx = contextAt(44100.0f, 120.0);
    for (const float amount : {0.2f, 0.7f}) {
        PreampStage stage;
        stage.setSwitch(1.0f);
        stage.setHighPass(0.5f, ctx);
        stage.setOverdrive(amount);
        stage.setGain(0.8f);
        FirstOrderCoefficients hp;
        hp.set(prewarp(stage.cutoffHz() * ctx.constants.piStep));
        ParamRamp drive, feedback, trim, gain, selection;
        float prev[2] = {}, driven[2] = {};
        for (int i = 0; i < 4400; ++i) {
            if (i % 32 == 0) {
                stage.controlBlock();
                drive.setTarget(stage.driveTarget());
                feedback.setTarget(stage.feedbackTarget());
                trim.setTarget(stage.trimTarget());
                gain.setTarget(12.0f * 0.8f * 0.8f * 0.8f * 0.8f);
                selection.setTarget(1.0f);
            }
            const float x = 1.5f * std::sin(0.05f * static_cast<float>(i)) * std::exp2(-static_cast<float>(i) / 32.0f);
            const float in[2] = {x, -0.5f * x};
            const float dv = drive.next(), fb = feedback.next(), t = trim.next(), g = gain.next(), s = selection.next();
            float expected[2];
            for (int c = 0; c < 2; ++c) {
                const float v = (clampf(in[c], -1e6f, 1e6f) - hp.gMinus1 * prev[c]) * hp.invGPlus1;
                const float filtered = v - prev[c];
                prev[c] = clampf(v, -1e30f, 1e30f);
                driven[c] = clampf(softClip(filtered * dv + driven[c] * fb), -1.0f, 0.99f) * t;
                expected[c] = s == 1.0f ? driven[c] * g : in[c] * (1.0f - s) + driven[c] * g * s;
            }
            const StereoSample out = stage.process({in[0], in[1]});
            ASSERT_EQ(out.l, expected[0]) << amount << " at " << i;
            ASSERT_EQ(out.r, expected[1]) << amount << " at " << i;
            ASSERT_EQ(std::signbit(out.l), std::signbit(expected[0])) << amount << " at " << i;
        }
        EXPECT_EQ(stage.trimTarget() == 1.0f, amount < 0.28f);
    }
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

TEST(ProcessingLoop, DelayTimeIsClampedAndSteppedPerControlBlock) {
    // The LFO swings the time half a unit past either end: held at 0 and 1,
    // in steps of 1/14.
    auto c = DirectHost::create();
    c->setParameter(kTagFxSwitch, 1.0f);
    c->setParameter(kTagDelayPower, 1.0f);
    c->setParameter(kTagLfoPower, 1.0f);   // LFO on,
    c->setParameter(kTagLfoAmount, 1.0f);  // full depth,
    c->setParameter(kTagLfoSpeed, 1.0f);   // 12 Hz,
    c->setParameter(kTagLfoTarget, 0.25f); // on the delay time
    float silence[32] = {}, out[2][32];
    float* ins[2] = {silence, silence};
    float* outs[2] = {out[0], out[1]};
    for (float time : {0.0f, 1.0f}) { // 1.0 is 15 steps, more than the clamp allows
        c->setParameter(kTagDelayTime, time);
        float lowest = 2.0f, highest = -1.0f;
        for (int b = 0; b < 120; ++b) {
            c->processReplacing(ins, outs, 32);
            lowest = std::min(lowest, c->delay().parameterValue(0));
            highest = std::max(highest, c->delay().parameterValue(0));
        }
        const float end = time == 0.0f ? 0.0f : std::trunc(1.0f / 0.071428575f) * 0.071428575f;
        EXPECT_EQ(time == 0.0f ? lowest : highest, end) << "held at the end";
        EXPECT_NE(lowest, highest) << "the LFO moves the time";
    }
}

TEST(ProcessingLoop, HostTempoBelow45IsRaisedAndFrom500OnCountsAsAbsent) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    struct Row {
        bool valid;
        double host, current, expected;
    };
    for (const Row& r : {Row{true, 30.0, 120.0, 45.0}, Row{true, -1.0, 120.0, 45.0}, Row{false, 90.0, 120.0, 120.0},
                         Row{true, 499.5, 120.0, 499.5}, Row{true, 500.0, 133.0, 133.0}, Row{true, nan, 133.0, 133.0},
                         Row{true, inf, 133.0, 133.0}})
        EXPECT_EQ(Engine::resolveHostTempo(r.valid, r.host, r.current), r.expected) << r.host;
}
