// The host's tempo as the plug-in follows it through processReplacing, on a
// plug-in object created in the test where the bar length and the effects'
// heads must be seen; and the delay's tail once the effects section is off.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "plugin/ZuUniClient.h"
#include "support/EngineFixtures.h"

namespace {

VstTimeInfo g_time{};

VstIntPtr VSTCALLBACK timedHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    if (opcode == audioMasterVersion) return 2400;
    if (opcode == audioMasterGetTime) return reinterpret_cast<VstIntPtr>(&g_time);
    return 0;
}

// A plug-in object whose host reports the given tempo.
struct TimedClient {
    explicit TimedClient(double tempo) {
        g_time = VstTimeInfo{};
        g_time.sampleRate = 44100.0;
        g_time.tempo = tempo;
        g_time.flags = kVstTempoValid;
        client.reset(static_cast<ZuUniClient*>(createEffectInstance(timedHost)));
        switchAllStagesOn([&](int tag, float v) { client->setParameter(tag, v); });
    }
    void process(int frames) {
        std::vector<float> l = testSignal(static_cast<size_t>(frames), 0.5f), r = l;
        for (int i = 0; i < frames; i += 512) {
            float* io[2] = {l.data() + i, r.data() + i}; // in place, as hosts may do
            client->processReplacing(io, io, std::min(512, frames - i));
        }
    }
    std::unique_ptr<ZuUniClient> client;
};

} // namespace

TEST(HostTempo, ChangeResizesTheBarAndRestartsBothEffects) {
    TimedClient c(120.0);
    c.process(44032); // whole calls of 512
    ZuDelay& delay = c.client->delay();
    ZuReverb& reverb = c.client->reverb();
    ASSERT_EQ(delay.length(), 88200u);
    const float* left = delay.leftLine();

    g_time.tempo = 140.0;
    c.process(512);
    EXPECT_EQ(c.client->engine().ctx.tempo, 140.0);
    EXPECT_EQ(delay.length(), 75600u);
    // Reset and cleared at the control block of the change, at the call's
    // first sample: both have run 512 samples since.
    EXPECT_EQ(delay.writeIndex(), 512u);
    EXPECT_EQ(reverb.combIndex(0, 0), 512u);

    g_time.tempo = 60.0;
    c.process(512);
    EXPECT_EQ(delay.length(), 176400u);
    EXPECT_EQ(delay.capacity(), 176400u);
    EXPECT_EQ(delay.leftLine(), left) << "the memory sized for 45 beats per minute is reused";
    EXPECT_EQ(delay.writeIndex(), 512u);

    TimedClient fastest(120.0);
    fastest.client->setSampleRate(196000.0f);
    EXPECT_GE(fastest.client->delay().allocatedSamples(), 1045333u);
    g_time.tempo = 45.0;
    fastest.process(512);
    EXPECT_EQ(fastest.client->delay().length(), 1045333u) << "the slowest bar at the highest rate fits";
}

// With the effects section off the sends fall silent, though sound still
// comes in, but the delay keeps running: an echo of 128 samples with
// feedback 1.0 loses 2 % per repetition.
TEST(HostTempo, EffectsSwitchOffSilencesTheSendsAndLetsTheDelayTailDecay) {
    HostedPlugin p(true);
    p.allStagesOn();
    p.set(kTagSolo, 1.0f); // the returns alone
    p.set(kTagReverbPower, 0.0f);
    p.set(kTagDelayTime, 0.0f);     // shortest delay time: 128 samples
    p.set(kTagDelayFeedback, 1.0f); // feedback 0.98
    p.set(kTagLfoPower, 0.0f);      // no LFO: the modulated resonant filter would ring on in silence
    std::vector<float> l, r;
    const std::vector<float> sound = testSignal(44100, 0.5f);
    p.run(sound, sound, l, r, 512);
    ASSERT_GT(peakOf(l, 22050), 1e-2f);
    p.set(kTagFxSwitch, 0.0f);
    const std::vector<float> more = testSignal(8192 + 16384 + 8192, 0.5f, 7);
    p.run(more, more, l, r, 512);
    // 16384 samples are 128 repetitions: 0.98^128 = 0.0753.
    const float early = peakOf(l, 8192, 8192 + 1024);
    const float late = peakOf(l, 8192 + 16384, 8192 + 16384 + 1024);
    ASSERT_GT(early, 1e-3f) << "the tail reaches the output";
    // The glide keeps the read head a hair off whole samples, and every pass
    // through the interpolation takes a little more: never less decay than
    // the loop gain alone.
    EXPECT_LT(late / early, 0.0753f * 1.01f);
    EXPECT_GT(late / early, 0.02f);
}
