// What the meters and displays show, worked out by hand from engine values.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "editor/EditorReadouts.h"
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

TEST(EditorReadouts, MetersFollowTheirFormulas) {
    SettingsSandbox box;
    auto c = DirectHost::create();
    c->setParameter(26, 0.25f); // reverb send level: 0.25^1.5 = 0.125
    c->setParameter(22, 0.0f);  // delay send level 0
    c->setParameter(35, 1.0f);  // lfo speed s = 0.999: 12 s^2 Hz
    c->setParameter(37, 0.0f);
    c->setParameter(0, 0.5f);   // master gain 1
    c->setParameter(29, 0.0f);  // no follower modulation on the levels
    c->setParameter(34, 0.0f);
    runSamples(*c, 64);
    Engine& e = c->engine();
    e.meters.compressorInput = 0.5f;
    e.meters.selectableDisplay = 0.25f;

    EditorReadouts r;
    r.derive(e);
    EXPECT_NEAR(r[kReverbSendDb], -18.0618f, 1e-3f);
    EXPECT_NEAR(r[kDelaySendDb], -160.0f, 1e-3f); // the 1e-8 floor
    EXPECT_NEAR(r[kLfoRateHz], 11.976012f, 1e-4f);
    EXPECT_NEAR(r[kLfoRateIndicator], 0.998001f, 1e-5f);
    EXPECT_NEAR(r[kCompressorInputMeter], 18.3217f, 1e-3f); // 0.5^0.8 x 31.9
    EXPECT_FLOAT_EQ(r[kOutputMeter], 32.0f);                // sqrt(0.25) x 64 x sqrt(1)

    e.meters.compressorInput = 2.0f;
    e.meters.selectableDisplay = 3.0f; // held to 1
    c->setParameter(0, 1.0f);          // gain 4
    r.derive(e);
    EXPECT_FLOAT_EQ(r[kCompressorInputMeter], 31.9f);
    EXPECT_FLOAT_EQ(r[kOutputMeter], 64.0f);
    c->setParameter(0, 0.25f); // gain 0.25: 1 x 64 x 0.5
    r.derive(e);
    EXPECT_FLOAT_EQ(r[kOutputMeter], 32.0f);

    c->setParameter(37, 1.0f); // synced at 120 beats per minute: 31 eighths per beat x 2 beats/s
    r.derive(e);
    EXPECT_NEAR(r[kLfoRateHz], 7.75f, 1e-4f);
    EXPECT_NEAR(r[kLfoRateIndicator], 7.75f / 12.0f, 1e-5f);
}

TEST(EditorReadouts, CompressorReductionIsShownIn34Steps) {
    SettingsSandbox box;
    auto c = DirectHost::create();
    EditorReadouts r;
    c->setParameter(45, 0.0f); // compressor off: no reduction
    runSamples(*c, 256, 0.9f);
    r.derive(c->engine());
    EXPECT_EQ(r[kReductionFraction], 0.0f);
    EXPECT_EQ(r[kReductionComplement], 1.0f);

    c->setParameter(45, 1.0f);
    c->setParameter(6, 1.0f); // full amount on a loud signal reaches the 0.8 limit
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

TEST(EditorReadouts, DisplayQuantitiesFollowTheParameterMappings) {
    SettingsSandbox box;
    auto c = DirectHost::create();
    c->setParameter(1, 0.5f);   // threshold 0.25: -12.04 dB
    c->setParameter(3, 0.5f);   // gain 12/16 = 0.75: -2.50 dB
    c->setParameter(7, 1.0f);   // release 0.0099 s after the truncation to steps of 0.0001
    c->setParameter(9, 0.0f);   // response r = 0.999
    c->setParameter(20, 0.5f);  // trunc(0.55 / 0.071429) = 7 steps
    c->setParameter(11, 0.25f); // level 0.5: -6.02 dB
    c->setParameter(6, 0.5f);   // amount 0.125
    c->setParameter(5, 0.5f);   // drive 48/8 + 1
    EditorReadouts r;
    r.derive(c->engine());
    EXPECT_NEAR(r[kGateThresholdDb], -12.0412f, 1e-3f);
    EXPECT_NEAR(r[kPreampGainDb], -2.4988f, 1e-3f);
    EXPECT_NEAR(r[kReleaseMs], 9.9f, 1e-3f);
    EXPECT_NEAR(r[kLowHoldMs], 998.001f, 1e-2f);
    EXPECT_NEAR(r[kMidHoldMs], 748.5f, 1e-2f);
    EXPECT_NEAR(r[kHighHoldMs], 449.1f, 1e-2f);
    EXPECT_FLOAT_EQ(r[kDelayStep], 7.0f / 13.0f);
    EXPECT_NEAR(r[kHighLevelDb], -6.0206f, 1e-3f);
    EXPECT_FLOAT_EQ(r[kCompressionPercent], 12.5f);
    EXPECT_FLOAT_EQ(r[kDrive], 7.0f);
    c->setParameter(20, 1.0f); // 15 steps: the last image
    c->setParameter(1, 0.0f);  // silence threshold: the -100 dB floor
    r.derive(c->engine());
    EXPECT_FLOAT_EQ(r[kDelayStep], 1.0f);
    EXPECT_FLOAT_EQ(r[kGateThresholdDb], -100.0f);
}
