// The delay's lines as the bar and the sample rate change: the memory
// registered for suspend, and each side's contents kept on its own side.
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
