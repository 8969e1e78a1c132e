// Chunks through the real entry point and dispatcher.
#include <gtest/gtest.h>

#include <vector>

#include "support/EngineFixtures.h"
#include "support/StateWords.h"

TEST(ChunkHost, GetAndSetChunkThroughTheDispatcher) {
    HostedPlugin p;
    void* data = nullptr;
    ASSERT_EQ(p.host.dispatch(effGetChunk, 0, 0, &data), 652);
    ASSERT_NE(data, nullptr);
    std::vector<int32_t> w = wordsOf(data, 652);
    EXPECT_EQ(w[0], 163);

    // `master` (record 11, words 39..41) to 0.5: unity gain.
    ASSERT_EQ(w[39], 11);
    w[41] = 0x3f000000;
    HostedPlugin q;
    EXPECT_EQ(q.host.dispatch(effSetChunk, 0, 652, w.data()), 1);
    EXPECT_EQ(q.host.getParameter(kTagMaster), 0.5f);

    // Audio flows after a load: the silence belongs only to the load itself.
    const std::vector<float> in = testSignal(2048, 0.5f);
    std::vector<float> outL, outR;
    q.host.processStereo(in, in, outL, outR, 256);
    EXPECT_GT(peakOf(outL), 0.01f);

    // Garbage and a null buffer are answered with 1 and change nothing.
    std::vector<int32_t> garbage(40, 0x55aa55aa);
    EXPECT_EQ(q.host.dispatch(effSetChunk, 0, 160, garbage.data()), 1);
    EXPECT_EQ(q.host.dispatch(effSetChunk, 0, 0, nullptr), 1);
    EXPECT_EQ(q.host.getParameter(kTagMaster), 0.5f);
}
