// The audio path never allocates. malloc and its relatives are replaced in
// the test binary; the plug-in module loaded by the test host binds to them
// too, since the executable's definitions come first in the process's symbol
// lookup. Sanitizer builds bring their own allocator, so the test is left out there.
#include <gtest/gtest.h>

#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)

TEST(NoAllocation, NotInSanitizerBuilds) { GTEST_SKIP() << "the sanitizer owns malloc"; }

#else

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "support/ControllerState.h"
#include "support/EngineFixtures.h"
#include "support/MidiEvents.h"

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
}

namespace {
std::atomic<bool> g_counting{false};
std::atomic<long> g_allocations{0};
inline void noteAllocation() {
    if (g_counting.load(std::memory_order_relaxed)) g_allocations.fetch_add(1, std::memory_order_relaxed);
}

long countAllocations(const auto& work) {
    g_allocations.store(0);
    g_counting.store(true);
    work();
    g_counting.store(false);
    return g_allocations.load();
}
} // namespace

extern "C" {
void* malloc(size_t n) {
    noteAllocation();
    return __libc_malloc(n);
}
void* calloc(size_t n, size_t size) {
    noteAllocation();
    return __libc_calloc(n, size);
}
void* realloc(void* p, size_t n) {
    noteAllocation();
    return __libc_realloc(p, n);
}
void* memalign(size_t alignment, size_t n) {
    noteAllocation();
    return __libc_memalign(alignment, n);
}
void* aligned_alloc(size_t alignment, size_t n) {
    noteAllocation();
    return __libc_memalign(alignment, n);
}
int posix_memalign(void** out, size_t alignment, size_t n) {
    noteAllocation();
    void* p = __libc_memalign(alignment, n);
    if (!p) return ENOMEM;
    *out = p;
    return 0;
}
}

// Blocks with every stage at work, controllers moving parameters on the
// audio thread beyond the queue's capacity, and tempo changes that resize
// the delay's bar and empty both effects within the memory sized when the
// sample rate was set. First, the counter sees allocations inside Orvel.so.
TEST(NoAllocation, TheAudioThreadAllocatesNothing) {
    HostedPlugin p(true);
    AEffect* e = nullptr;
    ASSERT_GT(countAllocations([&] { e = p.host.entry()(reference::hostCallback); }), 0);
    e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
    p.host.timeInfo.tempo = 120.0;
    p.host.timeInfo.flags = kVstTempoValid;
    // knobs, switches and a section switch, moved on the audio thread
    std::vector<uint8_t> map = controllerState({{0, {16, 97}}, {3, {0}}, {6, {18, 23, 41}}});
    p.host.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(map.size()), map.data());
    p.allStagesOn();
    MidiEvents events;
    for (int i = 0; i < 400; ++i) events.midi(i % 3 ? 0x90 : 0xb0, static_cast<uint8_t>(i % 128), 64, (i * 37) % 512);
    VstEvents* list = events.get();
    const std::vector<float> in = testSignal(512, 0.7f);
    std::vector<float> bl(512), br(512), ol(512), orr(512);
    float* ins[2] = {bl.data(), br.data()};
    float* outs[2] = {ol.data(), orr.data()};
    auto block = [&](bool withEvents) {
        std::copy(in.begin(), in.end(), bl.begin());
        std::copy(in.begin(), in.end(), br.begin());
        if (withEvents) {
            EXPECT_EQ(p.host.dispatch(effProcessEvents, 0, 0, list), 1);
        }
        p.host.processReplacing(ins, outs, 512);
    };
    // Warm up: first-call work, and the host's call log grows its capacity.
    for (int i = 0; i < 400; ++i) block(i % 8 == 0);
    p.host.clearCalls(); // keeps the capacity, so logging the next calls does not allocate
    EXPECT_EQ(countAllocations([&] {
                  for (int i = 0; i < 300; ++i) block(false);
              }),
              0);
    EXPECT_GT(peakOf(ol), 0.0f);
    for (double tempo : {140.0, 60.0, 45.0}) {
        p.host.clearCalls();
        p.host.timeInfo.tempo = tempo;
        EXPECT_EQ(countAllocations([&] { block(false); }), 0) << tempo;
    }
    p.host.clearCalls();
    EXPECT_EQ(countAllocations([&] {
                  for (int i = 0; i < 50; ++i) block(true);
              }),
              0) << "controllers";
}

#endif
