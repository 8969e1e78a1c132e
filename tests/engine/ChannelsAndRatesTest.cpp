// What a host hears per channel, with the send levels driven past their
// range by modulation, and at sample rates across and beyond the range.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "support/EngineFixtures.h"

namespace {
// Menu values of the modulation destinations.
constexpr float kToDelayLevel = 0.5f, kToReverbLevel = 0.875f;

// Only the delay's return is heard: no feedback, full level and return.
void delayOnly(HostedPlugin& p, float level) {
    p.set({{kTagSolo, 1.0f}, {kTagReverbPower, 0.0f}, {kTagDelayPower, 1.0f}, {kTagDelayFeedback, 0.0f},
           {kTagDelayLevel, level}, {kTagFxReturn, 1.0f}});
}

struct Stereo {
    std::vector<float> l, r;
};

Stereo render(HostedPlugin& p, const std::vector<float>& inL, const std::vector<float>& inR, int block = 512) {
    Stereo out;
    p.run(inL, inR, out.l, out.r, block);
    return out;
}
} // namespace

// Every stage on, one input channel live: without the sends the other output
// stays silent; with them each channel still carries mostly its own input;
// the reverb's return alone is wide, but its channels are its own.
TEST(Channels, EachInputReachesOnlyItsOwnOutputThroughEveryStage) {
    const std::vector<float> signal = testSignal(44100, 0.5f, 5), silence(signal.size(), 0.0f);
    enum { kSendsOff, kSendsOn, kReverbOnly };
    for (int mode : {kSendsOff, kSendsOn, kReverbOnly})
        for (bool leftLive : {true, false}) {
            HostedPlugin p;
            p.allStagesOn();
            if (mode == kSendsOff) p.sendsOff(); // the reverb mixes the channels on purpose
            if (mode == kReverbOnly) {
                p.set({{kTagSolo, 1.0f}, {kTagDelayPower, 0.0f}, {kTagReverbLevel, 1.0f}, {kTagFxReturn, 1.0f}});
            }
            const Stereo out = leftLive ? render(p, signal, silence) : render(p, silence, signal);
            const std::vector<float>& live = leftLive ? out.l : out.r;
            const std::vector<float>& quiet = leftLive ? out.r : out.l;
            const char* side = leftLive ? "left" : "right";
            if (mode == kSendsOff) {
                EXPECT_GT(peakOf(live), 0.05f) << side;
                EXPECT_LT(peakOf(quiet), 1e-6f * peakOf(live)) << side << " input leaks across";
            } else if (mode == kSendsOn) {
                EXPECT_GT(rmsOf(live, 0), 1.5 * rmsOf(quiet, 0)) << side;
            } else {
                EXPECT_FALSE(bitIdentical(live, quiet)) << "each channel has its own reverb return";
            }
        }
}

TEST(SendLevels, ModulationPastEitherEndOfTheRangeIsHeldThere) {
    const std::vector<float> in = testSignal(2 * 44100, 0.5f, 9);
    auto delayReturn = [&](float level, bool follower, bool inverted) {
        HostedPlugin p;
        delayOnly(p, level);
        p.set({{kTagFollowerPower, follower ? 1.0f : 0.0f}, {kTagFollowerAmount, 1.0f},
               {kTagFollowerTarget, kToDelayLevel}, {kTagFollowerInvert, inverted ? 1.0f : 0.0f}});
        return p.runLeft(in);
    };
    // Full level plus the follower stays full level; none minus it stays none.
    const std::vector<float> full = delayReturn(1.0f, false, false);
    ASSERT_GT(peakOf(full), 0.05f);
    EXPECT_TRUE(bitIdentical(delayReturn(1.0f, true, false), full));
    const std::vector<float> below = delayReturn(0.0f, true, true);
    EXPECT_TRUE(allFinite(below));
    EXPECT_TRUE(bitIdentical(below, delayReturn(0.0f, false, false)));

    // The LFO swings the reverb level below zero for half of each period.
    HostedPlugin p;
    p.set({{kTagDelayPower, 0.0f}, {kTagReverbPower, 1.0f}, {kTagReverbLevel, 0.0f}, {kTagFxReturn, 1.0f},
           {kTagLfoPower, 1.0f}, {kTagLfoAmount, 1.0f}, {kTagLfoSpeed, 1.0f} /* 12 Hz */, {kTagLfoTarget, kToReverbLevel}});
    const Stereo out = render(p, in, in);
    EXPECT_TRUE(allFinite(out.l) && allFinite(out.r));
    EXPECT_LT(peakOf(out.l), 4.0f);
}

