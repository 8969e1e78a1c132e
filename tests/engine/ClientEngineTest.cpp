// The engine inside the plug-in object: the accepted sample rates, what a
// refused one keeps, and what suspend and resume clear; and the handshake
// between the audio thread and a loader: while a load runs the output is
// silent and the engine does not move; a loader never changes state under a
// running processing call. The tools/scripts/extra-tests.d/ step runs the
// handshake tests under ThreadSanitizer as well.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

#include "engine/EngineContext.h"
#include "plugin/ZuUniClient.h"
#include "support/EngineFixtures.h"

namespace {

std::unique_ptr<ZuUniClient> makeClient() {
    return std::unique_ptr<ZuUniClient>(static_cast<ZuUniClient*>(createEffectInstance(nullptr)));
}

// A few numbers derived from the rate, from both of the context's groups.
std::vector<float> derived(const EngineContext& c) {
    return {c.sampleRate, c.samplesPerMs, c.angularStep, c.fsOverTwoPi, c.constants.rateRatio,
            c.constants.meterDecay400};
}

// Stages whose output is close to the input, so a wrong gain shows at once.
void neutralChain(ZuUniClient& c) {
    for (int tag : {kTagGate, kTagComp, kTagPreamp, kTagDyn, kTagFxSwitch}) c.setParameter(tag, 0.0f);
    c.setParameter(kTagMaster, 0.5f); // unity master
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
    auto c = makeClient();
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
    auto c = makeClient();
    neutralChain(*c);
    {
        Block settle(4096);
        settle.process(*c);
    }
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
    auto c = makeClient();
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
    auto c = makeClient();
    Engine& e = c->engine();
    float history[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    e.ctx.registry.add(history, sizeof(history));
    Block(1000).process(*c);
    const float hpState = e.outputHighPass[0].vPrev;
    const float dc = e.output.dcOutPrev[0];
    const float mute = e.dryMute.current;
    ASSERT_NE(hpState, 0.0f);
    ASSERT_NE(dc, 0.0f);
    c->suspend();
    EXPECT_EQ(history[7], 0.0f);
    EXPECT_EQ(e.outputHighPass[0].vPrev, hpState);
    EXPECT_EQ(e.output.dcOutPrev[0], dc);
    EXPECT_EQ(e.dryMute.current, mute);
    c->resume();
    EXPECT_EQ(e.output.dcOutPrev[0], 0.0f);
    EXPECT_EQ(e.output.dcInPrev[1], 0.0f);
    EXPECT_EQ(e.outputHighPass[0].vPrev, hpState);
    e.ctx.registry.remove(history);
}
