// The delay's lines as the bar and the sample rate change: the memory
// registered for suspend, and each side's contents kept on its own side.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "effects/ZuDelay.h"

TEST(Delay, GrowingBarRegistersTheWholeBarAndANewRateKeepsEachSidesContents) {
    // Configured as the plug-in does it.
    EngineContext ctx;
    ctx.setSampleRate(44100.0f);
    ctx.tempo = 120.0;
    ctx.refreshTempoFields();
    ZuDelay delay(&ctx);
    delay.prepareForSampleRate(44100.0f);
    delay.setMode(-1, 1);
    delay.setMode(0, 0);
    delay.setParameter(3, 0.0f);
    delay.setMix(1.0f);
    delay.update();
    delay.reset();
    delay.timingChanged(false);
    delay.clear();
    auto bytesOf = [&](const float* line) {
        for (const BufferEntry& e : ctx.registry.entries())
            if (e.pointer == line) return e.bytes;
        return size_t{0};
    };
    auto retime = [&](double tempo) {
        ctx.tempo = tempo;
        ctx.refreshTempoFields();
        delay.timingChanged(false);
    };
    EXPECT_EQ(bytesOf(delay.leftLine()), 88200u * 4);
    retime(60.0);
    EXPECT_EQ(delay.capacity(), 176400u);
    EXPECT_EQ(bytesOf(delay.leftLine()), 176400u * 4);
    EXPECT_EQ(bytesOf(delay.rightLine()), 176400u * 4);
    retime(120.0);
    EXPECT_EQ(delay.capacity(), 176400u) << "a shorter bar keeps the capacity";
    EXPECT_EQ(bytesOf(delay.leftLine()), 176400u * 4);

    // A higher sample rate moves the lines to larger memory before its recompute.
    std::vector<float> l(64, 0.5f), r(64, 0.0f);
    delay.process(l.data(), r.data(), 32);
    delay.process(l.data() + 32, r.data() + 32, 32);
    const std::vector<float> keptL(delay.leftLine(), delay.leftLine() + 176400);
    const std::vector<float> keptR(delay.rightLine(), delay.rightLine() + 176400);
    ASSERT_NE(keptL, keptR);
    const float* before = delay.leftLine();
    ctx.setSampleRate(96000.0f);
    delay.prepareForSampleRate(96000.0f);
    EXPECT_NE(delay.leftLine(), before);
    EXPECT_EQ(delay.allocatedSamples(), 512000u);
    EXPECT_EQ(bytesOf(before), 0u) << "the old lines left the registry";
    EXPECT_EQ(bytesOf(delay.leftLine()), 176400u * 4);
    EXPECT_TRUE(std::equal(keptL.begin(), keptL.end(), delay.leftLine()));
    EXPECT_TRUE(std::equal(keptR.begin(), keptR.end(), delay.rightLine()));
    delay.timingChanged(false);
    EXPECT_EQ(delay.length(), 192000u);
}
