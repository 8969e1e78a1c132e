// What the engine hands the delay at settings the reference renders leave
// out, and how it reads a host's tempo.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "support/EngineRig.h"

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

    // The LFO swings the time half a unit past either end: held at 0 and 1.
    rig.set(36, 1.0f);  // LFO on,
    rig.set(34, 1.0f);  // full depth,
    rig.set(35, 1.0f);  // 12 Hz,
    rig.set(71, 0.25f); // on the delay time
    for (float time : {0.0f, 1.0f}) {
        rig.set(20, time);
        float lowest = 2.0f, highest = -1.0f;
        for (int b = 0; b < 120; ++b) {
            rig.run(32);
            lowest = std::min(lowest, rig.delay.lastSet[0]);
            highest = std::max(highest, rig.delay.lastSet[0]);
        }
        const float end = time == 0.0f ? 0.0f : std::trunc(1.0f / 0.071428575f) * 0.071428575f;
        EXPECT_EQ(time == 0.0f ? lowest : highest, end) << "held at the end";
        EXPECT_NE(lowest, highest) << "the LFO moves the time";
    }
}

TEST(ProcessingLoop, HostTempoBelow45IsRaisedAndFrom500OnCountsAsAbsent) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    struct Row {
        bool valid;
        double host, current, expected;
    };
    for (const Row& r : {Row{true, 30.0, 120.0, 45.0}, Row{true, -1.0, 120.0, 45.0}, Row{false, 90.0, 120.0, 120.0},
                         Row{true, 499.5, 120.0, 499.5}, Row{true, 500.0, 133.0, 133.0}, Row{true, nan, 133.0, 133.0},
                         Row{true, inf, 133.0, 133.0}})
        EXPECT_EQ(Engine::resolveHostTempo(r.valid, r.host, r.current), r.expected) << r.host;
}
