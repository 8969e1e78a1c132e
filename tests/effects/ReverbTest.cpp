#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "effects/ZuReverb.h"
#include "support/MessageCapture.h"

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
    ConfiguredReverb c;
    MessageCapture capture;
    const float room = c.reverb.room();
    c.reverb.setParameter(5, 1.0f);
    c.reverb.setParameter(-1, 1.0f);
    EXPECT_EQ(c.reverb.room(), room);
    ASSERT_EQ(capture.texts().size(), 2u);
    EXPECT_EQ(capture.texts()[0], "unknown parameter called in ZuBreverb");
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
