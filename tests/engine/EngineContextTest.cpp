// The accepted sample rates, what a refused one keeps, and what suspend and
// resume clear.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/EngineContext.h"
#include "plugin/ZuUniClient.h"

namespace {
std::unique_ptr<ZuUniClient> makeClient() {
    return std::unique_ptr<ZuUniClient>(static_cast<ZuUniClient*>(createEffectInstance(nullptr)));
}

// A few numbers derived from the rate, from both of the context's groups.
std::vector<float> derived(const EngineContext& c) {
    return {c.sampleRate, c.samplesPerMs, c.angularStep, c.fsOverTwoPi, c.constants.rateRatio,
            c.constants.meterDecay400};
}
} // namespace

TEST(SampleRate, BoundsAreInclusive) {
    auto c = makeClient();
    c->setSampleRate(11050.0f);
    EXPECT_EQ(c->engine().ctx.sampleRate, 11050.0f);
    EXPECT_FLOAT_EQ(c->engine().ctx.constants.rateRatio, 0.25056689f);
    c->setSampleRate(196000.0f);
    EXPECT_EQ(c->engine().ctx.sampleRate, 196000.0f);
    EXPECT_FLOAT_EQ(c->engine().ctx.constants.meterDecay800, 1.0f / 156800.0f);
}

TEST(SampleRate, ARefusedRateChangesNothingDerivedButStillRecomputes) {
    auto c = makeClient();
    c->setSampleRate(48000.0f);
    const std::vector<float> before = derived(c->engine().ctx);
    for (float fs : {11049.9f, 196000.1f}) {
        // A value written behind the model's back shows whether recompute re-applied it.
        c->engine().cell[0] = 1.0f;
        c->engine().controls.masterGain = 0.0f;
        c->setSampleRate(fs);
        EXPECT_EQ(c->getSampleRate(), fs) << "the host-visible rate is stored anyway";
        EXPECT_EQ(derived(c->engine().ctx), before) << fs;
        EXPECT_EQ(c->engine().controls.masterGain, 4.0f) << "parameters re-applied at " << fs;
        c->engine().cell[0] = 0.5f;
    }
}

TEST(SampleRate, SuspendClearsOnlyRegisteredMemoryAndResumeTheDcBlocker) {
    auto c = makeClient();
    Engine& e = c->engine();
    float history[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    e.ctx.registry.add(history, sizeof(history));
    std::vector<float> in(1000, 0.3f), outL(1000), outR(1000);
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {outL.data(), outR.data()};
    c->processReplacing(ins, outs, 1000);
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
