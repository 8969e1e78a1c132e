// The engine's building blocks against hand-worked values.
#include <gtest/gtest.h>

#include <vector>

#include "engine/BuildingBlocks.h"
#include "engine/OutputStage.h"

TEST(ParamRamp, ReachesItsTargetInOneControlBlock) {
    ParamRamp r;
    r.setTarget(1.0f);
    EXPECT_EQ(r.inc, 0.03125f);
    EXPECT_EQ(r.next(), 0.03125f) << "the new current is what the sample uses";
    for (int i = 1; i < 32; ++i) r.next();
    EXPECT_EQ(r.current, 1.0f);
    r.setTarget(0.25f);
    EXPECT_EQ(r.inc, -0.0234375f);
}

TEST(ParamRamp, TinyStepsSnapToTheTarget) {
    ParamRamp snap;
    snap.setTarget(3.0e-6f); // inc 9.4e-8
    EXPECT_EQ(snap.inc, 0.0f);
    EXPECT_EQ(snap.current, 3.0e-6f);
    ParamRamp ramp;
    ramp.setTarget(3.4e-6f); // inc 1.06e-7
    EXPECT_GT(ramp.inc, 0.0f);
    EXPECT_EQ(ramp.current, 0.0f);
    ParamRamp down;
    down.current = 3.0e-6f;
    down.setTarget(0.0f);
    EXPECT_EQ(down.current, 0.0f);
}

TEST(SoftClip, ShapesAndLimits) {
    EXPECT_EQ(softClip(0.0f), 0.0f);
    EXPECT_EQ(softClip(1.0f), 0.75f);
    EXPECT_EQ(softClip(-0.5f), -0.4375f);
    EXPECT_EQ(softClip(2.0f), 1.0f);
    EXPECT_EQ(softClip(3.0f), 1.0f) << "clamped to 2 first";
    EXPECT_EQ(softClip(-5.0f), -1.0f);
}

TEST(Prewarp, SeriesOfTheTangent) {
    EXPECT_NEAR(prewarp(0.1f), 0.1003466663f, 1e-8f);
    EXPECT_EQ(prewarp(0.0f), 0.0f);
    EXPECT_NEAR(prewarp(1.0f), 2.666666f, 1e-6f);
}

TEST(PeakHold, HoldsThenFallsLinearly) {
    PeakHold p;
    const float k = 0.25f;
    EXPECT_EQ(p.process(1.0f, k), 1.0f);
    EXPECT_EQ(p.dec, 0.25f);
    EXPECT_EQ(p.process(0.0f, k), 0.75f);
    EXPECT_EQ(p.process(0.0f, k), 0.5f);
    EXPECT_EQ(p.process(0.6f, k), 0.6f) << "a new peak above the falling value";
    EXPECT_FLOAT_EQ(p.process(0.0f, k), 0.45f);
    PeakHold q;
    EXPECT_EQ(q.process(-1.0f, k), 0.0f) << "negative peaks do not drive it";
}

TEST(PeakHold, DecaysToZeroInTMilliseconds) {
    const float fs = 44100.0f;
    const float k = 1.0f / (400.0f * 0.001f * fs + 1e-09f); // 17640 samples
    PeakHold p;
    p.process(1.0f, k);
    for (int i = 1; i < 17540; ++i) p.process(0.0f, k);
    EXPECT_GT(p.held, 0.0f);
    for (int i = 17540; i < 17740; ++i) p.process(0.0f, k);
    EXPECT_EQ(p.held, 0.0f);
}

TEST(LagSmoother, FeedsBackTwoSamplesAndReadsTheInputOneLate) {
    LagSmoother s;
    const float expected[] = {0.0f, 0.5f, 0.5f, 0.75f, 0.75f, 0.875f};
    for (float e : expected) EXPECT_EQ(s.process(1.0f, 0.5f), e);
}

TEST(FirstOrderHighPass, StepResponse) {
    FirstOrderCoefficients c;
    c.set(0.5f);
    EXPECT_EQ(c.gMinus1, -0.5f);
    EXPECT_EQ(c.gPlus1, 1.5f);
    FirstOrderHighPass hp;
    EXPECT_NEAR(hp.processDivide(1.0f, c), 0.6666667f, 1e-7f);
    EXPECT_NEAR(hp.processDivide(1.0f, c), 0.2222222f, 1e-7f);
    EXPECT_NEAR(hp.processDivide(1.0f, c), 0.0740741f, 1e-7f);
    FirstOrderHighPass hm;
    EXPECT_NEAR(hm.processMultiply(1.0f, c), 0.6666667f, 1e-7f);
}

TEST(OutputStage, DcBlockerInDoublePrecision) {
    OutputStage o;
    float l[3] = {1.0f, 1.0f, 1.0f};
    float r[3] = {0.5f, 0.0f, 0.0f};
    o.blockDc(l, r, 3);
    EXPECT_EQ(l[0], 1.0f);
    EXPECT_EQ(l[1], 0.998f);
    EXPECT_EQ(l[2], static_cast<float>(0.998 * static_cast<double>(0.998f)));
    EXPECT_EQ(r[1], static_cast<float>(-0.5 + 0.998 * 0.5));
    EXPECT_EQ(o.dcInPrev[0], 1.0f);
    EXPECT_EQ(o.dcOutPrev[0], l[2]);
    o.resetDc();
    EXPECT_EQ(o.dcInPrev[0], 0.0f);
    EXPECT_EQ(o.dcOutPrev[1], 0.0f);
}

TEST(OutputStage, MasterGainRampsLinearlyOverAFixedLengthThenHolds) {
    MasterGainRamp m; // at 0: the first target fades in
    m.setTarget(2.0f);
    m.setTarget(2.0f); // the same target again does not restart the ramp
    std::vector<float> g(600);
    for (float& x : g) x = m.next();
    EXPECT_EQ(g[0], 2.0f / 512.0f);
    EXPECT_LT(g[510], 2.0f);
    EXPECT_EQ(g[511], 2.0f);
    EXPECT_EQ(g[599], 2.0f);
    for (int i = 0; i < 256; ++i) m.next();
    m.setTarget(1.0f);
    EXPECT_EQ(m.next(), 2.0f - 1.0f / 512.0f) << "a new target ramps from where the gain stands";

    OutputStage o;
    o.master = MasterGainRamp{1.0f, 1.0f, 0.0f, 0};
    float u[2] = {3, 3};
    o.finish(u, nullptr, 2);
    EXPECT_EQ(u[0], 3.0f) << "unity leaves the samples to the DC blocker";
    EXPECT_EQ(u[1], static_cast<float>(0.998 * 3.0));
    o.resetDc();
    o.master = MasterGainRamp{2.0f, 2.0f, 0.0f, 0};
    float w[1] = {3};
    o.finish(w, nullptr, 1);
    EXPECT_EQ(w[0], 6.0f);
}
