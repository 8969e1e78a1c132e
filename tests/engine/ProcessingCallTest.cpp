// The processing call as a host drives it, through the built module.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "support/EngineFixtures.h"

namespace {
constexpr size_t kOneSecond = 44100;
enum : VstInt32 { kTagDelayPower = 23, kTagReverbPower = 27 };
// Undoes the DC blocker (from rest) and the given master gains, giving back
// what the chain and the returns put into the outputs.
std::vector<double> beforeOutputStage(const std::vector<float>& y, const std::vector<double>& gains) {
    std::vector<double> x(y.size());
    double xp = 0.0, yp = 0.0;
    for (size_t j = 0; j < y.size(); ++j) {
        const double in = xp + (static_cast<double>(y[j]) - 0.998 * yp);
        x[j] = in / gains[j];
        xp = in;
        yp = y[j];
    }
    return x;
}
} // namespace

TEST(ProcessingCall, NoSamplesWritesNothingAndTheNextCallStartsAtTheTargetGain) {
    HostedPlugin fresh, snapped, negative;
    float l[4] = {7, 7, 7, 7}, r[4] = {7, 7, 7, 7};
    float* outs[2] = {l, r};
    float* ins[2] = {l, r};
    snapped.host.processReplacing(ins, outs, 0);
    negative.host.processReplacing(ins, outs, -5);
    EXPECT_EQ(l[0], 7.0f);
    EXPECT_EQ(r[3], 7.0f);

    const std::vector<float> in(64, 0.5f);
    const std::vector<float> a = fresh.runLeft(in, 64);
    const std::vector<float> b = snapped.runLeft(in, 64);
    const std::vector<float> c = negative.runLeft(in, 64);
    for (size_t j = 0; j < 5; ++j)
        EXPECT_GT(std::fabs(b[j]), 5.0f * std::fabs(a[j])) << "a fresh plug-in fades in from 0, " << j;
    EXPECT_TRUE(bitIdentical(b, c)) << "a negative count is handled like 0";
}

TEST(ProcessingCall, AFirstCallOf40SamplesRunsItsControlBlocksAt0And32) {
    // One call of 40 samples against calls of 32 and 8: with the master gain
    // and the DC blocker taken out, the chain must have done the same, so the
    // long call ran a control block at its sample 32 just as the second call
    // ran one at its start.
    const std::vector<float> in = sineWave(40, 0.5f, 0.01f, 0.5f);
    auto opened = [](HostedPlugin& p) {
        p.set(0, 0.5f); // the first control block sets the target gain to exactly 1
        p.set(22, 1.0f);
        p.set(28, 1.0f);
    };
    HostedPlugin one, two;
    opened(one);
    opened(two);
    std::vector<float> a, ar, b, br;
    one.run(in, in, a, ar, 40);
    two.run(in, in, b, br, 32);
    std::vector<double> ga(40), gb(40, 1.0);
    for (size_t j = 0; j < 40; ++j) ga[j] = static_cast<double>(j + 1) / 40.0;
    for (size_t j = 0; j < 32; ++j) gb[j] = static_cast<double>(j + 1) / 32.0;
    const std::vector<double> xa = beforeOutputStage(a, ga), xb = beforeOutputStage(b, gb);
    EXPECT_GT(std::fabs(xa[39]), 1e-3);
    for (size_t j = 0; j < 40; ++j) EXPECT_NEAR(xa[j], xb[j], 1e-4 * std::fabs(xb[j]) + 1e-6) << j;
}

TEST(ProcessingCall, FirstCallFadesInFromSilence) {
    HostedPlugin p;
    const std::vector<float> out = p.runLeft(sineWave(1024, 0.5f, 0.01f, 1.0f), 1024);
    EXPECT_LT(std::fabs(out[0]), 0.01f);
    EXPECT_LT(peakOf(out, 0, 64), 0.2f * peakOf(out, 768, 1024));
    EXPECT_GT(peakOf(out, 768, 1024), 0.05f);
}

TEST(ProcessingCall, ConstantInputDecaysToZero) {
    HostedPlugin p;
    const std::vector<float> out = p.runLeft(std::vector<float>(2 * kOneSecond, 1.0f));
    EXPECT_GT(peakOf(out, 0, 4096), 0.1f);
    EXPECT_LT(peakOf(out, out.size() - 1000), 1e-3f);
}

TEST(ProcessingCall, SoloLeavesOnlyTheEffectReturns) {
    const std::vector<float> in = testSignal(kOneSecond, 0.5f);
    HostedPlugin direct;
    direct.set(kTagDelayPower, 0.0f);
    direct.set(kTagReverbPower, 0.0f);
    EXPECT_GT(peakOf(direct.runLeft(in)), 0.05f);

    HostedPlugin soloNoSends;
    soloNoSends.set(kTagSolo, 1.0f);
    soloNoSends.set(kTagDelayPower, 0.0f);
    soloNoSends.set(kTagReverbPower, 0.0f);
    EXPECT_LT(peakOf(soloNoSends.runLeft(in)), 1e-6f) << "no direct signal, no returns";

    HostedPlugin soloDelay;
    soloDelay.set(kTagSolo, 1.0f);
    soloDelay.set(kTagReverbPower, 0.0f);
    soloDelay.set(kTagDelayPower, 1.0f);
    soloDelay.set(22, 1.0f); // delay level
    soloDelay.set(28, 1.0f); // fx return
    EXPECT_GT(peakOf(soloDelay.runLeft(in)), 1e-3f) << "the delay return is heard";
}

