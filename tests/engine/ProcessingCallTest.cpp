// The processing call as a host drives it, through the built module.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

#include "plugin/ScopedFlushToZero.h"
#include "support/EngineFixtures.h"

namespace {
constexpr size_t kOneSecond = 44100;
enum : VstInt32 { kTagDelayPower = 23, kTagReverbPower = 27 };
enum : VstInt32 { kTagMaster = 0, kTagLfoTarget = 71, kTagLfoSync = 37, kTagFollowerTarget = 32 };

// Renders through the entry point in calls of the given lengths (the last
// one repeats), reporting the host tempo `tempoAt` gives for a call's first frame.
template <class Tempo>
void renderInCalls(HostedPlugin& p, const std::vector<float>& inL, const std::vector<float>& inR,
                   std::vector<float>& out, const std::vector<size_t>& calls, Tempo tempoAt) {
    const size_t n = inL.size();
    out.assign(2 * n, 0.0f);
    std::vector<float> bl, br, ol, orr;
    size_t k = 0;
    for (size_t pos = 0; pos < n;) {
        const size_t len = std::min(calls[std::min(k++, calls.size() - 1)], n - pos);
        bl.assign(inL.begin() + static_cast<std::ptrdiff_t>(pos), inL.begin() + static_cast<std::ptrdiff_t>(pos + len));
        br.assign(inR.begin() + static_cast<std::ptrdiff_t>(pos), inR.begin() + static_cast<std::ptrdiff_t>(pos + len));
        ol.assign(len, 0.0f);
        orr.assign(len, 0.0f);
        float* ins[2] = {bl.data(), br.data()};
        float* outs[2] = {ol.data(), orr.data()};
        p.host.timeInfo.tempo = tempoAt(pos);
        p.host.processReplacing(ins, outs, static_cast<VstInt32>(len));
        std::copy(ol.begin(), ol.end(), out.begin() + static_cast<std::ptrdiff_t>(pos));
        std::copy(orr.begin(), orr.end(), out.begin() + static_cast<std::ptrdiff_t>(n + pos));
        pos += len;
    }
}
// Solo with only the delay's return at full level.
void soloDelay(HostedPlugin& p) {
    p.set(kTagSolo, 1.0f);
    p.set(kTagReverbPower, 0.0f);
    p.set(kTagDelayPower, 1.0f);
    p.set(22, 1.0f); // delay level
    p.set(28, 1.0f); // fx return
}
} // namespace

TEST(ProcessingCall, NoSamplesWriteNothingAndChangeNothing) {
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
    EXPECT_TRUE(bitIdentical(a, snapped.runLeft(in, 64))) << "an empty call is no call";
    EXPECT_TRUE(bitIdentical(a, negative.runLeft(in, 64))) << "a negative count is handled like 0";
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

    HostedPlugin delayAlone;
    soloDelay(delayAlone);
    EXPECT_GT(peakOf(delayAlone.runLeft(in)), 1e-3f) << "the delay return is heard";
}

