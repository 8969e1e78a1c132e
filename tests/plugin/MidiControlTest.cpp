// MIDI input: the event codes, what the controller-map lock and the
// program-change switch let through, the order of the queue and its bound;
// controllers moving parameters through the entry point: where in the output
// a move starts, what it sets, hostile event lists, and the map in presets.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <tuple>
#include <vector>

#include "support/ControllerState.h"
#include "support/EngineFixtures.h"
#include "support/MidiEvents.h"
#include "support/SettingsSandbox.h"
#include "support/TempDir.h"

namespace {
struct Seen {
    int32_t code, data1, data2, position;
    bool operator==(const Seen&) const = default;
};

std::vector<Seen> queued(const ZuUniClient& c) {
    std::vector<Seen> s;
    for (int32_t i = 0; i < c.midiEventQueue.size(); ++i) {
        const MidiEventRecord& r = c.midiEventQueue[i];
        s.push_back({r.code, r.data1, r.data2, r.position});
    }
    return s;
}


void setMap(HostedPlugin& p, const ControllerLists& lists) {
    std::vector<uint8_t> state = controllerState(lists);
    p.host.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(state.size()), state.data());
}

const ControllerLists kMap = {
    {7, {kTagMaster, kTagFxReturn}}, {20, {kTagFilterType, kTagDelayPower}}, {74, {kTagFilterCutoff}}};

// One call of the signal from frame `from`, events first; the left output.
std::vector<float> call(HostedPlugin& p, const std::vector<float>& signal, size_t from, size_t n, MidiEvents* events) {
    if (events) p.host.dispatch(effProcessEvents, 0, 0, events->get());
    const auto start = signal.begin() + static_cast<std::ptrdiff_t>(from);
    const std::vector<float> in(start, start + static_cast<std::ptrdiff_t>(n));
    std::vector<float> l, r;
    p.host.processStereo(in, in, l, r, static_cast<int>(n));
    return l;
}

size_t firstDifference(const std::vector<float>& a, const std::vector<float>& b) {
    size_t i = 0;
    while (i < a.size() && a[i] == b[i]) ++i;
    return i;
}

class MidiControllers : public ::testing::Test {
protected:
    void SetUp() override { setMap(p, kMap); }
    float get(VstInt32 tag) { return p.effect->getParameter(p.effect, tag); }
    std::vector<float> send(MidiEvents* events) { return call(p, testSignal(512, 0.5f), 0, 512, events); }
    HostedPlugin p;
};

} // namespace

TEST_F(MidiControllers, SetEveryTargetOfTheirNumberAndSwitchesTakeTheNearestState) {
    MidiEvents events; // then notes, pitch bend and pressure on the mapped number, all-notes-off, an unmapped one
    events.midi(0xb0, 7, 100, 10).midi(0xb3, 74, 30, 500).midi(0xb0, 21, 5, 0).midi(0x90, 7, 1, 20);
    events.midi(0x80, 7, 2, 20).midi(0xe0, 7, 3, 20).midi(0xd0, 7, 4, 20).midi(0xb0, 123, 0, 20).midi(0xb0, 8, 0, 20);
    send(&events);
    EXPECT_FLOAT_EQ(get(kTagMaster), 100.0f / 127.0f);
    EXPECT_FLOAT_EQ(get(kTagFxReturn), 100.0f / 127.0f);
    EXPECT_FLOAT_EQ(get(kTagFilterCutoff), 30.0f / 127.0f) << "any channel";
    // one controller on a three-state selector and an on/off switch, each row a change
    for (const auto& [value, type, power] :
         {std::tuple{31, 0.0f, 0.0f}, {70, 1.0f / 3.0f, 0.5f}, {96, 2.0f / 3.0f, 0.5f}, {63, 1.0f / 3.0f, 0.0f}}) {
        MidiEvents cc;
        send(&cc.midi(0xb0, 20, static_cast<uint8_t>(value), 0));
        EXPECT_NEAR(get(kTagFilterType), type, 1e-6f) << value;
        EXPECT_EQ(get(kTagDelayPower), power) << value;
    }
}

