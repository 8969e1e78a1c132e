// The processing loop with recording send effects: the control grid, the
// flushes, where the returns land, the master gain and the tempo path.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "support/EngineRig.h"

namespace {

size_t indexOf(const std::vector<std::string>& log, const std::string& entry) {
    return static_cast<size_t>(std::find(log.begin(), log.end(), entry) - log.begin());
}

// What the output stage makes of the samples x with the gains g, starting
// from the DC blocker state (xp, yp).
std::vector<float> afterOutputStage(const std::vector<float>& x, const std::vector<float>& g, float xp, float yp) {
    std::vector<float> y(x.size());
    for (size_t j = 0; j < x.size(); ++j) {
        const float in = x[j] * g[j];
        y[j] = static_cast<float>(static_cast<double>(in - xp) + 0.998 * static_cast<double>(yp));
        xp = in;
        yp = y[j];
    }
    return y;
}

// Solo on from the start: the direct signal is exactly zero, so the outputs
// carry the effect returns alone.
struct ReturnsOnlyRig : EngineRig {
    ReturnsOnlyRig() {
        set(101, 1.0f);
        set(0, 0.5f); // master gain exactly 1
        log.clear();
    }
};

} // namespace

TEST(ProcessingLoop, ControlBlocksAt0And32OfA40SampleCallWithFlushesOf32And8) {
    EngineRig rig;
    rig.run(40, 0.25f);
    const std::vector<std::string> block = {"delay.set(0)", "delay.set(1)", "delay.set(2)", "reverb.set(0)",
                                            "reverb.set(2)"};
    std::vector<std::string> expected = block;
    expected.insert(expected.end(), {"delay.process(32)", "reverb.process(32)"});
    expected.insert(expected.end(), block.begin(), block.end());
    expected.insert(expected.end(), {"delay.process(8)", "reverb.process(8)"});
    EXPECT_EQ(rig.log, expected);
    EXPECT_EQ(rig.engine.ctx.controlCounter, 8);
    EXPECT_EQ(rig.engine.sends.count, 0);

    // The grid runs on: 24 more samples reach the next block exactly at the end.
    rig.log.clear();
    rig.run(24);
    EXPECT_EQ(rig.log, (std::vector<std::string>{"delay.process(24)", "reverb.process(24)"}));
    rig.log.clear();
    rig.run(1);
    EXPECT_EQ(rig.log.front(), "delay.set(0)");
}

TEST(ProcessingLoop, ReturnsLandOnTheVerySamplesThatProducedThem) {
    ReturnsOnlyRig rig;
    rig.run(612); // past the fade-in, the grid at 4
    rig.delay.returnScale = 1.0f;
    rig.reverb.returnScale = 0.5f;
    const float xp = rig.engine.output.dcInPrev[0], yp = rig.engine.output.dcOutPrev[0];
    std::vector<float> l, r;
    rig.run(70, l, r, 0.3f); // the grid stands at 4: blocks at samples 28 and 60
    std::vector<float> x(70), g(70, 1.0f);
    for (int j = 0; j < 70; ++j) {
        const float s = static_cast<float>(612 + j + 1);
        x[static_cast<size_t>(j)] = (0.0f + s) + 0.5f * s;
    }
    EXPECT_EQ(l, afterOutputStage(x, g, xp, yp));
    EXPECT_EQ(r, l);
}

TEST(ProcessingLoop, MasterChangeRampsFromTheNextControlBlockOverAFixedLength) {
    ReturnsOnlyRig rig;
    rig.run(582); // past the fade-in at unity, the grid at 6
    rig.delay.returnScale = 1.0f;
    rig.set(0, 1.0f); // target 4
    const float xp = rig.engine.output.dcInPrev[0], yp = rig.engine.output.dcOutPrev[0];
    std::vector<float> a, b, unused;
    rig.run(20, a, unused); // no control block yet: still unity
    rig.run(40, b, unused); // the control block at its sample 6 starts the ramp
    a.insert(a.end(), b.begin(), b.end());
    std::vector<float> x(60), g(60, 1.0f);
    float gain = 1.0f;
    const float step = (4.0f - 1.0f) / 512.0f;
    for (size_t j = 0; j < 60; ++j) {
        x[j] = static_cast<float>(582 + j + 1);
        if (j >= 26) g[j] = gain = gain + step;
    }
    EXPECT_EQ(a, afterOutputStage(x, g, xp, yp));
    rig.run(477);
    EXPECT_LT(rig.engine.output.master.current, 4.0f);
    rig.run(1);
    EXPECT_EQ(rig.engine.output.master.current, 4.0f) << "512 samples after the block, exactly on target";
}

