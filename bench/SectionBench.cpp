// Each section of the chain alone, as the engine drives it: stereo noise
// through the module in stretches of 32 frames, each after the module's
// control block. Reports ns per stereo frame, like the whole-chain benchmarks.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <vector>

#include "engine/Dynamics.h"
#include "engine/DynamicEq.h"
#include "engine/EngineContext.h"
#include "engine/Modulation.h"
#include "engine/OutputStage.h"
#include "engine/ResonantFilter.h"

namespace {

constexpr int kFrames = 512;

struct Noise {
    std::vector<StereoSample> frames;
    Noise() : frames(kFrames) {
        uint32_t seed = 3;
        for (StereoSample& f : frames) {
            seed = seed * 1664525u + 1013904223u;
            f.l = 0.8f * (static_cast<float>(seed >> 8) / 16777216.0f - 0.5f);
            seed = seed * 1664525u + 1013904223u;
            f.r = 0.8f * (static_cast<float>(seed >> 8) / 16777216.0f - 0.5f);
        }
    }
};

// Times pass() (kFrames stereo frames) after a warm-up and reports ns per frame.
template <class Pass> void timePasses(benchmark::State& state, Pass pass) {
    for (int i = 0; i < 100; ++i) pass();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) pass();
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double frames = static_cast<double>(state.iterations()) * kFrames;
    state.SetItemsProcessed(static_cast<int64_t>(frames));
    state.counters["ns_per_frame"] = s * 1e9 / frames;
}

// stretch(frames, n) processes n frames in place; block() is the module's control block.
template <class Stretch, class Block>
void runSection(benchmark::State& state, Stretch stretch, Block block) {
    static const Noise noise;
    std::vector<StereoSample> frames(32);
    float sink = 0.0f;
    timePasses(state, [&] {
        for (size_t at = 0; at < kFrames; at += 32) {
            std::copy_n(noise.frames.begin() + static_cast<std::ptrdiff_t>(at), 32, frames.begin());
            block();
            stretch(frames.data(), 32);
            sink += frames[31].l + frames[31].r;
        }
        benchmark::DoNotOptimize(sink);
    });
}

// The gate, preamp and compressor sections switch on one at a time; the
// others stay off, as they pass the signal through in the chain.
void dynamicsWith(benchmark::State& state, bool gate, bool preamp, bool comp) {
    EngineContext ctx;
    Dynamics d;
    d.setGateSwitch(gate ? 1.0f : 0.0f);
    d.setGateThreshold(0.05f);
    d.setGateSpeed(0.5f, ctx);
    d.setPreampSwitch(preamp ? 1.0f : 0.0f);
    d.setHighPass(0.3f, ctx);
    d.setOverdrive(0.4f);
    d.setPreampGain(0.6f);
    d.setCompressorSwitch(comp ? 1.0f : 0.0f);
    d.setCompression(0.6f);
    d.setCompressSpeed(0.5f, ctx);
    runSection(
        state, [&](StereoSample* f, int32_t n) { d.process(f, n, nullptr, [](float) {}); }, [&] { d.controlBlock(); });
}

void gate(benchmark::State& state) { dynamicsWith(state, true, false, false); }
void preamp(benchmark::State& state) { dynamicsWith(state, false, true, false); }
void compressor(benchmark::State& state) { dynamicsWith(state, false, false, true); }
void dynamicsAllOff(benchmark::State& state) { dynamicsWith(state, false, false, false); }

void dynamicEq(benchmark::State& state) {
    EngineContext ctx;
    DynamicEq eq;
    eq.setSwitch(state.range(0) ? 1.0f : 0.0f);
    eq.setSplit(0.4f, ctx);
    eq.setResponse(0.8f, ctx);
    for (EqBand b : {kEqLow, kEqMid, kEqHigh}) {
        eq.setBandAmount(b, 0.5f);
        eq.setBandLevel(b, 0.5f);
    }
    runSection(state, [&](StereoSample* f, int32_t n) { eq.process(f, n); }, [&] { eq.controlBlock(); });
}

// The resonant filter with the LFO on its frequency and the follower on its
// resonance: the follower's detector runs on every frame, both sources per block.
void filterAndModulation(benchmark::State& state) {
    EngineContext ctx;
    ResonantFilter filter;
    Modulation mod;
    filter.setCutoff(0.6f);
    filter.setResonance(0.5f);
    filter.setType(0.5f);
    mod.setLfoSpeed(0.4f, ctx);
    mod.setLfoAmount(0.5f);
    mod.setLfoPower(1.0f);
    mod.setLfoTarget(0.0f);
    mod.setFollowerSpeed(0.5f, ctx);
    mod.setFollowerAmount(0.5f);
    mod.setFollowerPower(1.0f);
    mod.setFollowerTarget(1.0f);
    std::vector<StereoSample> filtered(32);
    runSection(
        state,
        [&](StereoSample* f, int32_t n) {
            mod.detect(f, n);
            filter.process(f, filtered.data(), n);
            std::copy_n(filtered.begin(), n, f);
        },
        [&] {
            mod.controlBlock(ctx);
            filter.controlBlock(mod.at(0), mod.at(1), ctx);
        });
}

// The end of the chain over whole 32-frame stretches, as the engine finishes
// them: a master gain away from unity, then the DC blocker.
void outputStage(benchmark::State& state) {
    static const Noise noise;
    OutputStage output;
    output.master.setTarget(0.7f);
    std::vector<float> left(32), right(32);
    timePasses(state, [&] {
        for (int at = 0; at < kFrames; at += 32) {
            for (int i = 0; i < 32; ++i) {
                left[static_cast<size_t>(i)] = noise.frames[static_cast<size_t>(at + i)].l;
                right[static_cast<size_t>(i)] = noise.frames[static_cast<size_t>(at + i)].r;
            }
            output.finish(left.data(), right.data(), 32);
        }
        benchmark::DoNotOptimize(left.data());
    });
}

} // namespace

BENCHMARK(gate);
BENCHMARK(preamp);
BENCHMARK(compressor);
BENCHMARK(dynamicsAllOff);
BENCHMARK(dynamicEq)->Arg(1)->Arg(0);
BENCHMARK(filterAndModulation);
BENCHMARK(outputStage);
