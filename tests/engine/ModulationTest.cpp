// LFO, envelope follower and the modulation slots.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/ModuleContext.h"
#include "engine/Modulation.h"
#include "engine/ResonantFilter.h"
#include "engine/SineTable.h"

namespace {
constexpr double kTwoPi = 6.283185307179586;
} // namespace

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
    // Re-applied after a tempo change, the synced rate follows the tempo.
    lfo.setSpeed(0.4877f, contextAt(44100.0f, 90.0));
    EXPECT_NEAR(lfo.syncedRate(), 3.0f, 1e-4f);
    lfo.setSync(0.0f);
    EXPECT_EQ(lfo.rate(), lfo.freeRate());
    lfo.setSync(1.0f);
    EXPECT_EQ(lfo.rate(), lfo.syncedRate());
}

TEST(Lfo, PhaseRunsOnAndWraps) {
    const EngineContext ctx;
    Lfo lfo;
    lfo.setSpeed(1.0f, ctx); // 11.976 Hz
    const double perBlock = 12.0 * 0.999 * 0.999 * 32.0 / 44100.0;
    double expected = 0.0;
    for (int b = 1; b <= 1000; ++b) {
        const float value = lfo.advance(ctx);
        expected += perBlock;
        if (expected > 1.0) expected -= 1.0;
        ASSERT_NEAR(lfo.phase(), expected, 1e-4) << b;
        ASSERT_GE(lfo.phase(), 0.0f);
        ASSERT_LE(lfo.phase(), 1.0f);
        ASSERT_NEAR(value, std::sin(kTwoPi * expected), 2e-4) << b;
    }
}

TEST(Modulation, LfoWritesItsDestinationSlot) {
    const EngineContext ctx;
    Modulation m;
    m.setLfoSpeed(1.0f, ctx);
    m.setLfoAmount(1.0f); // depth 0.5
    m.setLfoTarget(3.0f);
    // Off: its row stays 0 but the phase runs on.
    for (int b = 0; b < 7; ++b) m.controlBlock(ctx);
    for (int s = 0; s < kModSlots; ++s) EXPECT_EQ(m.lfoSlot(s), 0.0f);
    const float phaseWhileOff = m.lfo().phase();
    EXPECT_GT(phaseWhileOff, 0.05f);
    m.setLfoPower(1.0f);
    m.controlBlock(ctx);
    const float phase = m.lfo().phase();
    EXPECT_GT(phase, phaseWhileOff) << "switching on does not restart the phase";
    const float expected = sineTable.at(phase) * 0.5f;
    EXPECT_FLOAT_EQ(m.lfoSlot(4), expected);
    EXPECT_FLOAT_EQ(m.at(kModDelayFeedback), expected);
    for (int d = 0; d < 8; ++d) {
        if (d != 3) {
            EXPECT_EQ(m.at(d), 0.0f) << d;
        }
    }
    // Never more than half a unit either way.
    for (int b = 0; b < 400; ++b) {
        m.controlBlock(ctx);
        ASSERT_LE(std::fabs(m.at(3)), 0.5f);
    }
    m.setLfoPower(0.0f);
    m.controlBlock(ctx);
    EXPECT_EQ(m.at(3), 0.0f);
}

TEST(Modulation, FollowerDestinationSignAndClamp) {
    const EngineContext ctx;
    Modulation m;
    m.setFollowerSpeed(1.0f, ctx);
    m.setFollowerAmount(1.0f);
    m.setFollowerPower(1.0f);
    m.setFollowerTarget(0.0f);
    m.setFollowerInvert(1.0f);
    for (int n = 0; n < 4410; ++n) m.detect(3.0f, 0.0f);
    m.controlBlock(ctx);
    EXPECT_EQ(m.followerSlot(1), -1.0f) << "depth times envelope is limited to 1, then inverted";
    EXPECT_EQ(m.at(kModFilterFrequency), -1.0f);
    ResonantFilter filter;
    filter.setCutoff(0.8f);
    filter.controlBlock(m.at(kModFilterFrequency), m.at(kModFilterResonance), ctx);
    EXPECT_EQ(filter.frequencyControl(), 0.0f) << "the filter frequency goes to 0";
    m.setFollowerInvert(0.0f);
    m.setFollowerAmount(0.2f);
    m.setFollowerTarget(7.0f);
    m.controlBlock(ctx);
    EXPECT_NEAR(m.at(kModReverbLevel), 0.2f * m.follower().envelope(), 1e-6f);
    EXPECT_EQ(m.at(kModFilterFrequency), 0.0f);
    m.setFollowerPower(0.0f);
    m.controlBlock(ctx);
    for (int s = 0; s < kModSlots; ++s) EXPECT_EQ(m.followerSlot(s), 0.0f);
}

TEST(Modulation, SourcesOnOneDestinationAdd) {
    const EngineContext ctx;
    Modulation m;
    m.setLfoSpeed(0.4877f, ctx); // 3 Hz free
    m.setLfoAmount(1.0f);
    m.setLfoPower(1.0f);
    m.setLfoTarget(1.0f);
    m.setFollowerSpeed(1.0f, ctx);
    m.setFollowerAmount(1.0f);
    m.setFollowerPower(1.0f);
    m.setFollowerTarget(1.0f);
    for (int n = 0; n < 4410; ++n) m.detect(0.9f, 0.9f);
    for (int b = 0; b < 115; ++b) m.controlBlock(ctx); // phase 0.25: the LFO's positive peak
    const float lfo = m.lfoSlot(2);
    const float follower = m.followerSlot(2);
    EXPECT_NEAR(lfo, 0.5f, 1e-3f);
    EXPECT_GT(follower, 0.85f);
    EXPECT_EQ(m.at(kModFilterResonance), lfo + follower);
    // Their sum leaves the resonance range; the filter limits it.
    ResonantFilter filter;
    filter.setResonance(0.2f);
    filter.controlBlock(m.at(kModFilterFrequency), m.at(kModFilterResonance), ctx);
    EXPECT_EQ(filter.resonanceControl(), 0.94f);
}
