// MIDI controllers moving parameters through the entry point: where in the
// output a move starts, what it sets, that the call split does not matter,
// and hostile event lists.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <thread>
#include <vector>

#include "support/ControllerState.h"
#include "support/EngineFixtures.h"
#include "support/MidiEvents.h"
#include "support/SettingsSandbox.h"
#include "support/TempDir.h"

namespace {

void setMap(HostedPlugin& p, const ControllerLists& lists) {
    std::vector<uint8_t> state = controllerState(lists);
    p.host.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(state.size()), state.data());
}

const ControllerLists kMap = {
    {7, {kTagMaster, kTagFxReturn}}, {20, {kTagFilterType, kTagDelayPower}}, {74, {kTagFilterCutoff}}};

// One call of the signal from frame `from`, events first; the left output.
std::vector<float> call(HostedPlugin& p, const std::vector<float>& signal, size_t from, size_t n, MidiEvents* events) {
    if (events) p.host.dispatch(effProcessEvents, 0, 0, events->get());
    std::vector<float> in(signal.begin() + static_cast<std::ptrdiff_t>(from),
                          signal.begin() + static_cast<std::ptrdiff_t>(from + n));
    std::vector<float> l(n), r(n);
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {l.data(), r.data()};
    p.host.processReplacing(ins, outs, static_cast<VstInt32>(n));
    return l;
}

size_t firstDifference(const std::vector<float>& a, const std::vector<float>& b) {
    size_t i = 0;
    while (i < a.size() && a[i] == b[i]) ++i;
    return i;
}

} // namespace

TEST(MidiControl, AMoveStartsAtTheFirstControlBlockFromItsFrame) {
    const std::vector<float> signal = testSignal(4000, 0.5f);
    // 1000 frames first: the control grid (every 32 frames from the start)
    // then meets this call at 24, 56, ...
    struct Case {
        int32_t position;
        size_t effect;
    };
    for (const Case c : {Case{0, 24}, Case{24, 24}, Case{25, 56}, Case{100, 120}, Case{700, 728}}) {
        HostedPlugin moved, still;
        setMap(moved, kMap);
        setMap(still, kMap);
        call(moved, signal, 0, 1000, nullptr);
        call(still, signal, 0, 1000, nullptr);
        MidiEvents cc;
        cc.midi(0xb0, 7, 30, c.position);
        const std::vector<float> a = call(moved, signal, 1000, 1024, &cc);
        const std::vector<float> b = call(still, signal, 1000, 1024, nullptr);
        EXPECT_EQ(firstDifference(a, b), c.effect) << "event at " << c.position;
        // the master gain ramps down over 512 frames from there
        EXPECT_LT(std::fabs(a[c.effect + 8]), std::fabs(b[c.effect + 8]) + 1e-6f);
    }
}

TEST(MidiControl, ControllersSetEveryTargetOfTheirNumberAndSwitchesTakeTheNearestState) {
    HostedPlugin p;
    setMap(p, kMap);
    const std::vector<float> signal = testSignal(1024, 0.5f);
    MidiEvents events;
    events.midi(0xb0, 7, 100, 10).midi(0xb3, 74, 30, 500).midi(0xb0, 20, 70, 300).midi(0xb0, 21, 5, 0);
    call(p, signal, 0, 1024, &events);
    EXPECT_FLOAT_EQ(p.effect->getParameter(p.effect, kTagMaster), 100.0f / 127.0f);
    EXPECT_FLOAT_EQ(p.effect->getParameter(p.effect, kTagFxReturn), 100.0f / 127.0f);
    EXPECT_FLOAT_EQ(p.effect->getParameter(p.effect, kTagFilterCutoff), 30.0f / 127.0f) << "any channel";
    EXPECT_FLOAT_EQ(p.effect->getParameter(p.effect, kTagFilterType), 1.0f / 3.0f) << "70 is nearest the middle state";
    EXPECT_EQ(p.effect->getParameter(p.effect, kTagDelayPower), 0.5f) << "on from 64";

    MidiEvents low;
    low.midi(0xb0, 20, 63, 0).midi(0xb0, 20, 96, 1);
    call(p, signal, 0, 64, &low);
    EXPECT_NEAR(p.effect->getParameter(p.effect, kTagFilterType), 2.0f / 3.0f, 1e-6f);
    EXPECT_EQ(p.effect->getParameter(p.effect, kTagDelayPower), 0.5f);
    MidiEvents off;
    off.midi(0xb0, 20, 63, 0);
    call(p, signal, 0, 64, &off);
    EXPECT_EQ(p.effect->getParameter(p.effect, kTagDelayPower), 0.0f);

    MidiEvents unapplied; // notes, pitch bend, pressure, all-notes-off, an unmapped controller
    unapplied.midi(0x90, 60, 100).midi(0xe0, 0, 127).midi(0xd0, 127, 0).midi(0xb0, 123, 0).midi(0xb0, 8, 0);
    const float before = p.effect->getParameter(p.effect, kTagMaster);
    call(p, signal, 0, 64, &unapplied);
    EXPECT_EQ(p.effect->getParameter(p.effect, kTagMaster), before);
}