TEST_F(MidiControllers, HostileEventListsMoveNothingTheyShouldNot) {
    MidiEvents bad;
    bad.midi(0xb0, 74, 0xff, 3).midi(0xb0, 0xc8, 50, 4); // a data byte with the top bit set, a controller number
    bad.last().byteSize = -1;
    bad.midi(0xb0, 7, 90, INT_MIN);                            // before the block: at its start
    bad.midi(0xb0, 7, 20, INT_MAX).midi(0xb0, 7, 21, INT_MAX); // far past its end: at its end
    bad.sysex();
    bad.last().type = 77; // neither MIDI nor SysEx
    VstEvents* list = bad.get();
    const float cutoff = get(kTagFilterCutoff);
    p.host.dispatch(effProcessEvents, 0, 0, list);
    list->numEvents = -5;
    p.host.dispatch(effProcessEvents, 0, 0, list);
    EXPECT_TRUE(allFinite(send(nullptr)));
    EXPECT_EQ(get(kTagFilterCutoff), cutoff);
    EXPECT_FLOAT_EQ(get(kTagMaster), 21.0f / 127.0f) << "the last in time order";

    std::vector<uint64_t> nulls(8, 0); // a list of two null pointers
    reinterpret_cast<VstEvents*>(nulls.data())->numEvents = 2;
    EXPECT_EQ(p.host.dispatch(effProcessEvents, 0, 0, nulls.data()), 1);
    send(nullptr);
}

TEST(MidiControl, AMoveStartsAtTheFirstControlBlockFromItsFrame) {
    const std::vector<float> signal = testSignal(2024, 0.5f);
    // 1000 frames first: the control grid (every 32 frames from the start)
    // then meets this call at 24, 56, ...
    HostedPlugin still;
    setMap(still, kMap);
    call(still, signal, 0, 1000, nullptr);
    const std::vector<float> unmoved = call(still, signal, 1000, 1024, nullptr);
    for (const auto& [position, effect] :
         {std::pair<int32_t, size_t>{0, 24}, {24, 24}, {25, 56}, {100, 120}, {700, 728}}) {
        HostedPlugin moved;
        setMap(moved, kMap);
        call(moved, signal, 0, 1000, nullptr);
        MidiEvents cc;
        cc.midi(0xb0, 7, 30, position);
        EXPECT_EQ(firstDifference(call(moved, signal, 1000, 1024, &cc), unmoved), effect) << "event at " << position;
    }
}

TEST(MidiControl, TheMapTravelsWithChunksAndPresetsUnlessIsolated) {
    SettingsSandbox sandbox;
    TempDir dir;
    const std::string preset = dir.file("Learned.zuo");
    auto loaded = DirectHost::create();
    loaded->ccMap.lists[74] = {{kTagFilterCutoff, 0}};
    ASSERT_TRUE(loaded->savePresetFile(preset.c_str()));
    loaded->ccMap.lists[74].clear();
    ASSERT_TRUE(loaded->loadPresetFile(preset.c_str()));
    EXPECT_EQ(loaded->ccMap.lists[74], (ControllerList{{kTagFilterCutoff, 0}})) << "loaded from the preset";

    auto isolated = DirectHost::create();
    isolated->ccMapRecallIsolate = 1.0f;
    isolated->ccMap.lists[7] = {{kTagMaster, 0}};
    ASSERT_TRUE(isolated->loadPresetFile(preset.c_str()));
    EXPECT_EQ(isolated->ccMap.lists[7], (ControllerList{{kTagMaster, 0}})) << "the current map stays";
    EXPECT_TRUE(isolated->ccMap.lists[74].empty());
    std::vector<uint8_t> chunk = controllerState({{74, {kTagFilterCutoff}}});
    isolated->setChunk(chunk.data(), static_cast<int32_t>(chunk.size()), false);
    EXPECT_TRUE(isolated->ccMap.empty()) << "a host restore empties it and takes nothing";
}

