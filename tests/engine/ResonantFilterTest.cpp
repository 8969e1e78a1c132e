// The resonant filter at settings the reference renders leave out: every
// type's response, full resonance, and modulation past the control range.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/BuildingBlocks.h"
#include "engine/ModuleContext.h"
#include "engine/ResonantFilter.h"
#include "engine/SignalProbe.h"

namespace {
ResonantFilter filterAt(float cutoff, float reso, float type) {
    ResonantFilter f;
    f.setCutoff(cutoff);
    f.setResonance(reso);
    f.setType(type);
    f.controlBlock(0.0f, 0.0f, EngineContext{});
    return f;
}

double gainDb(ResonantFilter f, double hz) {
    return toDb(sineGain([&](StereoSample s) { return f.process(s); }, hz, 44100.0, 0.01, 8192, 8192));
}
} // namespace

TEST(ResonantFilter, ModulationIsAddedAndClamped) {
    const EngineContext ctx;
    ResonantFilter f = filterAt(0.5f, 0.5f, 0.0f);
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

TEST(ResonantFilter, EachTypePassesItsBandAtCutoffHalf) {
    // g = 0.183: a corner near 1.3 kHz. A host's middle step (0.5) is band-pass.
    struct Row {
        float type;
        double hz, lowestDb, highestDb;
    };
    const Row rows[] = {{1.0f, 50.0, -0.3, 0.3},   {1.0f, 200.0, -0.5, 0.5},  {1.0f, 4000.0, -99.0, -15.0},
                        {1.0f, 15000.0, -99.0, -35.0}, {0.0f, 50.0, -99.0, -50.0}, {0.0f, 200.0, -99.0, -30.0},
                        {0.0f, 8000.0, 0.0, 2.0},   {0.0f, 15000.0, 0.0, 2.0},  {0.5f, 50.0, -99.0, -19.0},
                        {0.5f, 15000.0, -99.0, -9.0}};
    for (const Row& r : rows) {
        const double db = gainDb(filterAt(0.5f, 0.0f, r.type), r.hz);
        EXPECT_GE(db, r.lowestDb) << "type " << r.type << " at " << r.hz << " Hz";
        EXPECT_LE(db, r.highestDb) << "type " << r.type << " at " << r.hz << " Hz";
    }
    const ResonantFilter bandPass = filterAt(0.5f, 0.0f, 0.5f);
    EXPECT_NEAR(std::max(gainDb(bandPass, 1000.0), gainDb(bandPass, 1500.0)), 0.0, 1.0);
    // Second order: about 12 dB per octave well above the corner.
    const ResonantFilter lowPass = filterAt(0.5f, 0.0f, 1.0f);
    EXPECT_NEAR(gainDb(lowPass, 4000.0) - gainDb(lowPass, 8000.0), 11.0, 2.0);
}

TEST(ResonantFilter, FullResonanceRaisesAPeakNearTheCorner) {
    double flat = -100.0, resonant = -100.0, resonantAt = 0.0;
    for (double hz = 500.0; hz <= 3000.0; hz += 100.0) {
        flat = std::max(flat, gainDb(filterAt(0.5f, 0.0f, 1.0f), hz));
        const double b = gainDb(filterAt(0.5f, 1.0f, 1.0f), hz);
        if (b > resonant) resonant = b, resonantAt = hz;
    }
    EXPECT_LT(flat, 0.5) << "no peak without resonance";
    EXPECT_GT(resonant, flat + 5.0);
    EXPECT_GT(resonantAt, 800.0);
    EXPECT_LT(resonantAt, 2000.0);
}