TEST(MidiControl, TheOutputDoesNotDependOnHowTheHostSplitsItsCalls) {
    constexpr size_t kFrames = 12000;
    const std::vector<float> signal = testSignal(kFrames, 0.5f, 3);
    // controller moves at fixed frames, some on the control grid, some off it
    std::vector<std::pair<size_t, int>> moves;
    for (size_t f = 5; f < kFrames; f += 389) moves.push_back({f, static_cast<int>(f % 128)});
    moves.push_back({4096, 127});

    std::vector<float> reference;
    for (size_t split : {512u, 64u, 1u}) {
        HostedPlugin p;
        p.allStagesOn();
        setMap(p, kMap);
        std::vector<float> out;
        for (size_t pos = 0; pos < kFrames; pos += split) {
            const size_t n = std::min(split, kFrames - pos);
            MidiEvents events;
            for (const auto& [frame, value] : moves)
                if (frame >= pos && frame < pos + n) {
                    events.midi(0xb0, 74, static_cast<uint8_t>(value), static_cast<VstInt32>(frame - pos));
                    events.midi(0xb0, 7, static_cast<uint8_t>(127 - value), static_cast<VstInt32>(frame - pos));
                }
            const std::vector<float> l = call(p, signal, pos, n, &events);
            out.insert(out.end(), l.begin(), l.end());
        }
        if (reference.empty()) {
            reference = out;
            continue;
        }
        EXPECT_EQ(firstDifference(out, reference), kFrames) << "split " << split;
    }
}

TEST(MidiControl, HostileEventListsMoveNothingTheyShouldNot) {
    HostedPlugin p;
    setMap(p, kMap);
    const std::vector<float> signal = testSignal(512, 0.5f);
    MidiEvents bad;
    bad.midi(0xb0, 74, 0xff, 3); // a data byte with the top bit set
    bad.midi(0xb0, 0xc8, 50, 4); // a controller number with it
    bad.last().byteSize = -1;
    bad.midi(0xb0, 7, 90, INT_MIN); // before the block: at its start
    reinterpret_cast<VstMidiEvent&>(bad.last()).detune = static_cast<char>(0x80);
    reinterpret_cast<VstMidiEvent&>(bad.last()).noteLength = INT_MIN;
    bad.midi(0xb0, 7, 20, INT_MAX).midi(0xb0, 7, 21, INT_MAX); // far past its end: at its end
    bad.sysex();
    bad.last().type = 77; // neither MIDI nor SysEx
    VstEvents* list = bad.get();
    const float cutoff = p.effect->getParameter(p.effect, kTagFilterCutoff);
    p.host.dispatch(effProcessEvents, 0, 0, list);
    list->numEvents = -5;
    p.host.dispatch(effProcessEvents, 0, 0, list);
    const std::vector<float> out = call(p, signal, 0, 512, nullptr);
    for (float s : out) ASSERT_TRUE(std::isfinite(s));
    EXPECT_EQ(p.effect->getParameter(p.effect, kTagFilterCutoff), cutoff);
    EXPECT_FLOAT_EQ(p.effect->getParameter(p.effect, kTagMaster), 21.0f / 127.0f) << "the last in time order";

    // A list whose pointers are null.
    std::vector<uint64_t> storage(8, 0);
    auto* nulls = reinterpret_cast<VstEvents*>(storage.data());
    nulls->numEvents = 2;
    EXPECT_EQ(p.host.dispatch(effProcessEvents, 0, 0, nulls), 1);
    call(p, signal, 0, 64, nullptr);
}

