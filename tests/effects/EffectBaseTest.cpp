#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "effects/EffectFilter.h"
#include "effects/ZuDelay.h"
#include "effects/ZuReverb.h"

TEST(EffectBase, EqualPowerAndLinearMixPairs) {
    EngineContext ctx;
    ZuDelay delay(&ctx);
    EXPECT_EQ(delay.wetGain(), 0.70710677f);
    EXPECT_EQ(delay.dryGain(), 0.70710677f);
    delay.setMix(0.5f);
    EXPECT_EQ(delay.wetGain(), 0.70710677f);
    EXPECT_EQ(delay.dryGain(), 0.70710677f);
    delay.setMix(1.0f);
    EXPECT_EQ(delay.wetGain(), 1.0f);
    EXPECT_EQ(delay.dryGain(), 0.0f);

    ZuReverb reverb(&ctx);
    reverb.setMix(0.5f);
    EXPECT_EQ(reverb.wetGain(), 0.5f);
    EXPECT_EQ(reverb.dryGain(), 0.5f);
    EXPECT_EQ(reverb.mix(), 0.125f);
}

TEST(EffectFilter, ZeroCoefficientPassesInputApartFromEpsilon) {
    EffectFilter f(nullptr, nullptr);
    EXPECT_EQ(f.q, 0.8899999856948853);
    EXPECT_EQ(f.step(1.0), 1.0f);

    EffectFilter s(nullptr, nullptr);
    const double eps = 1.000000013351432e-10;
    EXPECT_EQ(s.step(0.0), static_cast<float>(eps));
    // After the first step band = eps and low = -eps, so the second output is
    // eps - (-eps) - q * eps = 1.11 eps.
    const double second = (0.0 + eps) - (0.0 - eps) - 0.8899999856948853 * eps;
    EXPECT_EQ(s.step(0.0), static_cast<float>(second));
    EXPECT_NEAR(second / eps, 1.11, 1e-6);
}

TEST(EffectFilter, RegistersItsStateCellsOnly) {
    EngineContext ctx;
    const size_t before = ctx.registry.entries().size();
    {
        EffectFilter f(&ctx, &ctx.registry);
        f.g = 0.5;
        f.step(1.0);
        ASSERT_EQ(ctx.registry.entries().size(), before + 3);
        ctx.registry.zeroAll();
        EXPECT_EQ(f.low, 0.0);
        EXPECT_EQ(f.high, 0.0);
        EXPECT_EQ(f.band, 0.0);
        EXPECT_EQ(f.g, 0.5);
    }
    EXPECT_EQ(ctx.registry.entries().size(), before);
}

TEST(EffectBase, RegistryHoldsSignalMemoryInConstructionOrder) {
    EngineContext ctx;
    const size_t entries = ctx.registry.entries().size();
    const size_t listeners = ctx.tempoListeners.size();
    {
        ZuDelay delay(&ctx);
        ZuReverb reverb(&ctx);
        const std::vector<BufferEntry>& e = ctx.registry.entries();
        ASSERT_EQ(e.size(), entries + 2 + 6 + 24 + 6);
        // The delay's lines (one bar each), then its filters' cells; then the reverb.
        EXPECT_EQ(e[entries].pointer, delay.leftLine());
        EXPECT_EQ(e[entries].bytes, 88200u * 4);
        EXPECT_EQ(e[entries + 1].pointer, delay.rightLine());
        EXPECT_EQ(e[entries + 1].bytes, 88200u * 4);
        EXPECT_EQ(e[entries + 2].pointer, &delay.leftFilter().low);
        EXPECT_EQ(e[entries + 7].pointer, &delay.rightFilter().band);
        size_t reverbBytes = 0;
        for (size_t i = entries + 8; i < entries + 8 + 24; ++i) {
            EXPECT_EQ(reinterpret_cast<uintptr_t>(e[i].pointer) % 16, 0u) << "lines are 16-byte aligned";
            reverbBytes += e[i].bytes;
        }
        EXPECT_EQ(reverbBytes, 101800u);
        EXPECT_EQ(e.back().pointer, &reverb.rightFilter().band);
        ASSERT_EQ(ctx.tempoListeners.size(), listeners + 1);
        EXPECT_EQ(ctx.tempoListeners.back(), static_cast<ZuBPMChangeInterface*>(&delay));
    }
    EXPECT_EQ(ctx.registry.entries().size(), entries);
    EXPECT_EQ(ctx.tempoListeners.size(), listeners);
}

TEST(EffectBase, ReapplyParametersRunsTheStoredValuesThroughTheOverrides) {
    EngineContext ctx;
    ZuDelay delay(&ctx);
    delay.setParameter(1, 0.5f);
    delay.setParameter(2, 0.25f);
    delay.reset(); // feedback back to 0.5, width to 0; the stored values stay
    EXPECT_EQ(delay.feedback(), 0.5f);
    delay.reapplyParameters(7);
    EXPECT_EQ(delay.feedback(), 0.98f * 0.5f);
    EXPECT_EQ(delay.width(), 0.25f);
    EXPECT_EQ(delay.parameterValue(3), 0.0f) << "never set: 0 since construction";
}