TEST(ProcessingCall, EffectsSectionOffSilencesTheSendsButLetsTailsRunOut) {
    const std::vector<float> in = testSignal(2 * kOneSecond, 0.5f);
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

TEST(ProcessingCall, OutputIsTheSameHoweverTheHostSplitsTheInput) {
    // Hosts report their tempo once per call, so the change from 120 to 140
    // sits on a frame that is a call boundary in every split: 31 * 4096.
    constexpr size_t kTempoChange = 126976;
    const size_t n = kTempoChange + 20000;
    const std::vector<float> inL = testSignal(n, 0.6f, 7), inR = testSignal(n, 0.4f, 11);
    auto tempoAt = [](size_t frame) { return frame < kTempoChange ? 120.0 : 140.0; };

    std::vector<size_t> randomSplit;
    uint32_t seed = 12345;
    for (size_t pos = 0; pos < n;) {
        seed = seed * 1664525u + 1013904223u;
        size_t len = 1 + (seed >> 8) % 1500;
        if (pos < kTempoChange && pos + len > kTempoChange) len = kTempoChange - pos;
        randomSplit.push_back(len);
        pos += len;
    }
    const std::vector<std::vector<size_t>> splits = {{4096}, {1}, {31}, {32}, {64}, {512}, randomSplit};

    std::vector<float> reference;
    for (size_t k = 0; k < splits.size(); ++k) {
        HostedPlugin p(true);
        p.allStagesOn();
        p.set(kTagMaster, 0.6f);           // a gain other than unity
        p.set(kTagLfoSync, 1.0f);          // an LFO rate that follows the tempo,
        p.set(kTagLfoTarget, 0.25f);       // on the delay time,
        p.set(kTagFollowerTarget, 0.0f);   // and the follower on the filter frequency
        std::vector<float> out;
        renderInCalls(p, inL, inR, out, splits[k], tempoAt);
        if (k == 0) {
            reference = out;
            ASSERT_GT(peakOf(out, 0, 64), 0.0f) << "the fade-in begins at once";
            ASSERT_GT(peakOf(out, kTempoChange + 10000, n), 0.01f);
            continue;
        }
        size_t first = 0;
        while (first < out.size() && out[first] == reference[first]) ++first;
        EXPECT_EQ(first, out.size()) << "split " << k << " differs first at frame " << first % n
                                     << (first >= n ? " (right)" : " (left)");
    }
}

TEST(ProcessingCall, HugeFiniteInputLeavesEveryStateFiniteAndRecovers) {
    constexpr float kMax = std::numeric_limits<float>::max();
    constexpr size_t kBurst = 4096, kBurstLength = 512, kFrames = 2 * kOneSecond;
    const std::vector<float> signal = testSignal(kFrames, 0.5f, 3);
    const VstInt32 sectionsOff[] = {-1, kTagGate, kTagPreamp, kTagComp, kTagDyn, kTagFxSwitch};
    for (VstInt32 off : sectionsOff) {
        auto opened = [off](HostedPlugin& p) {
            p.allStagesOn();
            if (off >= 0) p.set(off, 0.0f);
        };
        HostedPlugin clean;
        opened(clean);
        std::vector<float> cl, cr;
        clean.run(signal, signal, cl, cr, 512);
        const float cleanTail = peakOf(cl, kFrames - kOneSecond / 2);
        for (int kind = 0; kind < 3; ++kind) {
            std::vector<float> inL = signal, inR = signal;
            for (size_t j = kBurst; j < kBurst + kBurstLength; ++j) {
                const float sign = (kind == 2 && j % 2) ? -1.0f : 1.0f;
                inL[j] = kind == 0 ? 1e38f : sign * kMax;
                inR[j] = kind == 0 ? 1e38f : -sign * kMax;
            }
            HostedPlugin p;
            opened(p);
            std::vector<float> l, r;
            p.run(inL, inR, l, r, 512);
            const auto finite = [](float x) { return std::isfinite(x); };
            EXPECT_TRUE(std::all_of(l.begin(), l.end(), finite) && std::all_of(r.begin(), r.end(), finite))
                << "section " << off << " off, burst " << kind;
            const float tail = peakOf(l, kFrames - kOneSecond / 2);
            EXPECT_GT(tail, 0.5f * cleanTail) << "section " << off << " off, burst " << kind;
            EXPECT_LT(tail, 2.0f * cleanTail) << "section " << off << " off, burst " << kind;
            // A stage that ran while switched out kept no poison for later.
            p.allStagesOn();
            p.run(signal, signal, l, r, 512);
            EXPECT_TRUE(std::all_of(l.begin(), l.end(), finite)) << "section " << off << " on again, burst " << kind;
        }
    }
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

#if defined(__SSE__)
TEST(ProcessingCall, DenormalsFlushToZeroWithinTheCallAndTheHostsModeIsKept) {
    constexpr unsigned kModes = 0x8040; // flush-to-zero and denormals-are-zero
    volatile float tiny = 1e-30f, scale = 1e-9f;
    {
        const ScopedFlushToZero flush;
        EXPECT_TRUE(ScopedFlushToZero::active());
        EXPECT_EQ(tiny * scale, 0.0f);
        volatile float denormal = 1e-39f;
        EXPECT_EQ(denormal * 1.0f, 0.0f) << "denormal operands count as zero";
    }
    EXPECT_GT(tiny * scale, 0.0f) << "the mode ends with the scope";

    HostedPlugin p;
    const unsigned saved = _mm_getcsr();
    for (unsigned hostMode : {0u, kModes, 0x8000u}) {
        _mm_setcsr((saved & ~kModes) | hostMode);
        p.runLeft(std::vector<float>(1024, 0.25f), 256);
        const unsigned after = _mm_getcsr();
        _mm_setcsr(saved);
        EXPECT_EQ(after & kModes, hostMode);
    }
}
#endif

TEST(ProcessingCall, InPlaceBuffersAndANullRightOutputGiveTheSameOutput) {
    const std::vector<float> inL = testSignal(8192, 0.6f, 3), inR = testSignal(8192, 0.5f, 5);
    HostedPlugin separate, inPlace, leftOnly;
    for (HostedPlugin* p : {&separate, &inPlace, &leftOnly}) p->allStagesOn();
    std::vector<float> l, r;
    separate.run(inL, inR, l, r, 256);
    std::vector<float> bl = inL, br = inR, copyL = inL, copyR = inR, onlyL(inL.size());
    for (size_t pos = 0; pos < bl.size(); pos += 256) {
        float* bufs[2] = {bl.data() + pos, br.data() + pos};
        inPlace.host.processReplacing(bufs, bufs, 256);
        float* ins[2] = {copyL.data() + pos, copyR.data() + pos};
        float* outs[2] = {onlyL.data() + pos, nullptr};
        leftOnly.host.processReplacing(ins, outs, 256);
    }
    EXPECT_TRUE(bitIdentical(l, bl));
    EXPECT_TRUE(bitIdentical(r, br));
    EXPECT_TRUE(bitIdentical(l, onlyL)) << "a null right output is not written";
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
