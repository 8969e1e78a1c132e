// The resonant filter: its mappings, the modulated control-block update, and
// its response to sines.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/BuildingBlocks.h"
#include "engine/ResonantFilter.h"
#include "engine/ModuleContext.h"
#include "engine/SignalProbe.h"

namespace {


ResonantFilter filterAt(float cutoff, float reso, float type, const EngineContext& ctx = EngineContext{}) {
    ResonantFilter f;
    f.setCutoff(cutoff);
    f.setResonance(reso);
    f.setType(type);
    f.controlBlock(0.0f, 0.0f, ctx);
    return f;
}

double gainDb(ResonantFilter f, double hz, double fs = 44100.0) {
    return toDb(sineGain([&](StereoSample s) { return f.process(s); }, hz, fs, 0.01, 8192, 8192));
}

} // namespace

TEST(ResonantFilter, AHostsMiddleStepIsBandPass) {
    const EngineContext ctx;
    ResonantFilter f = filterAt(0.5f, 0.5f, 0.5f, ctx);
    EXPECT_EQ(f.type(), kFilterBandPass);
}

TEST(ResonantFilter, ModulationIsAddedAndClamped) {
    const EngineContext ctx;
    ResonantFilter f = filterAt(0.5f, 0.5f, 0.0f, ctx);
    f.controlBlock(-1.0f, 1.0f, ctx);
    EXPECT_EQ(f.frequencyControl(), 0.0f);
    EXPECT_EQ(f.resonanceControl(), 0.94f);
    EXPECT_EQ(f.coefficients().g, 0.0f);
    f.controlBlock(2.0f, -1.0f, ctx);
    EXPECT_EQ(f.frequencyControl(), 1.0f);
    EXPECT_EQ(f.resonanceControl(), 0.0f);
    // x = 1 at 44100: P = 10, column 10 of row 0.
    EXPECT_NEAR(f.coefficients().g, 1.0f, 1e-5f);
    EXPECT_NEAR(f.coefficients().k, 1.0f, 1e-5f);
}

TEST(ResonantFilter, ZeroFrequencyPassesOnlyTheHighOutput) {
    const EngineContext ctx;
    ResonantFilter f = filterAt(0.3f, 0.0f, 0.0f, ctx);
    f.controlBlock(-1.0f, 0.0f, ctx); // g = 0, k = 2: the states stay at 0
    for (float x : {0.2f, -0.4f, 0.1f}) EXPECT_NEAR(f.process({x, x}).l, softClip(x), 1e-7f);
    f.setType(1.0f);
    for (float x : {0.2f, -0.4f}) EXPECT_NEAR(f.process({x, x}).l, 0.0f, 1e-12f);
    f.setType(0.5f);
    EXPECT_NEAR(f.process({0.3f, 0.3f}).l, 0.0f, 1e-12f);
}

TEST(ResonantFilterResponse, LowPass) {
    const ResonantFilter f = filterAt(0.5f, 0.0f, 1.0f); // g = 0.183: corner near 1.3 kHz
    EXPECT_NEAR(gainDb(f, 50.0), 0.0, 0.3);
    EXPECT_NEAR(gainDb(f, 200.0), 0.0, 0.5);
    EXPECT_LT(gainDb(f, 4000.0), -15.0);
    EXPECT_LT(gainDb(f, 15000.0), -35.0);
    // Second order: about 12 dB per octave well above the corner.
    EXPECT_NEAR(gainDb(f, 4000.0) - gainDb(f, 8000.0), 11.0, 2.0);
}

TEST(ResonantFilterResponse, HighPass) {
    const ResonantFilter f = filterAt(0.5f, 0.0f, 0.0f);
    EXPECT_LT(gainDb(f, 50.0), -50.0);
    EXPECT_LT(gainDb(f, 200.0), -30.0);
    EXPECT_NEAR(gainDb(f, 8000.0), 1.0, 1.0);
    EXPECT_NEAR(gainDb(f, 15000.0), 1.0, 1.0);
}

TEST(ResonantFilterResponse, BandPass) {
    const ResonantFilter f = filterAt(0.5f, 0.0f, 0.5f);
    const double peak = std::max(gainDb(f, 1000.0), gainDb(f, 1500.0));
    EXPECT_NEAR(peak, 0.0, 1.0);
    EXPECT_LT(gainDb(f, 50.0), peak - 20.0);
    EXPECT_LT(gainDb(f, 15000.0), peak - 10.0);
}

TEST(ResonantFilterResponse, ResonanceRaisesThePeak) {
    double flat = -100.0, resonant = -100.0;
    double flatAt = 0.0, resonantAt = 0.0;
    for (double hz = 500.0; hz <= 3000.0; hz += 100.0) {
        const double a = gainDb(filterAt(0.5f, 0.0f, 1.0f), hz);
        const double b = gainDb(filterAt(0.5f, 1.0f, 1.0f), hz);
        if (a > flat) flat = a, flatAt = hz;
        if (b > resonant) resonant = b, resonantAt = hz;
    }
    EXPECT_LT(flat, 0.5) << "no peak without resonance (at " << flatAt << " Hz)";
    EXPECT_GT(resonant, flat + 5.0);
    EXPECT_GT(resonantAt, 800.0);
    EXPECT_LT(resonantAt, 2000.0);
}

TEST(ResonantFilterResponse, CutoffMovesUpWithTheControl) {
    // The frequency where the low-pass is 6 dB down rises with the control.
    double previous = 0.0;
    for (float cutoff : {0.3f, 0.5f, 0.7f}) {
        const ResonantFilter f = filterAt(cutoff, 0.0f, 1.0f);
        double hz = 20.0;
        while (hz < 20000.0 && gainDb(f, hz) > -6.0) hz *= 1.1;
        EXPECT_GT(hz, previous * 2.0) << cutoff;
        previous = hz;
    }
}
