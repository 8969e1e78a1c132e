#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "effects/ZuDelay.h"

namespace {
// A delay configured as the plug-in does it.
struct ConfiguredDelay {
    explicit ConfiguredDelay(float fs = 44100.0f, double tempo = 120.0) {
        ctx.setSampleRate(fs);
        ctx.tempo = tempo;
        ctx.refreshTempoFields();
        delay.prepareForSampleRate(fs);
        delay.setMode(-1, 1);
        delay.setMode(0, 0);
        delay.setParameter(3, 0.0f);
        delay.setMix(1.0f);
        delay.update();
        delay.reset();
        delay.timingChanged(false);
        delay.clear();
    }
    void setTempo(double t) {
        ctx.tempo = t;
        ctx.refreshTempoFields();
    }
    EngineContext ctx;
    ZuDelay delay{&ctx};
};

void runBlock(ZuDelay& d, std::vector<float>& l, std::vector<float>& r) {
    for (size_t i = 0; i < l.size(); i += 32) d.process(&l[i], &r[i], 32);
}
} // namespace

TEST(Delay, GlideOffJumpsAndGlideOnKeepsSpeedAtTarget) {
    ConfiguredDelay c;
    c.delay.setMode(-1, 0);
    c.delay.setHeads(100, 0.0f);
    c.delay.setParameter(0, 0.5f);
    EXPECT_EQ(c.delay.readPosition(), 44201.0f);
    EXPECT_EQ(c.delay.readSpeed(), 1.0f);

    c.delay.setMode(-1, 1);
    c.delay.setHeads(50000, 50000.0f - 44099.0f);
    c.delay.setParameter(0, 0.5f);
    EXPECT_EQ(c.delay.readSpeed(), 1.0f);
    // Starting from zero distance, the head first reads slower: 32 / (target + 32).
    c.delay.setHeads(1000, 1000.0f);
    c.delay.setParameter(0, 0.5f);
    EXPECT_EQ(c.delay.readSpeed(), 32.0f / 44131.0f);
}

TEST(Delay, FeedbackLoopGainIsPoint98) {
    ConfiguredDelay c;
    c.delay.setMode(-1, 0);
    c.delay.setParameter(1, 1.0f);
    c.delay.setParameter(2, 0.0f);
    c.delay.setParameter(0, 0.0f); // 128 samples, jumped into place
    EXPECT_EQ(c.delay.feedback(), 0.98f);
    std::vector<float> l(1024, 0.0f), r(1024, 0.0f);
    l[0] = 1.0f;
    runBlock(c.delay, l, r);
    const float first = l[128];
    EXPECT_NEAR(first, 1.0f, 1e-6f);
    EXPECT_NEAR(l[256] / first, 0.98f, 1e-6f);
    EXPECT_NEAR(l[384] / l[256], 0.98f, 1e-6f);
    EXPECT_NEAR(r[128], 0.0f, 1e-6f);
}

TEST(Delay, WidthCrossfeed) {
    for (float width : {0.5f, 1.0f}) {
        ConfiguredDelay c;
        c.delay.setMode(-1, 0);
        c.delay.setParameter(1, 0.0f);
        c.delay.setParameter(2, width);
        c.delay.setParameter(0, 0.0f);
        std::vector<float> l(256, 0.0f), r(256, 0.0f);
        l[0] = 1.0f;
        r[0] = 0.25f;
        runBlock(c.delay, l, r);
        if (width == 0.5f) {
            EXPECT_NEAR(l[128], 0.625f, 1e-6f);
            EXPECT_EQ(l[128], r[128]);
        } else {
            EXPECT_NEAR(l[128], 0.25f, 1e-6f);
            EXPECT_NEAR(r[128], 1.0f, 1e-6f);
        }
    }
}