TEST(MidiControl, TenThousandEventsInOneBlockKeepEachControllersLastValue) {
    HostedPlugin p;
    setMap(p, kMap);
    MidiEvents flood;
    for (int i = 0; i < 10000; ++i) {
        const auto at = static_cast<VstInt32>(i * 1024 / 10000);
        if (i % 2)
            flood.midi(0x90, static_cast<uint8_t>(i % 128), 100, at);
        else
            flood.midi(0xb0, static_cast<uint8_t>(i % 4 == 0 ? 74 : 7), static_cast<uint8_t>(i % 128), at);
    }
    flood.midi(0xb0, 74, 99, 1023).midi(0xb0, 7, 11, 1023);
    const std::vector<float> out = call(p, testSignal(1024, 0.5f), 0, 1024, &flood);
    for (float s : out) ASSERT_TRUE(std::isfinite(s));
    EXPECT_FLOAT_EQ(p.effect->getParameter(p.effect, kTagFilterCutoff), 99.0f / 127.0f);
    EXPECT_FLOAT_EQ(p.effect->getParameter(p.effect, kTagMaster), 11.0f / 127.0f);
}

TEST(MidiControl, EventsDuringChunkLoadsLeaveTheLoadedMapWorking) {
    HostedPlugin p;
    const std::vector<uint8_t> state = controllerState({{74, {kTagFilterCutoff}}});
    std::atomic<bool> loading{true};
    std::thread audio([&] {
        const std::vector<float> signal = testSignal(256, 0.5f);
        MidiEvents events;
        for (int i = 0; i < 64; ++i) events.midi(0xb0, 74, static_cast<uint8_t>(i * 2), i * 4);
        while (loading.load()) call(p, signal, 0, 256, &events);
    });
    for (int i = 0; i < 40; ++i) {
        std::vector<uint8_t> copy = state;
        p.host.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(copy.size()), copy.data());
    }
    loading.store(false);
    audio.join();
    MidiEvents last;
    last.midi(0xb0, 74, 127, 0);
    call(p, testSignal(64, 0.5f), 0, 64, &last);
    EXPECT_EQ(p.effect->getParameter(p.effect, kTagFilterCutoff), 1.0f);
}

TEST(MidiControl, TheMapTravelsWithChunksAndPresetsUnlessIsolated) {
    SettingsSandbox sandbox;
    TempDir dir;
    auto moves = [](ZuUniClient& c) {
        c.engine().cell[kTagFilterCutoff] = 0.0f;
        MidiEvents cc;
        cc.midi(0xb0, 74, 127, 0);
        c.processEvents(cc.get());
        std::vector<float> l(32), r(32);
        float* io[2] = {l.data(), r.data()};
        c.processReplacing(io, io, 32);
        return c.engine().cell[kTagFilterCutoff] == 1.0f;
    };
    auto saved = DirectHost::create();
    saved->ccMap.lists[74] = {{kTagFilterCutoff, 0}};
    void* data = nullptr;
    const int32_t bytes = saved->getChunk(&data, false);
    std::vector<uint8_t> chunk(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + bytes);
    const std::string preset = dir.file("Learned.zuo");
    ASSERT_TRUE(saved->savePresetFile(preset.c_str()));

    auto restored = DirectHost::create();
    restored->setChunk(chunk.data(), bytes, false);
    EXPECT_TRUE(moves(*restored)) << "restored by the host";
    auto loaded = DirectHost::create();
    ASSERT_TRUE(loaded->loadPresetFile(preset.c_str()));
    EXPECT_TRUE(moves(*loaded)) << "loaded from the preset";

    auto isolated = DirectHost::create();
    isolated->ccMapRecallIsolate = 1.0f;
    isolated->ccMap.lists[7] = {{kTagMaster, 0}};
    ASSERT_TRUE(isolated->loadPresetFile(preset.c_str()));
    EXPECT_EQ(isolated->ccMap.lists[7], (ControllerList{{kTagMaster, 0}})) << "the current map stays";
    EXPECT_FALSE(moves(*isolated));
    isolated->setChunk(chunk.data(), bytes, false);
    EXPECT_TRUE(isolated->ccMap.empty()) << "a host restore empties it and takes nothing";
}