TEST(MidiInput, MessageCodesAndWhatTheMapLockAndTheProgramSwitchDrop) {
    MidiEvents list;
    list.midi(0x90, 60, 100).midi(0x9f, 61, 0).midi(0x85, 62, 64).midi(0xb0, 123, 0).midi(0xb1, 123, 0);
    list.midi(0xb0, 7, 0xff).midi(0xe3, 0, 0x40).midi(0xc2, 5, 0).midi(0xd0, 0x90, 0);
    list.midi(0xa0, 60, 10).midi(0xf8, 0, 0).midi(0xf0, 1, 2).sysex();
    const std::vector<Seen> open = {{200, 60, 100, 0}, {201, 61, 0, 0},  {201, 62, 64, 0},
                                    {202, 123, 0, 0},  {203, 123, 0, 0}, {203, 7, -1, 0},
                                    {204, 0, 64, 0},   {205, 5, 0, 0},   {206, -112, 0, 0}};
    const std::vector<Seen> locked = {
        {200, 60, 100, 0}, {201, 61, 0, 0}, {201, 62, 64, 0}, {202, 123, 0, 0}, {204, 0, 64, 0}};
    std::vector<Seen> noPrograms = open;
    noPrograms.erase(noPrograms.begin() + 7); // the program change
    struct Case {
        bool lock;
        float ignorePrgChange; // any non-zero value drops them, NaN included
        const std::vector<Seen>& expected;
    };
    for (const Case& k : {Case{false, 0.0f, open}, Case{true, 0.0f, locked}, Case{false, 1.0f, noPrograms},
                          Case{false, std::nanf(""), noPrograms}}) {
        auto c = DirectHost::create();
        c->ignorePrgChange = k.ignorePrgChange;
        c->ccMapLock.store(k.lock);
        EXPECT_EQ(c->processEvents(list.get()), 1);
        EXPECT_EQ(queued(*c), k.expected) << k.lock << " " << k.ignorePrgChange;
    }
}

TEST(MidiInput, RecordsAreQueuedByPositionRelativeToTheOneBefore) {
    auto c = DirectHost::create();
    MidiEvents list;
    list.midi(0x90, 1, 1, 10).midi(0x90, 2, 1, 15).midi(0x90, 3, 1, 3).midi(0x90, 4, 1, 10).midi(0x90, 5, 1, 0);
    c->processEvents(list.get());
    // 10 | 10, 5 | 3, 7, 5 | 3, 7, 0, 5 (after the one at 10 already there) | 0 goes first;
    // the record after an inserted one counts from it, so the sums stay the frames
    EXPECT_EQ(queued(*c),
              (std::vector<Seen>{{200, 5, 1, 0}, {200, 3, 1, 3}, {200, 1, 1, 7}, {200, 4, 1, 0}, {200, 2, 1, 5}}));
}

TEST(MidiInput, TheQueueHoldsOneBlockAndEmptiesAfterEachProcessingCall) {
    auto c = DirectHost::create();
    MidiEvents list;
    for (int i = 0; i < 300; ++i) list.midi(0x90, static_cast<uint8_t>(i % 128), 1, i);
    EXPECT_EQ(c->processEvents(nullptr) + c->processEvents(list.get()), 2);
    EXPECT_EQ(c->midiEventQueue.size(), MidiEventQueue::kCapacity) << "the rest is dropped";
    EXPECT_EQ(c->midiEventQueue[255].data1, 255 % 128);
    MidiEvents controller;
    c->processEvents(controller.midi(0xb0, 1, 9, 500).get());
    EXPECT_EQ(c->midiEventQueue[255].code, kMidiControlChange) << "a controller takes a note's place";
    EXPECT_EQ(c->midiEventQueue[0].data1, 1) << "the first note made way";

    float signal[64] = {};
    float* io[2] = {signal, signal};
    for (const bool loading : {false, true}) { // a silent call during a load empties it too
        if (loading) c->processEvents(list.get());
        c->loadInProgress.store(loading);
        c->processReplacing(io, io, 64);
        EXPECT_EQ(c->midiEventQueue.size(), 0) << loading;
    }
    c->loadInProgress.store(false);

    // Full of controllers, with nothing to make way: a later value of one
    // overtakes its earlier one, anything else is dropped.
    MidiEvents controllers;
    for (int i = 0; i < 256; ++i) controllers.midi(0xb0, static_cast<uint8_t>(i % 128), 1, i);
    controllers.midi(0xb0, 1, 9, 300).midi(0x90, 60, 1, 301);
    c->processEvents(controllers.get());
    ASSERT_EQ(c->midiEventQueue.size(), MidiEventQueue::kCapacity);
    EXPECT_EQ(c->midiEventQueue[1].data1, 2) << "the first controller 1 is gone";
    EXPECT_EQ(c->midiEventQueue[255].data2, 9) << "its new value comes last";
}