TEST(Delay, BarLengthFollowsTheTempoInMemorySizedForTheSlowestTempo) {
    ConfiguredDelay c;
    const float* left = c.delay.leftLine();
    EXPECT_EQ(c.delay.allocatedSamples(), 235200u); // one bar at 45 beats per minute
    const std::pair<double, uint32_t> bars[] = {{60.0, 176400}, {45.0, 235200}, {140.0, 75600}, {120.0, 88200}};
    for (auto [tempo, bar] : bars) {
        c.setTempo(tempo);
        c.delay.tempoChanged();
        EXPECT_EQ(c.delay.length(), bar) << tempo;
        EXPECT_EQ(c.delay.leftLine(), left) << tempo;
    }
    ConfiguredDelay slow(196000.0f, 45.0);
    EXPECT_EQ(slow.delay.length(), 1045333u);
    EXPECT_EQ(slow.delay.allocatedSamples(), 1045333u);

    // A longer bar than ever before starts from empty lines, as fresh memory would.
    ConfiguredDelay d;
    d.delay.setMode(-1, 0);
    d.delay.setParameter(1, 0.5f);
    d.delay.setParameter(0, 0.5f);
    std::vector<float> l(8192, 0.3f), r(8192, 0.3f);
    runBlock(d.delay, l, r);
    d.setTempo(60.0);
    d.delay.tempoChanged();
    EXPECT_EQ(d.delay.capacity(), 176400u);
    for (uint32_t i = 0; i < d.delay.length(); ++i) ASSERT_EQ(d.delay.leftLine()[i], 0.0f) << i;
    // A shorter bar keeps the contents.
    runBlock(d.delay, l, r);
    const uint32_t written = d.delay.writeIndex() - 1;
    ASSERT_LT(written, 88200u);
    d.setTempo(120.0);
    d.delay.tempoChanged();
    EXPECT_NE(d.delay.leftLine()[written], 0.0f);
}

TEST(Delay, SuspendZeroesLinesButKeepsPositions) {
    ConfiguredDelay c;
    c.delay.setParameter(1, 0.9f);
    c.delay.setParameter(0, 0.0f);
    std::vector<float> l(4096, 0.5f), r(4096, 0.5f);
    runBlock(c.delay, l, r);
    const uint32_t w = c.delay.writeIndex();
    const float rp = c.delay.readPosition();
    const float speed = c.delay.readSpeed();
    c.ctx.registry.zeroAll();
    EXPECT_EQ(c.delay.writeIndex(), w);
    EXPECT_EQ(c.delay.readPosition(), rp);
    EXPECT_EQ(c.delay.readSpeed(), speed);
    EXPECT_EQ(c.delay.target(), 128);
    EXPECT_EQ(c.delay.leftFilter().low, 0.0);
    std::vector<float> sl(32, 0.0f), sr(32, 0.0f);
    runBlock(c.delay, sl, sr);
    for (float v : sl) EXPECT_LT(std::fabs(v), 1e-6f);
}

TEST(Delay, ResetAndClearRestartTheHeads) {
    ConfiguredDelay c;
    c.delay.setParameter(0, 0.5f);
    std::vector<float> l(512, 0.5f), r(512, 0.5f);
    runBlock(c.delay, l, r);
    EXPECT_EQ(c.delay.clear(), 1);
    EXPECT_EQ(c.delay.readPosition(), 0.0f);
    EXPECT_EQ(c.delay.writeIndex(), 44099u);
    EXPECT_EQ(c.delay.readSpeed(), 1.0f);
    c.delay.reset();
    EXPECT_EQ(c.delay.target(), 0);
    EXPECT_EQ(c.delay.writeIndex(), 0u);
    EXPECT_EQ(c.delay.feedback(), 0.5f);
    EXPECT_EQ(c.delay.wetGain(), 1.0f);
    EXPECT_EQ(c.delay.parameterValue(0), 0.5f);
    for (uint32_t i = 0; i < 600; ++i) ASSERT_EQ(c.delay.leftLine()[i], 0.0f);
}

TEST(Delay, KeptContentsRescaleTheTargetToTheNewBar) {
    ConfiguredDelay c;
    c.delay.setParameter(0, 0.5f);
    c.delay.setHeads(80000, 79000.0f);
    c.setTempo(140.0);
    c.delay.tempoChanged();
    EXPECT_EQ(c.delay.length(), 75600u);
    EXPECT_EQ(c.delay.target(), 37799); // trunc(75599 * 0.5)
    // Both heads wrapped into the shorter bar; the glide speed follows from their distance.
    EXPECT_EQ(c.delay.writeIndex(), 80000u - 75600u);
    EXPECT_EQ(c.delay.readPosition(), 79000.0f - 75600.0f);
    EXPECT_EQ(c.delay.readSpeed(), (1000.0f + 32.0f) / static_cast<float>(37799 + 32));
}

