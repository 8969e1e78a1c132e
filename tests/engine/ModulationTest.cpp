// The LFO's rates and the modulation slots where the reference renders do
// not go: the synced rate, the inverted follower and sources that add up
// past a destination's range.
#include <gtest/gtest.h>

#include "engine/ModuleContext.h"
#include "engine/Modulation.h"
#include "engine/ResonantFilter.h"

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
    Modulation m;
    m.setFollowerSpeed(1.0f, ctx);
    m.setFollowerAmount(1.0f);
    m.setFollowerPower(1.0f);
    m.setFollowerTarget(0.0f);
    m.setFollowerInvert(1.0f);
    for (int n = 0; n < 4410; ++n) m.detect(3.0f, 0.0f);
    m.controlBlock(ctx);
    EXPECT_EQ(m.at(kModFilterFrequency), -1.0f) << "depth times envelope is limited to 1, then inverted";
    ResonantFilter filter;
    filter.setCutoff(0.8f);
    filter.setResonance(0.2f);
    filter.controlBlock(m.at(kModFilterFrequency), 0.0f, ctx);
    EXPECT_EQ(filter.frequencyControl(), 0.0f);

    // The LFO at its positive peak and the follower, both on the resonance.
    Modulation n;
    n.setLfoSpeed(0.4877f, ctx); // 3 Hz free
    n.setLfoAmount(1.0f);
    n.setLfoPower(1.0f);
    n.setLfoTarget(1.0f);
    n.setFollowerSpeed(1.0f, ctx);
    n.setFollowerAmount(1.0f);
    n.setFollowerPower(1.0f);
    n.setFollowerTarget(1.0f);
    for (int i = 0; i < 4410; ++i) n.detect(0.9f, 0.9f);
    for (int b = 0; b < 115; ++b) n.controlBlock(ctx); // phase 0.25
    EXPECT_NEAR(n.lfoSlot(2), 0.5f, 1e-3f);
    EXPECT_GT(n.followerSlot(2), 0.85f);
    EXPECT_EQ(n.at(kModFilterResonance), n.lfoSlot(2) + n.followerSlot(2));
    filter.controlBlock(0.0f, n.at(kModFilterResonance), ctx);
    EXPECT_EQ(filter.resonanceControl(), 0.94f);
    m.setFollowerPower(0.0f);
    m.controlBlock(ctx);
    for (int s = 0; s < kModSlots; ++s) EXPECT_EQ(m.followerSlot(s), 0.0f);
}
