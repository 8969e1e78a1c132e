// The engine inside the plug-in object: the accepted sample rates, what a
// refused one keeps, and what suspend and resume clear; the delay's bar and
// lines as the host's tempo and the sample rate change; and the handshake
// between the audio thread and a loader: while a load runs the output is
// silent and the engine does not move; a loader never changes state under a
// running processing call. The tools/scripts/extra-tests.d/ step runs the
// handshake tests under ThreadSanitizer as well.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

#include "engine/EngineContext.h"
#include "support/EngineFixtures.h"
#include "support/StateWords.h"

namespace {

VstTimeInfo& g_time = reference::hostTime();

// Every stage on, the host reporting the given tempo.
std::unique_ptr<ZuUniClient> timedClient(double tempo) {
    g_time = VstTimeInfo{};
    g_time.sampleRate = 44100.0;
    g_time.tempo = tempo;
    g_time.flags = kVstTempoValid;
    std::unique_ptr<ZuUniClient> c(static_cast<ZuUniClient*>(createEffectInstance(reference::hostCallback)));
    for (const reference::Event& e : reference::allOn()) c->setParameter(e.tag, e.value);
    return c;
}

// A few numbers derived from the rate, from both of the context's groups.
std::vector<float> derived(const EngineContext& c) {
    return {c.sampleRate, c.samplesPerMs, c.angularStep, c.fsOverTwoPi, c.constants.rateRatio,
            c.constants.meterDecay400};
}

struct Block {
    std::vector<float> inL, inR, outL, outR;
    explicit Block(size_t n) : inL(sineWave(n, 0.1f, 0.01f)), inR(inL), outL(n, 7.0f), outR(n, 7.0f) {}
    void process(ZuUniClient& c) {
        float* ins[2] = {inL.data(), inR.data()};
        float* outs[2] = {outL.data(), outR.data()};
        c.processReplacing(ins, outs, static_cast<VstInt32>(outL.size()));
    }
};

} // namespace

