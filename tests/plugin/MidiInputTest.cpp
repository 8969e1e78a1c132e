// MIDI input: the event codes, what the controller-map lock and the
// program-change switch let through, the order of the queue, its bound.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "state/Settings.h"
#include "state/SettingsKey.h"
#include "support/MidiEvents.h"
#include "support/SettingsSandbox.h"
#include "support/StateWords.h"

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

} // namespace

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

TEST(MidiInput, ProgramChangesAreDroppedUnlessTheSettingsSayOtherwise) {
    SettingsSandbox box;
    EXPECT_EQ(DirectHost::create()->ignorePrgChange, 1.0f);
    ASSERT_TRUE(writeSettingInt("ignorePrgChange", 0));
    EXPECT_EQ(DirectHost::create()->ignorePrgChange, 0.0f);
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
    EXPECT_EQ(c->processEvents(nullptr), 1);
    EXPECT_EQ(c->processEvents(list.get()), 1);
    EXPECT_EQ(c->midiEventQueue.size(), MidiEventQueue::kCapacity) << "the rest is dropped";
    EXPECT_EQ(c->midiEventQueue[255].data1, 255 % 128);
    MidiEvents controller;
    controller.midi(0xb0, 1, 9, 500);
    c->processEvents(controller.get());
    EXPECT_EQ(c->midiEventQueue[255].code, kMidiControlChange) << "a controller takes a note's place";
    EXPECT_EQ(c->midiEventQueue[0].data1, 1) << "the first note made way";

    float signal[64] = {};
    float* io[2] = {signal, signal};
    c->processReplacing(io, io, 64);
    EXPECT_EQ(c->midiEventQueue.size(), 0);

    c->processEvents(list.get());
    c->loadInProgress.store(true); // a silent call empties it too
    c->processReplacing(io, io, 64);
    c->loadInProgress.store(false);
    EXPECT_EQ(c->midiEventQueue.size(), 0);

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
