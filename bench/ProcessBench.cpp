// processReplacing at 44100 Hz in 512-sample blocks with every stage on and
// the delay and the reverb active, and in the start-up state; the silence after loud input, where
// decaying states pass through denormal numbers, with and without
// flush-to-zero; and each send effect alone as the engine drives it, in
// blocks of 32.
// Reports the time per stereo frame and the real-time factor (seconds of
// audio processed per second of computing).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

#include "effects/ZuDelay.h"
#include "effects/ZuReverb.h"
#include "plugin/ScopedFlushToZero.h"
#include "plugin/ZuUniClient.h"
#include "support/ReferenceRenders.h"

namespace {

constexpr int kBlock = 512;
constexpr double kSampleRate = 44100.0;

void reportFrames(benchmark::State& state, double seconds, double framesPerIteration) {
    const double frames = static_cast<double>(state.iterations()) * framesPerIteration;
    state.SetItemsProcessed(static_cast<int64_t>(frames));
    state.counters["ns_per_frame"] = seconds * 1e9 / frames;
    state.counters["realtime_factor"] = (frames / kSampleRate) / seconds;
}

double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

std::unique_ptr<ZuUniClient> clientWithAllStagesOn(bool on = true) {
    VstTimeInfo& time = reference::hostTime();
    time = VstTimeInfo{};
    time.sampleRate = kSampleRate;
    time.tempo = 120.0;
    time.flags = kVstTempoValid | kVstTransportPlaying;
    std::unique_ptr<ZuUniClient> c(static_cast<ZuUniClient*>(createEffectInstance(reference::hostCallback)));
    c->setSampleRate(static_cast<float>(kSampleRate));
    c->resume();
    if (on)
        for (const reference::Event& e : reference::allOn()) c->setParameter(e.tag, e.value);
    return c;
}

// Every stage on (range 1) or the start-up state, every section off (range 0).
void processReplacing(benchmark::State& state) {
    std::unique_ptr<ZuUniClient> c = clientWithAllStagesOn(state.range(0) != 0);

    std::vector<float> inL(kBlock), inR(kBlock), outL(kBlock), outR(kBlock);
    for (int i = 0; i < kBlock; ++i) {
        inL[i] = 0.5f * std::sin(0.0523f * static_cast<float>(i));
        inR[i] = 0.4f * std::sin(0.0311f * static_cast<float>(i));
    }
    float* ins[2] = {inL.data(), inR.data()};
    float* outs[2] = {outL.data(), outR.data()};
    // Past the fade-in and long enough for the effects' silent lines to settle.
    for (int i = 0; i < 2000; ++i) c->processReplacing(ins, outs, kBlock);

    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        c->processReplacing(ins, outs, kBlock);
        benchmark::DoNotOptimize(outL.data());
        benchmark::DoNotOptimize(outR.data());
        benchmark::ClobberMemory();
    }
    reportFrames(state, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), kBlock);
}

