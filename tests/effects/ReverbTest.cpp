// The reverb skips a settled network without changing a bit of its output.
#include <gtest/gtest.h>

#include "effects/ZuReverb.h"

// Silence from an empty network (the state a switched-off reverb starts in)
// settles until the network is skipped; the output must stay the same bits as
// a network that never skips (processSample), also when suspend empties the
// lines meanwhile and when sound comes back.
TEST(Reverb, SettledTailSkipsTheNetworkWithoutChangingTheOutput) {
    EngineContext skippingCtx, referenceCtx;
    ZuReverb skipping(&skippingCtx), reference(&referenceCtx);
    for (ZuReverb* r : {&skipping, &reference}) {
        r->setParameter(4, 0.0f);
        r->setMix(1.0f);
        r->update();
        r->reset();
        r->setParameter(2, 0.5f);
    }
    bool settledOnce = false;
    auto run = [&](size_t frames, float level) {
        float l[32], r[32];
        for (size_t done = 0; done < frames; done += 32) {
            for (int i = 0; i < 32; ++i) l[i] = r[i] = i == 0 ? level : 0.0f;
            skipping.process(l, r, 32);
            for (int i = 0; i < 32; ++i) {
                const float in = i == 0 ? level : 0.0f;
                float sl = in, sr = in;
                reference.processSample(&sl, &sr);
                if (in != 0.0f) continue; // processSample adds its input
                ASSERT_EQ(sl, l[i]) << done + i;
                ASSERT_EQ(sr, r[i]) << done + i;
            }
            settledOnce = settledOnce || skipping.settled();
        }
    };
    run(44100 * 8, 0.0f);
    EXPECT_TRUE(settledOnce);
    EXPECT_TRUE(skipping.settled());
    skippingCtx.registry.zeroAll();
    referenceCtx.registry.zeroAll();
    run(32, 0.0f);
    EXPECT_FALSE(skipping.settled());
    run(44100 * 4, 0.0f);
    run(32 * 40, 0.5f);
    EXPECT_FALSE(skipping.settled());
    EXPECT_EQ(skipping.combIndex(1, 7), reference.combIndex(1, 7));
}