TEST(LoadHandshake, ALoadSilencesTheOutputFreezesTheEngineAndWaitsForARunningCall) {
    auto c = DirectHost::create();
    Block b(100);
    b.process(*c);
    const int32_t counter = c->engine().ctx.controlCounter;
    const float gain = c->engine().output.master.current;
    c->beginLoad();
    b.process(*c);
    EXPECT_EQ(peakOf(b.outL), 0.0f);
    EXPECT_EQ(peakOf(b.outR), 0.0f);
    EXPECT_FALSE(c->audioBusy.load()) << "a skipped call leaves the flag clear";
    EXPECT_EQ(c->engine().ctx.controlCounter, counter);
    EXPECT_EQ(c->engine().output.master.current, gain);
    c->endLoad();
    b.process(*c);
    EXPECT_GT(peakOf(b.outL), 0.0f);
    EXPECT_FALSE(c->audioBusy.load());

    c->audioBusy.store(true); // a processing call in flight
    std::atomic<bool> started{false};
    std::thread loader([&] {
        c->beginLoad();
        started.store(true);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(started.load());
    EXPECT_TRUE(c->loadInProgress.load()) << "the flag is raised before the wait";
    c->audioBusy.store(false);
    loader.join();
    c->endLoad();
    c->audioBusy.store(true);
    c->beginLoad(false); // told not to wait
    EXPECT_TRUE(c->loadInProgress.load());
    c->audioBusy.store(false);
    c->endLoad();
}

TEST(LoadHandshake, HammeringLoadsNeverReachARunningProcessingCall) {
    auto c = DirectHost::create();
    // Stages whose output is close to the input and unity master, so a wrong gain shows at once.
    for (int tag : {kTagGate, kTagComp, kTagPreamp, kTagDyn, kTagFxSwitch}) c->setParameter(tag, 0.0f);
    c->setParameter(kTagMaster, 0.5f);
    Block(4096).process(*c);
    std::atomic<bool> done{false};
    std::atomic<int> audible{0}, torn{0};
    std::thread audio([&] {
        Block b(64);
        int calls = 0;
        while (!done.load()) {
            b.process(*c);
            const float peak = peakOf(b.outL);
            if (peak > 0.2f || !std::isfinite(peak)) torn.fetch_add(1);
            if (peak > 0.0f) audible.fetch_add(1);
            if (++calls % 8 == 0) std::this_thread::yield();
        }
    });
    std::thread loader([&] {
        ParameterTable& table = c->parameters();
        for (int load = 0; load < 200; ++load) {
            c->beginLoad();
            // Four times the gain for the length of the burst: any control
            // block that ran now would pass it on.
            c->setParameter(kTagMaster, 1.0f);
            c->setParameter(kTagSolo, 1.0f);
            for (const ParameterRecord& r : table.all()) c->setParameter(r.tag, *r.value);
            if (load % 10 == 0) c->setSampleRate(44100.0f);
            c->engine().ctx.controlCounter = kControlBlockSize;
            c->setParameter(kTagSolo, 0.0f);
            c->setParameter(kTagMaster, 0.5f);
            c->endLoad();
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        done.store(true);
    });
    loader.join();
    audio.join();
    EXPECT_EQ(torn.load(), 0);
    EXPECT_GT(audible.load(), 0);
}

TEST(SampleRate, BoundsAreInclusiveAndARefusedRateChangesNothingDerivedButStillRecomputes) {
    auto c = DirectHost::create();
    const EngineContext& ctx = c->engine().ctx;
    c->setSampleRate(11050.0f);
    EXPECT_EQ(ctx.sampleRate, 11050.0f);
    EXPECT_FLOAT_EQ(ctx.constants.rateRatio, 0.25056689f);
    c->setSampleRate(196000.0f);
    EXPECT_EQ(ctx.sampleRate, 196000.0f);
    EXPECT_FLOAT_EQ(ctx.constants.meterDecay800, 1.0f / 156800.0f);
    const std::vector<float> before = derived(ctx);
    for (float fs : {11049.9f, 196000.1f}) {
        // A value written behind the model's back shows whether recompute re-applied it.
        c->engine().cell[kTagMaster] = 1.0f;
        c->engine().controls.masterGain = 0.0f;
        c->setSampleRate(fs);
        EXPECT_EQ(c->getSampleRate(), fs) << "the host-visible rate is stored anyway";
        EXPECT_EQ(derived(ctx), before) << fs;
        EXPECT_EQ(c->engine().controls.masterGain, 4.0f) << "parameters re-applied at " << fs;
    }
}

TEST(SampleRate, SuspendClearsOnlyRegisteredMemoryAndResumeTheDcBlocker) {
    auto c = DirectHost::create();
    Engine& e = c->engine();
    float history[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    e.ctx.registry.add(history, sizeof(history));
    Block(1000).process(*c);
    const float hpState = e.outputHighPass[0].vPrev;
    const float dc = e.output.dcOutPrev[0];
    ASSERT_NE(hpState, 0.0f);
    ASSERT_NE(dc, 0.0f);
    c->suspend();
    EXPECT_EQ(history[7], 0.0f);
    EXPECT_EQ(e.outputHighPass[0].vPrev, hpState);
    EXPECT_EQ(e.output.dcOutPrev[0], dc);
    c->resume();
    EXPECT_EQ(e.output.dcOutPrev[0], 0.0f);
    EXPECT_EQ(e.output.dcInPrev[1], 0.0f);
    e.ctx.registry.remove(history);
}

TEST(HostTempo, ChangeResizesTheBarAndRestartsBothEffects) {
    auto c = timedClient(120.0);
    Block(44032).process(*c);
    ZuDelay& delay = c->delay();
    ZuReverb& reverb = c->reverb();
    ASSERT_EQ(delay.length(), 88200u);
    const float* left = delay.leftLine();

    g_time.tempo = 140.0;
    Block(512).process(*c);
    EXPECT_EQ(c->engine().ctx.tempo, 140.0);
    EXPECT_EQ(delay.length(), 75600u);
    // Reset and cleared at the control block of the change, at the call's
    // first sample: both have run 512 samples since.
    EXPECT_EQ(delay.writeIndex(), 512u);
    EXPECT_EQ(reverb.combIndex(0, 0), 512u);

    g_time.tempo = 60.0;
    Block(512).process(*c);
    EXPECT_EQ(delay.length(), 176400u);
    EXPECT_EQ(delay.capacity(), 176400u);
    EXPECT_EQ(delay.leftLine(), left) << "the memory sized for 45 beats per minute is reused";
    EXPECT_EQ(delay.writeIndex(), 512u);

    auto fastest = timedClient(120.0);
    fastest->setSampleRate(196000.0f);
    EXPECT_GE(fastest->delay().allocatedSamples(), 1045333u);
    g_time.tempo = 45.0;
    Block(512).process(*fastest);
    EXPECT_EQ(fastest->delay().length(), 1045333u) << "the slowest bar at the highest rate fits";
}

TEST(Delay, GrowingBarRegistersTheWholeBarAndANewRateKeepsEachSidesContents) {
    auto c = DirectHost::create();
    EngineContext& ctx = c->engine().ctx;
    ZuDelay& delay = c->delay();
    auto bytesOf = [&](const float* line) {
        for (const BufferEntry& e : ctx.registry.entries())
            if (e.pointer == line) return e.bytes;
        return size_t{0};
    };
    auto retime = [&](double tempo) {
        ctx.tempo = tempo;
        ctx.refreshTempoFields();
        delay.timingChanged(false);
    };
    EXPECT_EQ(bytesOf(delay.leftLine()), 88200u * 4);
    retime(60.0);
    EXPECT_EQ(delay.capacity(), 176400u);
    EXPECT_EQ(bytesOf(delay.leftLine()), 176400u * 4);
    EXPECT_EQ(bytesOf(delay.rightLine()), 176400u * 4);
    retime(120.0);
    EXPECT_EQ(delay.capacity(), 176400u) << "a shorter bar keeps the capacity";
    EXPECT_EQ(bytesOf(delay.leftLine()), 176400u * 4);

    // A higher sample rate moves the lines to larger memory before its recompute.
    std::vector<float> l(64, 0.5f), r(64, 0.0f);
    delay.process(l.data(), r.data(), 32);
    delay.process(l.data() + 32, r.data() + 32, 32);
    const std::vector<float> keptL(delay.leftLine(), delay.leftLine() + 176400);
    const std::vector<float> keptR(delay.rightLine(), delay.rightLine() + 176400);
    ASSERT_NE(keptL, keptR);
    const float* before = delay.leftLine();
    ctx.setSampleRate(96000.0f);
    delay.prepareForSampleRate(96000.0f);
    EXPECT_NE(delay.leftLine(), before);
    EXPECT_EQ(delay.allocatedSamples(), 512000u);
    EXPECT_EQ(bytesOf(before), 0u) << "the old lines left the registry";
    EXPECT_EQ(bytesOf(delay.leftLine()), 176400u * 4);
    EXPECT_TRUE(std::equal(keptL.begin(), keptL.end(), delay.leftLine()));
    EXPECT_TRUE(std::equal(keptR.begin(), keptR.end(), delay.rightLine()));
    delay.timingChanged(false);
    EXPECT_EQ(delay.length(), 192000u);
}