// Each iteration: a quarter of a second of loud noise, untimed, then twelve
// seconds of silence, timed, while every filter, line and envelope decays.
// The engine runs as the processing call runs it, with the floating-point
// mode set by the processing call (Flush) or left as the host had it.
template <bool Flush> void silenceAfterLoudInput(benchmark::State& state) {
    std::unique_ptr<ZuUniClient> c = clientWithAllStagesOn();
    constexpr int kLoudBlocks = 22, kSilentBlocks = 1032;
    std::vector<float> loudL(kBlock), loudR(kBlock), silence(kBlock, 0.0f), outL(kBlock), outR(kBlock);
    uint32_t seed = 7;
    for (int i = 0; i < kBlock; ++i) {
        seed = seed * 1664525u + 1013904223u;
        loudL[i] = 1.8f * (static_cast<float>(seed >> 8) / 16777216.0f - 0.5f);
        loudR[i] = -loudL[i];
    }
    float* loud[2] = {loudL.data(), loudR.data()};
    float* quiet[2] = {silence.data(), silence.data()};
    float* outs[2] = {outL.data(), outR.data()};
    auto run = [&](float** ins) {
        if constexpr (Flush) {
            const ScopedFlushToZero flush;
            c->engine().process(ins, outs, kBlock, 120.0);
        } else {
            c->engine().process(ins, outs, kBlock, 120.0);
        }
        benchmark::DoNotOptimize(outL.data());
        benchmark::ClobberMemory();
    };
    double seconds = 0.0;
    for (auto _ : state) {
        for (int b = 0; b < kLoudBlocks; ++b) run(loud);
        // Thread CPU time: the difference stays visible on a busy machine.
        const double start = threadSeconds();
        for (int b = 0; b < kSilentBlocks; ++b) run(quiet);
        const double s = threadSeconds() - start;
        state.SetIterationTime(s);
        seconds += s;
    }
    reportFrames(state, seconds, static_cast<double>(kSilentBlocks) * kBlock);
}

void silenceAfterLoudInputFlushToZero(benchmark::State& state) { silenceAfterLoudInput<true>(state); }
void silenceAfterLoudInputHostMode(benchmark::State& state) { silenceAfterLoudInput<false>(state); }

// One send effect configured as the plug-in does it, fed 32-sample blocks;
// settings() is what the engine's control block passes before each.
template <class Effect, class Settings>
void runEffectAlone(benchmark::State& state, Effect& effect, Settings settings) {
    effect.setMix(1.0f);
    effect.update();
    effect.reset();
    effect.timingChanged(false);
    effect.clear();
    constexpr int kSendBlock = 32;
    // Noise made beforehand, so that the timing holds the effect and not the
    // generator; left and right apart, as the reverb takes their sum, which
    // opposite channels would silence (and a silent network is skipped).
    static const std::vector<float> noise = [] {
        std::vector<float> v(2 * 4096);
        uint32_t seed = 1;
        for (float& x : v) {
            seed = seed * 1664525u + 1013904223u;
            x = static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;
        }
        return v;
    }();
    float l[kSendBlock], r[kSendBlock];
    size_t at = 0;
    auto refill = [&] {
        std::memcpy(l, noise.data() + at, sizeof l);
        std::memcpy(r, noise.data() + 4096 + at, sizeof r);
        at = (at + kSendBlock) % 4096;
    };
    for (int i = 0; i < 20000; ++i) { // fills the lines
        refill();
        settings();
        effect.process(l, r, kSendBlock);
    }
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        refill();
        settings();
        effect.process(l, r, kSendBlock);
        benchmark::DoNotOptimize(l);
        benchmark::ClobberMemory();
    }
    reportFrames(state, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), kSendBlock);
}

void reverbAlone(benchmark::State& state) {
    EngineContext ctx;
    ZuReverb reverb(&ctx);
    reverb.setParameter(4, 0.0f);
    reverb.setParameter(1, 0.5f);
    reverb.setParameter(3, 1.0f);
    runEffectAlone(state, reverb, [&] {
        reverb.setParameter(0, 0.8f);
        reverb.setParameter(2, 0.75f);
    });
}

void delayAlone(benchmark::State& state) {
    EngineContext ctx;
    ZuDelay delay(&ctx);
    delay.setMode(-1, 1);
    delay.setMode(0, 0);
    delay.setParameter(3, 0.0f);
    runEffectAlone(state, delay, [&] {
        delay.setParameter(0, 0.285714298f);
        delay.setParameter(1, 0.5f);
        delay.setParameter(2, 0.5f);
    });
}

} // namespace

BENCHMARK(processReplacing)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(silenceAfterLoudInputHostMode)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(silenceAfterLoudInputFlushToZero)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(reverbAlone)->Unit(benchmark::kNanosecond);
BENCHMARK(delayAlone)->Unit(benchmark::kNanosecond);

BENCHMARK_MAIN();
