// What the meters and displays show, worked out by hand from engine values.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "editor/EditorReadouts.h"
#include "params/ParameterTags.h"
#include "support/SettingsSandbox.h"
#include "support/StateWords.h"

using namespace layout;

namespace {

void runSamples(ZuUniClient& c, int n, float level = 0.0f) {
    const size_t count = size_t(n);
    std::vector<float> l(count, level), r(count, level), ol(count), orr(count);
    float* ins[2] = {l.data(), r.data()};
    float* outs[2] = {ol.data(), orr.data()};
    c.processReplacing(ins, outs, n);
}

} // namespace

TEST(EditorReadouts, CompressorReductionIsShownIn34Steps) {
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
    for (int i = 0; i < 200; ++i) runSamples(*c, 512, 0.9f);
    const float reduction = c->engine().dynamics.compressorReduction();
    ASSERT_GT(reduction, 0.0f);
    r.derive(c->engine());
    const float p = std::trunc(1.25f * reduction * 34.0f);
    EXPECT_FLOAT_EQ(r[kReductionFraction], p / 34.0f);
    EXPECT_FLOAT_EQ(r[kReductionComplement], 1.0f - p / 34.0f);
    if (reduction == 0.8f) {
        EXPECT_EQ(r[kReductionComplement], 0.0f);
    }
}
