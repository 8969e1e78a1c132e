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
#include "plugin/ZuUniClient.h"
#include "support/ControllerState.h"
#include "support/EngineFixtures.h"
#include "support/MidiEvents.h"
#include "support/StateWords.h"

namespace {
constexpr size_t kOneSecond = 44100;

// Controller values moved every 389 frames from 5, some on the control grid,
// some off it, and to the top at 4096; -1 where none moves.
int controllerAt(size_t f) { return f == 4096 ? 127 : f % 389 == 5 ? static_cast<int>(f % 128) : -1; }

// Renders through the entry point in calls of the given lengths, in turn, the
// host's tempo changing from 120 to 140 at `change`. Hosts report their tempo
// once per call, so a call that would span the change is split there. Each
// call first receives the controller moves within it, on two numbers at once.
void renderInCalls(HostedPlugin& p, const std::vector<float>& inL, const std::vector<float>& inR,
                   std::vector<float>& out, const std::vector<size_t>& calls, size_t change) {
    const size_t n = inL.size();
    out.assign(2 * n, 0.0f);
    std::vector<float> bl = inL, br = inR;
    size_t k = 0;
    for (size_t pos = 0; pos < n;) {
        size_t len = std::min(calls[k++ % calls.size()], n - pos);
        if (pos < change && pos + len > change) len = change - pos;
        MidiEvents events;
        for (size_t f = pos; f < pos + len; ++f)
            if (const int value = controllerAt(f); value >= 0) {
                events.midi(0xb0, 74, static_cast<uint8_t>(value), static_cast<VstInt32>(f - pos));
                events.midi(0xb0, 7, static_cast<uint8_t>(127 - value), static_cast<VstInt32>(f - pos));
            }
        p.host.dispatch(effProcessEvents, 0, 0, events.get());
        float* ins[2] = {bl.data() + pos, br.data() + pos};
        float* outs[2] = {out.data() + pos, out.data() + n + pos};
        p.host.timeInfo.tempo = pos < change ? 120.0 : 140.0;
        p.host.processReplacing(ins, outs, static_cast<VstInt32>(len));
        pos += len;
    }
}
} // namespace

