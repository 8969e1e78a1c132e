// The coefficient tables, their bilinear lookup and the filter recurrence.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/StateVariableFilter.h"

namespace {
float freq(int i, int j) { return svfFrequencyTable[i + 11 * j]; }
float damp(int i, int j) { return svfDampingTable[i + 11 * j]; }
} // namespace

TEST(SvfTables, RowsFollowTheirClosedForms) {
    // Catches a mistyped entry in the rows that have a formula.
    for (int i = 0; i < 10; ++i) {
        EXPECT_NEAR(freq(i, 10), 2.0 * std::sin(3.14159265358979 * i / 20.0), 6e-6) << "column " << i;
        EXPECT_NEAR(damp(i, 0), 2.0f - freq(i, 0), 1e-5f) << "column " << i;
        EXPECT_EQ(damp(i, 10), 0.0f);
    }
    for (int j = 0; j <= 10; ++j) {
        EXPECT_EQ(freq(0, j), 0.0f);
        EXPECT_EQ(freq(10, j), 1.0f);
        EXPECT_EQ(damp(10, j), 1.0f);
    }
    EXPECT_EQ(freq(2, 9), 0.6f);
    EXPECT_EQ(freq(8, 3), 1.00275f);
    EXPECT_EQ(damp(0, 1), 1.91489f);
    EXPECT_EQ(damp(9, 9), 0.52063f);
}

TEST(SvfLookup, InterpolatesAndExtrapolatesAlongFrequency) {
    // P = 0.3: i = 0, a = 0.3 between columns 0 and 1 of row 0.
    SvfCoefficients c = svfLookup(0.3f, 0.0f);
    EXPECT_NEAR(c.g, 0.3f * 0.28179f, 1e-6f);
    EXPECT_NEAR(c.k, 0.7f * 2.0f + 0.3f * 1.71821f, 1e-6f);
    // P = 3.2: i = 2 and a = 1.2, so columns 2 and 3 are extrapolated.
    c = svfLookup(3.2f, 0.0f);
    EXPECT_NEAR(c.g, -0.2f * 0.50392f + 1.2f * 0.67389f, 1e-5f);
    EXPECT_NEAR(c.k, -0.2f * 1.49608f + 1.2f * 1.32611f, 1e-5f);
    // P = 0: g = 0, k from column 0.
    c = svfLookup(0.0f, 0.0f);
    EXPECT_EQ(c.g, 0.0f);
    EXPECT_EQ(c.k, 2.0f);
}

TEST(SvfLookup, FrequencyAxisEnd) {
    // P = 10: i = 9, a = 1: column 10 of the row.
    SvfCoefficients c = svfLookup(10.0f, 5.0f);
    EXPECT_NEAR(c.g, 1.0f, 1e-6f);
    EXPECT_NEAR(c.k, 1.0f, 1e-6f);
    // P = 10.4 is still extrapolated from columns 9 and 10.
    c = svfLookup(10.4f, 0.0f);
    EXPECT_NEAR(c.g, -0.4f * 0.99928f + 1.4f * 1.0f, 1e-5f);
    // From P = 10.5 column 10 stands alone, however far P goes.
    for (float p : {10.5f, 11.0f, 20.0f, 44.4f, 1e9f}) {
        c = svfLookup(p, 4.0f);
        EXPECT_EQ(c.g, 1.0f) << p;
        EXPECT_EQ(c.k, 1.0f) << p;
    }
}

TEST(SvfLookup, ResonanceAxis) {
    // R = 9.4: j = 8, b = 1.4, rows 8 and 9 weighted -0.4 and 1.4.
    SvfCoefficients c = svfLookup(4.0f, 9.4f); // i = 3, a = 1: column 4
    EXPECT_NEAR(c.g, -0.4f * 1.03154f + 1.4f * 1.09408f, 1e-5f);
    EXPECT_NEAR(c.k, -0.4f * 0.45924f + 1.4f * 0.25094f, 1e-5f);
    // R = 10.5 and more: row 10 alone; the last corner never reads past the table.
    c = svfLookup(5.0f, 10.5f);
    EXPECT_NEAR(c.g, 1.41421f, 1e-6f);
    EXPECT_EQ(c.k, 0.0f);
    c = svfLookup(12.0f, 12.0f);
    EXPECT_EQ(c.g, 1.0f);
    EXPECT_EQ(c.k, 1.0f);
}

TEST(SvfLookup, SingleRow) {
    SvfCoefficients c = svfRowLookup(3.2f, 1);
    EXPECT_NEAR(c.g, -0.2f * 0.48407f + 1.2f * 0.65359f, 1e-5f);
    EXPECT_NEAR(c.k, -0.2f * 1.48093f + 1.2f * 1.32643f, 1e-5f);
    c = svfRowLookup(0.0f, 1);
    EXPECT_EQ(c.g, 0.0f);
    EXPECT_EQ(c.k, 1.91489f);
    c = svfRowLookup(11.0f, 1); // column 10 of row 1; the entry after it has weight 0
    EXPECT_EQ(c.g, 1.0f);
    EXPECT_EQ(c.k, 1.0f);
}

TEST(SvfRecurrence, HandWorkedSteps) {
    SvfChannel ch;
    const SvfCoefficients c{0.5f, 1.0f};
    // n = 0: bp = 0, lp = 0, hp = 1.
    SvfOutputs o = ch.process(1.0f, c);
    EXPECT_FLOAT_EQ(o.high, 1.0f);
    EXPECT_NEAR(o.band, 0.0f, 1e-12f); // only the 1e-18 guards
    EXPECT_NEAR(o.low, 0.0f, 1e-12f); // only the 1e-18 guards
    // n = 1: bp = 0.5, lp = 0.25, hp = 0 - 0.5 - 0.25; band is twice bp; low still the previous lp.
    o = ch.process(0.0f, c);
    EXPECT_FLOAT_EQ(o.high, -0.75f);
    EXPECT_FLOAT_EQ(o.band, 1.0f);
    EXPECT_NEAR(o.low, 0.0f, 1e-12f); // only the 1e-18 guards
    // n = 2: bp = 0.5 - 0.375 = 0.125, lp = 0.25 + 0.0625; low = 0.25 from n = 1.
    o = ch.process(0.0f, c);
    EXPECT_FLOAT_EQ(o.band, 0.25f);
    EXPECT_FLOAT_EQ(o.low, 0.25f);
    EXPECT_FLOAT_EQ(o.high, -0.125f - 0.3125f);
}

TEST(SvfRecurrence, ZeroFrequencyHoldsBandAndLow) {
    SvfChannel ch;
    ch.bpState = 0.2f;
    ch.lpState = 0.1f;
    ch.lpPrev = 0.1f;
    const SvfCoefficients c{0.0f, 1.5f};
    for (float x : {1.0f, -0.5f, 0.25f}) {
        const SvfOutputs o = ch.process(x, c);
        EXPECT_NEAR(o.band, 0.4f, 1e-7f);
        EXPECT_NEAR(o.low, 0.1f, 1e-7f);
        EXPECT_NEAR(o.high, x - 1.5f * 0.2f - 0.1f, 1e-6f);
    }
}

TEST(SvfRecurrence, StatesNeverTurnDenormal) {
    SvfChannel ch;
    const SvfCoefficients c{0.3f, 1.7f};
    ch.process(1.0f, c);
    for (int n = 0; n < 200000; ++n) ch.process(0.0f, c);
    for (float s : {ch.bpState, ch.lpState}) EXPECT_NE(std::fpclassify(s), FP_SUBNORMAL);
}