TEST(ProcessingCall, EffectsSectionOffSilencesTheSendsButLetsTailsRunOut) {
    const std::vector<float> in = testSignal(2 * kOneSecond, 0.5f);
    auto soloDelay = [](HostedPlugin& p) {
        p.set(kTagSolo, 1.0f);
        p.set(kTagReverbPower, 0.0f);
        p.set(kTagDelayPower, 1.0f);
        p.set(22, 1.0f);
        p.set(28, 1.0f);
    };
    HostedPlugin off;
    soloDelay(off);
    off.set(kTagFxSwitch, 0.0f);
    EXPECT_LT(peakOf(off.runLeft(in)), 1e-6f);

    HostedPlugin switched;
    soloDelay(switched);
    const std::vector<float> first(in.begin(), in.begin() + kOneSecond);
    ASSERT_GT(peakOf(switched.runLeft(first)), 1e-3f);
    switched.set(kTagFxSwitch, 0.0f);
    const std::vector<float> rest = switched.runLeft(std::vector<float>(in.begin() + kOneSecond, in.end()));
    EXPECT_GT(peakOf(rest, 0, 160), 1e-4f) << "what is already in the delay still comes out";
    EXPECT_LT(peakOf(rest, rest.size() / 2), 1e-6f);
}

TEST(ProcessingCall, BlockSizeDoesNotChangeTheOutput) {
    const std::vector<float> inL = testSignal(20000, 0.6f, 7), inR = testSignal(20000, 0.4f, 11);
    std::vector<std::vector<float>> outs;
    for (int block : {1000, 1, 7, 32}) {
        HostedPlugin p(true);
        p.allStagesOn();
        // The master gain settles during the first call, which is the same for all.
        std::vector<float> primeL, primeR;
        p.run(std::vector<float>(1000, 0.0f), std::vector<float>(1000, 0.0f), primeL, primeR, 1000);
        std::vector<float> l, r;
        p.run(inL, inR, l, r, block);
        l.insert(l.end(), r.begin(), r.end());
        outs.push_back(l);
    }
    EXPECT_GT(peakOf(outs[0]), 0.01f);
    for (size_t k = 1; k < outs.size(); ++k) EXPECT_TRUE(bitIdentical(outs[0], outs[k])) << "block case " << k;
}

TEST(ProcessingCall, InPlaceBuffersGiveTheSameOutput) {
    const std::vector<float> inL = testSignal(8192, 0.6f, 3), inR = testSignal(8192, 0.5f, 5);
    HostedPlugin separate, inPlace;
    separate.allStagesOn();
    inPlace.allStagesOn();
    std::vector<float> l, r;
    separate.run(inL, inR, l, r, 256);
    std::vector<float> bl = inL, br = inR;
    for (size_t pos = 0; pos < bl.size(); pos += 256) {
        float* bufs[2] = {bl.data() + pos, br.data() + pos};
        inPlace.host.processReplacing(bufs, bufs, 256);
    }
    EXPECT_TRUE(bitIdentical(l, bl));
    EXPECT_TRUE(bitIdentical(r, br));
}

TEST(ProcessingCall, NonFiniteInputSamplesCountAsSilence) {
    std::vector<float> inL = testSignal(8192, 0.5f, 9), inR = testSignal(8192, 0.5f, 13);
    std::vector<float> zL = inL, zR = inR;
    const float bad[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity()};
    for (size_t k = 0; k < 3; ++k) {
        inL[100 + 700 * k] = bad[k];
        inR[400 + 900 * k] = bad[2 - k];
        zL[100 + 700 * k] = 0.0f;
        zR[400 + 900 * k] = 0.0f;
    }
    HostedPlugin poisoned, clean;
    poisoned.allStagesOn();
    clean.allStagesOn();
    std::vector<float> pl, pr, cl, cr;
    poisoned.run(inL, inR, pl, pr, 512);
    clean.run(zL, zR, cl, cr, 512);
    EXPECT_TRUE(bitIdentical(pl, cl));
    EXPECT_TRUE(bitIdentical(pr, cr));
    EXPECT_TRUE(std::all_of(pl.begin(), pl.end(), [](float x) { return std::isfinite(x); }));
}

TEST(ProcessingCall, NullRightOutputIsNotWritten) {
    const std::vector<float> in = testSignal(4096, 0.5f);
    HostedPlugin both, leftOnly;
    both.allStagesOn();
    leftOnly.allStagesOn();
    std::vector<float> l, r;
    both.run(in, in, l, r, 512);
    std::vector<float> onlyL(in.size());
    std::vector<float> inCopy = in;
    for (size_t pos = 0; pos < in.size(); pos += 512) {
        float* ins[2] = {inCopy.data() + pos, inCopy.data() + pos};
        float* outs[2] = {onlyL.data() + pos, nullptr};
        leftOnly.host.processReplacing(ins, outs, 512);
    }
    EXPECT_TRUE(bitIdentical(l, onlyL));
}

TEST(ProcessingCall, AsksTheHostForItsTempoOncePerCall) {
    HostedPlugin p(true);
    p.host.clearCalls();
    p.runLeft(std::vector<float>(1024, 0.0f), 256);
    int asked = 0;
    for (const HostCall& c : p.host.calls()) {
        if (c.opcode != audioMasterGetTime) continue;
        ++asked;
        EXPECT_EQ(c.value, 0x1E02);
    }
    EXPECT_EQ(asked, 4);
}