TEST(ProcessingCall, OutputIsTheSameHoweverTheHostSplitsTheInputAndItsEvents) {
    constexpr size_t kTempoChange = 126976;
    const size_t n = kTempoChange + 20000;
    const std::vector<float> inL = testSignal(n, 0.6f, 7), inR = testSignal(n, 0.4f, 11);
    const std::vector<std::vector<size_t>> splits = {
        {4096}, {1}, {31}, {32}, {64}, {512}, {1499, 7, 333, 1, 1024, 64, 999}};

    std::vector<float> reference;
    for (size_t k = 0; k < splits.size(); ++k) {
        HostedPlugin p(true);
        p.allStagesOn();
        p.set(kTagMaster, 0.6f);           // a gain other than unity
        p.set(kTagLfoSync, 1.0f);          // an LFO rate that follows the tempo,
        p.set(kTagLfoTarget, 0.25f);       // on the delay time,
        p.set(kTagFollowerTarget, 0.0f);   // and the follower on the filter frequency
        std::vector<uint8_t> map = controllerState({{7, {kTagMaster, kTagFxReturn}}, {74, {kTagFilterCutoff}}});
        p.host.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(map.size()), map.data());
        std::vector<float> out;
        renderInCalls(p, inL, inR, out, splits[k], kTempoChange);
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

// A burst of huge finite values (alike, then opposite per channel, then
// alternating), with each section in turn switched out: nothing overflows,
// the tail comes back to the clean render's level, and a stage that ran while
// switched out kept no poison for later.
TEST(ProcessingCall, HugeFiniteInputLeavesEveryStateFiniteAndRecovers) {
    constexpr float kMax = std::numeric_limits<float>::max();
    constexpr size_t kFrames = 2 * kOneSecond, kTail = kFrames - kOneSecond / 2;
    const std::vector<float> signal = testSignal(kFrames, 0.5f, 3);
    const VstInt32 sectionsOff[] = {-1, kTagGate, kTagPreamp, kTagComp, kTagDyn, kTagFxSwitch};
    for (VstInt32 off : sectionsOff) {
        auto opened = [off](HostedPlugin& p) {
            p.allStagesOn();
            if (off >= 0) p.set(off, 0.0f);
        };
        HostedPlugin clean;
        opened(clean);
        std::vector<float> l, r;
        clean.run(signal, signal, l, r, 512);
        const float cleanTail = peakOf(l, kTail);
        for (int kind = 0; kind < 3; ++kind) {
            std::vector<float> inL = signal, inR = signal;
            for (size_t j = 4096; j < 4096 + 512; ++j) {
                const float sign = (kind == 2 && j % 2) ? -1.0f : 1.0f;
                inL[j] = kind == 0 ? 1e38f : sign * kMax;
                inR[j] = kind == 0 ? 1e38f : -sign * kMax;
            }
            HostedPlugin p;
            opened(p);
            p.run(inL, inR, l, r, 512);
            EXPECT_TRUE(allFinite(l) && allFinite(r)) << "section " << off << " off, burst " << kind;
            EXPECT_GT(peakOf(l, kTail), 0.5f * cleanTail) << "section " << off << " off, burst " << kind;
            EXPECT_LT(peakOf(l, kTail), 2.0f * cleanTail) << "section " << off << " off, burst " << kind;
            p.allStagesOn();
            p.run(signal, signal, l, r, 512);
            EXPECT_TRUE(allFinite(l)) << "section " << off << " on again, burst " << kind;
        }
    }
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

    // Inside the call: a denormal input leaves the compressor-input meter
    // (softClip of the sample, then a peak hold) at zero, as a host in the
    // ordinary mode would not.
    HostedPlugin fresh;
    const Engine& engine = static_cast<ZuUniClient*>(static_cast<AudioEffect*>(fresh.effect->object))->engine();
    _mm_setcsr(saved & ~kModes);
    fresh.runLeft(std::vector<float>(64, 1e-39f), 64);
    _mm_setcsr(saved);
    EXPECT_EQ(engine.meters.compressorInput, 0.0f);
}
#endif

// In place, with a null right output, non-finite input samples counting as
// silence, calls of no or a negative number of samples that write and change
// nothing, and asking the host's tempo once per call.
TEST(ProcessingCall, InPlaceBuffersANullRightOutputEmptyCallsAndNonFiniteInputGiveTheSameOutput) {
    std::vector<float> inL = testSignal(8192, 0.6f, 3), inR = testSignal(8192, 0.5f, 5);
    std::vector<float> zL = inL, zR = inR;
    const float bad[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity()};
    for (size_t k = 0; k < 3; ++k) {
        inL[100 + 700 * k] = bad[k];
        inR[400 + 900 * k] = bad[2 - k];
        zL[100 + 700 * k] = zR[400 + 900 * k] = 0.0f;
    }
    HostedPlugin clean, inPlace(true), leftOnly;
    for (HostedPlugin* p : {&clean, &inPlace, &leftOnly}) p->allStagesOn();
    inPlace.host.clearCalls();
    std::vector<float> l, r;
    clean.run(zL, zR, l, r, 256);
    std::vector<float> bl = inL, br = inR, onlyL(inL.size());
    float seven[4] = {7, 7, 7, 7};
    float* sevens[2] = {seven, seven};
    for (size_t pos = 0; pos < bl.size(); pos += 256) {
        if (pos % 4096 == 0)
            for (VstInt32 none : {0, -5}) leftOnly.host.processReplacing(sevens, sevens, none);
        float* bufs[2] = {bl.data() + pos, br.data() + pos};
        inPlace.host.processReplacing(bufs, bufs, 256);
        float* ins[2] = {inL.data() + pos, inR.data() + pos};
        float* outs[2] = {onlyL.data() + pos, nullptr};
        leftOnly.host.processReplacing(ins, outs, 256);
    }
    EXPECT_TRUE(allFinite(l) && peakOf(l) > 0.05f);
    EXPECT_TRUE(bitIdentical(l, bl));
    EXPECT_TRUE(bitIdentical(r, br));
    EXPECT_TRUE(bitIdentical(l, onlyL)) << "a null right output is not written; empty calls are no calls";
    EXPECT_EQ(seven[0], 7.0f);
    EXPECT_EQ(seven[3], 7.0f);
    int asked = 0;
    for (const HostCall& c : inPlace.host.calls())
        if (c.opcode == audioMasterGetTime) {
            ++asked;
            EXPECT_EQ(c.value, 0x1E02);
        }
    EXPECT_EQ(asked, 32);
}

// The editor's meters: a 400 ms hold of the soft-clipped left compressor
// input and an 800 ms hold of the selected source, sample by sample, against
// the holds run on their own. With the gate, preamp stage and compressor off
// (and their gains settled on silence), the compressor's input is the input
// itself and its output the input soft-clipped; the signal goes past the clip.
TEST(ProcessingCall, TheMetersHoldTheirSourcesSampleBySample) {
    const std::vector<float> in = testSignal(3000, 1.8f, 9);
    for (const int32_t source : {kMeterInputLeft, kMeterCompressorOutLeft}) {
        auto c = DirectHost::create();
        for (const int tag : {kTagGate, kTagComp, kTagPreamp}) c->setParameter(tag, 0.0f);
        c->engine().controls.meterSource = source;
        const EngineConstants& k = c->engine().ctx.constants;
        std::vector<float> l(1024, 0.0f), r(1024, 0.0f);
        float* ins[2] = {l.data(), r.data()};
        float* outs[2] = {l.data(), r.data()};
        c->processReplacing(ins, outs, 1024);
        PeakHold compressorInput, selectable;
        for (size_t at = 0; at < in.size(); at += 700) {
            const size_t n = std::min<size_t>(700, in.size() - at);
            l.assign(in.begin() + at, in.begin() + at + n);
            r = l;
            c->processReplacing(ins, outs, static_cast<VstInt32>(n));
            for (size_t i = at; i < at + n; ++i) {
                compressorInput.process(softClip(in[i]), k.meterDecay400);
                selectable.process(source == kMeterInputLeft ? in[i] : softClip(in[i]), k.meterDecay800);
            }
            EXPECT_EQ(c->engine().meters.compressorInput, compressorInput.held) << source << " at " << at + n;
            EXPECT_EQ(c->engine().meters.selectable, selectable.held) << source << " at " << at + n;
        }
    }
}
