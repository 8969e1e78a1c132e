// processReplacing at 44100 Hz in 512-sample blocks with every stage on.
// Reports the time per stereo frame and the real-time factor (seconds of
// audio processed per second of computing).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

#include "plugin/ZuUniClient.h"
#include "support/AllStagesOn.h"

namespace {

constexpr int kBlock = 512;
constexpr double kSampleRate = 44100.0;

VstIntPtr VSTCALLBACK benchHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    static VstTimeInfo time = [] {
        VstTimeInfo t{};
        t.sampleRate = kSampleRate;
        t.tempo = 120.0;
        t.flags = kVstTempoValid | kVstTransportPlaying;
        return t;
    }();
    if (opcode == audioMasterVersion) return 2400;
    if (opcode == audioMasterGetTime) return reinterpret_cast<VstIntPtr>(&time);
    return 0;
}

void processReplacingAllStagesOn(benchmark::State& state) {
    std::unique_ptr<ZuUniClient> c(static_cast<ZuUniClient*>(createEffectInstance(benchHost)));
    c->setSampleRate(static_cast<float>(kSampleRate));
    c->resume();
    switchAllStagesOn([&](int tag, float v) { c->setParameter(tag, v); });

    std::vector<float> inL(kBlock), inR(kBlock), outL(kBlock), outR(kBlock);
    for (int i = 0; i < kBlock; ++i) {
        inL[i] = 0.5f * std::sin(0.0523f * static_cast<float>(i));
        inR[i] = 0.4f * std::sin(0.0311f * static_cast<float>(i));
    }
    float* ins[2] = {inL.data(), inR.data()};
    float* outs[2] = {outL.data(), outR.data()};
    for (int i = 0; i < 200; ++i) c->processReplacing(ins, outs, kBlock); // past the fade-in

    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        c->processReplacing(ins, outs, kBlock);
        benchmark::DoNotOptimize(outL.data());
        benchmark::DoNotOptimize(outR.data());
        benchmark::ClobberMemory();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double frames = static_cast<double>(state.iterations()) * kBlock;
    state.SetItemsProcessed(static_cast<int64_t>(frames));
    state.counters["ns_per_frame"] = seconds * 1e9 / frames;
    state.counters["realtime_factor"] = (frames / kSampleRate) / seconds;
}

} // namespace

BENCHMARK(processReplacingAllStagesOn)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