TEST(ProcessingLoop, SendLevelIsTheCurvedLevelTimesTheReturnFactor) {
    EngineRig rig;
    rig.set(18, 0.0f);  // sends from the dry signal
    rig.set(26, 0.25f); // reverb level
    rig.set(28, 0.5f);
    rig.set(27, 1.0f);
    rig.set(97, 1.0f);
    rig.run(64, 0.5f);
    EXPECT_EQ(rig.engine.reverbLevel.current, std::pow(0.25f, 1.5f) * 0.5f);
    EXPECT_EQ(rig.engine.reverbPower.current, 1.0f);
    EXPECT_FLOAT_EQ(rig.reverb.lastSet[0], 0.9f * rig.engine.controls.reverbRoom + 0.1f);
    const float d = rig.engine.controls.reverbDecay;
    EXPECT_FLOAT_EQ(rig.reverb.lastSet[2], 1.0f - d * d);
}

TEST(ProcessingLoop, DelayTimeIsClampedAndSteppedPerControlBlock) {
    EngineRig rig;
    rig.set(20, 1.0f); // 15 steps, more than the clamp allows
    rig.set(21, 0.3f);
    rig.run(1);
    EXPECT_EQ(rig.delay.lastSet[0], std::trunc(1.0f / 0.071428575f) * 0.071428575f);
    EXPECT_EQ(rig.delay.lastSet[1], 0.3f);
    EXPECT_EQ(rig.delay.lastSet[2], 0.3f) << "Width gets the feedback value";
    rig.set(20, 0.2f);
    rig.run(32);
    EXPECT_EQ(rig.delay.lastSet[0], 3.0f * 0.071428575f) << "0.214287 in steps of 1/14";
}

TEST(ProcessingLoop, HostTempoChangeNotifiesListenersThenRecomputes) {
    EngineRig rig;
    RecordingListener listener(rig.log);
    rig.engine.ctx.addTempoListener(&listener);
    rig.run(1, 0.0f, 140.0);
    ASSERT_LT(indexOf(rig.log, "listener"), rig.log.size());
    EXPECT_LT(indexOf(rig.log, "listener"), indexOf(rig.log, "delay.reset"));
    const std::vector<std::string> resetOrder = {"delay.reset", "delay.timing(0)", "delay.clear",
                                                 "reverb.reset", "reverb.timing(0)", "reverb.clear"};
    const size_t first = indexOf(rig.log, "delay.reset");
    ASSERT_LE(first + resetOrder.size(), rig.log.size());
    EXPECT_EQ(std::vector<std::string>(rig.log.begin() + static_cast<long>(first),
                                       rig.log.begin() + static_cast<long>(first + resetOrder.size())),
              resetOrder);
    EXPECT_EQ(rig.engine.ctx.tempo, 140.0);
    EXPECT_EQ(rig.engine.ctx.samplesPerBeat, 18900.0f);

    rig.log.clear();
    rig.run(64, 0.0f, 140.0);
    EXPECT_EQ(indexOf(rig.log, "listener"), rig.log.size()) << "an unchanged tempo changes nothing";
    rig.engine.ctx.removeTempoListener(&listener);
}

TEST(ProcessingLoop, TempoOf500OrMoreCountsAsAbsent) {
    EngineRig rig;
    RecordingListener listener(rig.log);
    rig.engine.ctx.addTempoListener(&listener);
    rig.run(96, 0.0f, 600.0);
    rig.run(96, 0.0f, std::numeric_limits<double>::infinity());
    EXPECT_EQ(indexOf(rig.log, "listener"), rig.log.size());
    EXPECT_EQ(indexOf(rig.log, "delay.reset"), rig.log.size());
    EXPECT_EQ(rig.engine.ctx.tempo, 120.0);
    rig.engine.ctx.removeTempoListener(&listener);

    EXPECT_EQ(Engine::resolveHostTempo(true, 30.0, 120.0), 45.0);
    EXPECT_EQ(Engine::resolveHostTempo(true, -1.0, 120.0), 45.0);
    EXPECT_EQ(Engine::resolveHostTempo(false, 90.0, 120.0), 120.0);
    EXPECT_EQ(Engine::resolveHostTempo(true, 499.5, 120.0), 499.5);
    EXPECT_EQ(Engine::resolveHostTempo(true, 500.0, 133.0), 133.0);
    EXPECT_EQ(Engine::resolveHostTempo(true, std::nan(""), 133.0), 133.0);
}
