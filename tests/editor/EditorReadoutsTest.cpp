// What the meters and displays show, worked out by hand from engine values.
#include <gtest/gtest.h>

#include <vector>

#include "editor/EditorReadouts.h"
#include "params/ParameterTags.h"
#include "support/SettingsSandbox.h"
#include "support/StateWords.h"

using namespace layout;

namespace {

// A square wave of the given level, every 8 frames up and down (no DC for the high-pass to take).
void runSamples(ZuUniClient& c, int n, float level = 0.0f) {
    const size_t count = size_t(n);
    std::vector<float> l(count), r(count), ol(count), orr(count);
    for (size_t i = 0; i < count; ++i) l[i] = r[i] = (i / 4) % 2 ? -level : level;
    float* ins[2] = {l.data(), r.data()};
    float* outs[2] = {ol.data(), orr.data()};
    c.processReplacing(ins, outs, n);
}

} // namespace

TEST(EditorReadouts, CompressorReductionFillsTheMeterAtItsLimitAndNoneWhenOff) {
    SettingsSandbox box;
    auto c = DirectHost::create();
    EditorReadouts r;
    c->setParameter(kTagComp, 0.0f); // compressor off: no reduction
    runSamples(*c, 256, 0.9f);
    r.derive(c->engine());
    EXPECT_EQ(r[kReductionFraction], 0.0f);
    EXPECT_EQ(r[kReductionComplement], 1.0f);

    c->setParameter(kTagComp, 1.0f);
    c->setParameter(kTagCompression, 1.0f); // full amount on a loud signal reaches the 0.8 limit
    for (int i = 0; i < 200; ++i) runSamples(*c, 512, 1.5f);
    // The gain settles at 0.2: a reduction of 0.8, whose 1.25 * 0.8 * 34 fills all 34 steps.
    ASSERT_EQ(c->engine().dynamics.compressorReduction(), 0.8f);
    r.derive(c->engine());
    EXPECT_EQ(r[kReductionFraction], 1.0f);
    EXPECT_EQ(r[kReductionComplement], 0.0f);
}
