// The effects' output filters at cutoff 0, where the engine runs them, take a
// shorter step; it must give the bits of the full step, whatever comes in.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "effects/EffectFilter.h"

TEST(EffectFilter, TheZeroCutoffStepGivesTheBitsOfTheFullStepThroughNonFiniteInput) {
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    const auto bitsOf = [](double v) {
        uint64_t b;
        std::memcpy(&b, &v, sizeof b);
        return b;
    };
    // The left lane meets an infinity and, later, the right lane a NaN; both poison their lane's states.
    for (const float bad : {inf, nan}) {
        EffectFilter fullL(nullptr, nullptr), fullR(nullptr, nullptr), zeroL(nullptr, nullptr), zeroR(nullptr, nullptr);
        fullL.low = zeroL.low = 1e-10; // low - eps = +0 on the first frame
        EffectFilterPair full(fullL, fullR), zero(zeroL, zeroR);
        ASSERT_TRUE(EffectFilterPair::zeroCutoff(zeroL, zeroR));
        for (int i = 0; i < 3000; ++i) {
            const float l = i == 1000 ? bad : 0.3f * std::sin(0.01f * static_cast<float>(i));
            const float r = i == 2000 ? bad : (i % 7 == 0 ? -0.0f : 0.0f);
            const __m128 x = _mm_setr_ps(l, r, 0.0f, 0.0f);
            float a[4], b[4];
            _mm_storeu_ps(a, full.step(x));
            _mm_storeu_ps(b, zero.step<true>(x));
            ASSERT_EQ(std::memcmp(a, b, 2 * sizeof(float)), 0) << "frame " << i;
        }
        full.store();
        zero.store();
        for (const auto& [f, z] : {std::pair{&fullL, &zeroL}, std::pair{&fullR, &zeroR}}) {
            EXPECT_EQ(bitsOf(f->low), bitsOf(z->low));
            EXPECT_EQ(bitsOf(f->band), bitsOf(z->band));
            EXPECT_EQ(bitsOf(f->high), bitsOf(z->high));
            EXPECT_TRUE(std::isnan(z->band)) << "the bad sample stays in the state, as it always did";
        }
    }
}
