// The processing call as a host drives it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "support/EngineFixtures.h"

TEST(ProcessingCall, RunsEndToEndAndStaysFinite) {
    HostedPlugin p;
    ASSERT_NE(p.effect, nullptr);
    const auto in = sineWave(4096, 0.5f, 0.01f);
    std::vector<float> l, r;
    p.run(in, in, l, r, 512);
    float peak = 0.0f;
    for (size_t i = 0; i < l.size(); ++i) {
        ASSERT_TRUE(std::isfinite(l[i]) && std::isfinite(r[i])) << i;
        peak = std::max(peak, std::fabs(l[i]));
    }
    EXPECT_GT(peak, 0.01f);
}
