#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "effects/ZuReverb.h"

namespace {
struct ConfiguredReverb {
    ConfiguredReverb() {
        reverb.setParameter(4, 0.0f);
        reverb.setMix(1.0f);
        reverb.update();
        reverb.reset();
    }
    EngineContext ctx;
    ZuReverb reverb{&ctx};
};

// Runs an impulse of 1.0 on both inputs through the network in blocks of 32.
void impulse(ZuReverb& r, std::vector<float>& l, std::vector<float>& rr) {
    l.assign(1600, 0.0f);
    rr.assign(1600, 0.0f);
    l[0] = rr[0] = 1.0f;
    for (size_t i = 0; i < l.size(); i += 32) r.process(&l[i], &rr[i], 32);
}

size_t firstAbove(const std::vector<float>& s, float level) {
    for (size_t i = 0; i < s.size(); ++i)
        if (std::fabs(s[i]) > level) return i;
    return s.size();
}
} // namespace

TEST(Reverb, ImpulseEchoesAfterTheFirstCombs) {
    ConfiguredReverb c;
    // Width 1 so each output carries its own network only.
    std::vector<float> l, r;
    impulse(c.reverb, l, r);
    // Four all-passes with empty lines each negate their input, so the echo is
    // the network input 0.03 times wet1 = 1/3.
    EXPECT_EQ(firstAbove(l, 1e-4f), 1116u);
    EXPECT_EQ(firstAbove(r, 1e-4f), 1139u);
    EXPECT_NEAR(l[1116], 0.01f, 1e-6f);
    EXPECT_NEAR(r[1139], 0.01f, 1e-6f);
    // The echo went back into the first left comb through its feedback: 0.03 * room.
    EXPECT_NEAR(c.reverb.combLine(0, 0)[1], 0.03f * 0.84f, 1e-7f);
}

TEST(Reverb, WidthMixesTheNetworks) {
    ConfiguredReverb c;
    EXPECT_EQ(c.reverb.wet1(), 1.0f / 3.0f);
    EXPECT_EQ(c.reverb.wet2(), 0.0f);
    c.reverb.setParameter(3, 0.0f);
    EXPECT_EQ(c.reverb.wet1(), c.reverb.wet2());
    EXPECT_EQ(c.reverb.wet1(), (1.0f / 3.0f) * 0.5f);
    std::vector<float> l, r;
    impulse(c.reverb, l, r);
    EXPECT_EQ(firstAbove(l, 1e-4f), 1116u);
    for (size_t i = 0; i < l.size(); ++i) ASSERT_EQ(l[i], r[i]) << i;
}

TEST(Reverb, UnknownIndexIsReportedAndChangesNothing) {
    struct Recorder : EffectNotice {
        std::vector<std::string> texts;
        void effectNotice(const char* text) override { texts.emplace_back(text); }
    } recorder;
    ConfiguredReverb c;
    c.reverb.setParameter(5, 1.0f); // no notice attached: dropped
    c.reverb.setNotice(&recorder);
    const float room = c.reverb.room();
    c.reverb.setParameter(5, 1.0f);
    c.reverb.setParameter(-1, 1.0f);
    EXPECT_EQ(c.reverb.room(), room);
    ASSERT_EQ(recorder.texts.size(), 2u);
    EXPECT_EQ(recorder.texts[0], "unknown parameter called in ZuBreverb");
}

TEST(Reverb, ProcessSampleAddsTheWetSignalToItsInputs) {
    ConfiguredReverb a, b;
    std::vector<float> l, r;
    impulse(a.reverb, l, r); // mix 1.0: the wet signal alone
    for (size_t i = 0; i < l.size(); ++i) {
        float sl = i == 0 ? 1.0f : 0.0f, sr = sl;
        b.reverb.processSample(&sl, &sr);
        const float in = i == 0 ? 1.0f : 0.0f;
        ASSERT_NEAR(sl - in, l[i], 1e-7f) << i;
        ASSERT_NEAR(sr - in, r[i], 1e-7f) << i;
    }
}

// Silence from an empty network (the state a switched-off reverb starts in)
// settles until the network is skipped; the output must stay the same bits as
// a network that never skips (processSample), also when suspend empties the
// lines meanwhile and when sound comes back.
TEST(Reverb, SettledTailSkipsTheNetworkWithoutChangingTheOutput) {
    ConfiguredReverb skipping, reference;
    skipping.reverb.setParameter(2, 0.5f);
    reference.reverb.setParameter(2, 0.5f);
    bool settledOnce = false;
    auto run = [&](size_t frames, float level) {
        float l[32], r[32];
        for (size_t done = 0; done < frames; done += 32) {
            for (int i = 0; i < 32; ++i) l[i] = r[i] = i == 0 ? level : 0.0f;
            skipping.reverb.process(l, r, 32);
            for (int i = 0; i < 32; ++i) {
                const float in = i == 0 ? level : 0.0f;
                float sl = in, sr = in;
                reference.reverb.processSample(&sl, &sr);
                if (in != 0.0f) continue; // processSample adds its input
                ASSERT_EQ(sl, l[i]) << done + i;
                ASSERT_EQ(sr, r[i]) << done + i;
            }
            settledOnce = settledOnce || skipping.reverb.settled();
        }
    };
    run(44100 * 8, 0.0f);
    EXPECT_TRUE(settledOnce);
    EXPECT_TRUE(skipping.reverb.settled());
    skipping.ctx.registry.zeroAll();
    reference.ctx.registry.zeroAll();
    run(32, 0.0f);
    EXPECT_FALSE(skipping.reverb.settled());
    run(44100 * 4, 0.0f);
    run(32 * 40, 0.5f);
    EXPECT_FALSE(skipping.reverb.settled());
    EXPECT_EQ(skipping.reverb.combIndex(1, 7), reference.reverb.combIndex(1, 7));
}