TEST(Delay, GrowingBarRegistersTheWholeBar) {
    ConfiguredDelay c;
    auto bytesOf = [&](const float* line) {
        for (const BufferEntry& e : c.ctx.registry.entries())
            if (e.pointer == line) return e.bytes;
        return size_t{0};
    };
    EXPECT_EQ(bytesOf(c.delay.leftLine()), 88200u * 4);
    c.setTempo(60.0);
    c.delay.timingChanged(false);
    EXPECT_EQ(c.delay.capacity(), 176400u);
    EXPECT_EQ(bytesOf(c.delay.leftLine()), 176400u * 4);
    EXPECT_EQ(bytesOf(c.delay.rightLine()), 176400u * 4);
    c.setTempo(120.0);
    c.delay.timingChanged(false);
    EXPECT_EQ(c.delay.capacity(), 176400u) << "a shorter bar keeps the capacity";
    EXPECT_EQ(bytesOf(c.delay.leftLine()), 176400u * 4);

    // A higher sample rate moves the lines to larger memory before its recompute,
    // each side's contents kept on its own side.
    std::vector<float> l(64, 0.5f), r(64, 0.0f);
    runBlock(c.delay, l, r);
    const std::vector<float> keptL(c.delay.leftLine(), c.delay.leftLine() + 176400);
    const std::vector<float> keptR(c.delay.rightLine(), c.delay.rightLine() + 176400);
    ASSERT_NE(keptL, keptR);
    const float* before = c.delay.leftLine();
    c.ctx.setSampleRate(96000.0f);
    c.delay.prepareForSampleRate(96000.0f);
    EXPECT_NE(c.delay.leftLine(), before);
    EXPECT_EQ(c.delay.allocatedSamples(), 512000u);
    EXPECT_EQ(bytesOf(before), 0u) << "the old lines left the registry";
    EXPECT_EQ(bytesOf(c.delay.leftLine()), 176400u * 4);
    EXPECT_TRUE(std::equal(keptL.begin(), keptL.end(), c.delay.leftLine()));
    EXPECT_TRUE(std::equal(keptR.begin(), keptR.end(), c.delay.rightLine()));
    c.delay.timingChanged(false);
    EXPECT_EQ(c.delay.length(), 192000u);
}

TEST(Delay, ProcessWetSkipsFiltersAndGains) {
    ConfiguredDelay c;
    c.delay.setMix(0.5f); // would scale process's output
    c.delay.setMode(-1, 0);
    c.delay.setParameter(1, 0.0f);
    c.delay.setParameter(2, 1.0f);
    c.delay.setParameter(0, 0.0f);
    std::vector<float> l(256, 0.0f), r(256, 0.0f);
    l[0] = 1.0f;
    r[0] = 0.25f;
    for (size_t i = 0; i < l.size(); i += 32) c.delay.processWet(&l[i], &r[i], 32);
    EXPECT_EQ(l[128], 0.25f);
    EXPECT_EQ(r[128], 1.0f);
    EXPECT_EQ(l[129], 1e-18f) << "the wet path's guard is 1e-18";
}

// Once a bar of silent writes has left each line one value that the feedback
// reproduces, blocks skip the lines. They must give the very bits of a delay
// that runs its lines (kept from settling by the count-0 processWet), through
// the glide, after suspend has emptied the lines and when sound returns.
TEST(Delay, SettledSilenceSkipsTheLinesWithoutChangingTheOutput) {
    ConfiguredDelay skipping, running;
    bool settledOnce = false;
    auto run = [&](size_t frames, float level) {
        for (size_t done = 0; done < frames; done += 32) {
            float a[2][32], b[2][32];
            for (int i = 0; i < 32; ++i)
                a[0][i] = a[1][i] = b[0][i] = b[1][i] = (done + i) % 1000 == 0 ? level : 0.0f;
            for (ConfiguredDelay* c : {&skipping, &running}) {
                c->delay.setParameter(0, 0.2857143f);
                c->delay.setParameter(1, 0.1f);
                c->delay.setParameter(2, 0.1f);
            }
            running.delay.processWet(b[0], b[1], 0);
            skipping.delay.process(a[0], a[1], 32);
            running.delay.process(b[0], b[1], 32);
            ASSERT_EQ(std::memcmp(a, b, sizeof a), 0) << done;
            settledOnce = settledOnce || skipping.delay.settled();
        }
    };
    run(44100, 0.5f);
    run(44100 * 24, 0.0f);
    EXPECT_TRUE(settledOnce);
    EXPECT_TRUE(skipping.delay.settled());
    skipping.ctx.registry.zeroAll();
    running.ctx.registry.zeroAll();
    run(32, 0.0f);
    EXPECT_FALSE(skipping.delay.settled());
    run(44100 * 2, 0.0f);
    run(44100, 0.5f);
    EXPECT_FALSE(skipping.delay.settled());
    EXPECT_EQ(skipping.delay.readPosition(), running.delay.readPosition());
}
