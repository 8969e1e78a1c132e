// MIDI controllers moving parameters through the entry point: where in the
// output a move starts, what it sets, hostile event lists, and the map in
// presets.
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
        cc.midi(0xb0, 20, static_cast<uint8_t>(value), 0);
        send(&cc);
        EXPECT_NEAR(get(kTagFilterType), type, 1e-6f) << value;
        EXPECT_EQ(get(kTagDelayPower), power) << value;
    }
}

TEST_F(MidiControllers, HostileEventListsMoveNothingTheyShouldNot) {
    MidiEvents bad;
    bad.midi(0xb0, 74, 0xff, 3); // a data byte with the top bit set
    bad.midi(0xb0, 0xc8, 50, 4); // a controller number with it
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
    for (float s : send(nullptr)) ASSERT_TRUE(std::isfinite(s));
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
    auto saved = DirectHost::create();
    saved->ccMap.lists[74] = {{kTagFilterCutoff, 0}};
    const std::string preset = dir.file("Learned.zuo");
    ASSERT_TRUE(saved->savePresetFile(preset.c_str()));

    auto loaded = DirectHost::create();
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