namespace {
std::vector<float> sineAt(float hz, float fs, size_t n) { return sineWave(n, 0.25f, hz / fs); }

// A plug-in at the given rate with every stage out of the path.
void neutralAt(HostedPlugin& p, float fs) {
    p.host.dispatch(effSetSampleRate, 0, 0, nullptr, fs);
    p.set({{kTagGate, 0.0f}, {kTagPreamp, 0.0f}, {kTagComp, 0.0f}, {kTagDyn, 0.0f}, {kTagFilterFlow, 0.0f},
           {kTagMaster, 0.5f}});
    p.sendsOff();
}
} // namespace

// Half a second of a 1 kHz sine keeps its level through the neutral path, and
// the delay's return alone is heard, at every rate.
TEST(SampleRates, ASineKeepsItsLevelAndTheDelayIsHeardAtEveryRate) {
    double level441 = 0.0;
    for (float fs : {44100.0f, 8000.0f, 11025.0f, 22050.0f, 32000.0f, 48000.0f, 88200.0f, 96000.0f, 192000.0f,
                     384000.0f}) {
        HostedPlugin p;
        neutralAt(p, fs);
        const size_t n = static_cast<size_t>(fs / 2);
        const Stereo out = render(p, sineAt(1000.0f, fs, n), sineAt(1000.0f, fs, n));
        ASSERT_TRUE(allFinite(out.l) && allFinite(out.r)) << fs;
        const double db = 20.0 * std::log10(rmsOf(out.l, n / 2));
        if (fs == 44100.0f) {
            level441 = db;
            EXPECT_NEAR(db, 20.0 * std::log10(0.25 / std::sqrt(2.0)), 1.5) << "unity gain but the clipper's knee";
        }
        EXPECT_NEAR(db, level441, 0.5) << fs;
        EXPECT_NEAR(rmsOf(out.r, n / 2), rmsOf(out.l, n / 2), 1e-6) << fs;

        HostedPlugin wet;
        wet.host.dispatch(effSetSampleRate, 0, 0, nullptr, fs);
        delayOnly(wet, 1.0f);
        wet.set(kTagDelayTime, 0.1f);
        const std::vector<float> in = sineAt(1000.0f, fs, static_cast<size_t>(fs));
        const std::vector<float> echo = wet.runLeft(in);
        EXPECT_TRUE(allFinite(echo)) << fs;
        EXPECT_GT(peakOf(echo), 0.01f) << "the delay is heard at " << fs;
    }
}

TEST(SampleRates, AChangeWhileRunningKeepsTheOutputSane) {
    HostedPlugin p;
    neutralAt(p, 44100.0f);
    p.set({{kTagDelayPower, 1.0f}, {kTagDelayLevel, 0.5f}, {kTagDelayFeedback, 0.6f}, {kTagFxReturn, 1.0f}});
    ASSERT_TRUE(allFinite(p.runLeft(sineAt(1000.0f, 44100.0f, 44100))));
    for (float fs : {96000.0f, 22050.0f, 192000.0f}) {
        p.host.dispatch(effSetSampleRate, 0, 0, nullptr, fs); // no suspend: some hosts do this
        const std::vector<float> in = sineAt(1000.0f, fs, static_cast<size_t>(fs));
        const Stereo out = render(p, in, in, 300);
        EXPECT_TRUE(allFinite(out.l) && allFinite(out.r)) << fs;
        EXPECT_LT(peakOf(out.l), 2.0f) << fs;
        EXPECT_GT(rmsOf(out.l, out.l.size() / 2), 0.1) << fs;
    }
}
