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

TEST(MidiInput, EachMessageKindHasItsCode) {
    auto c = DirectHost::create();
    c->ignorePrgChange = 0.0f;
    MidiEvents list;
    list.midi(0x90, 60, 100).midi(0x9f, 61, 0).midi(0x85, 62, 64).midi(0xb0, 123, 0).midi(0xb1, 123, 0);
    list.midi(0xb0, 7, 0xff).midi(0xe3, 0, 0x40).midi(0xc2, 5, 0).midi(0xd0, 0x90, 0);
    list.midi(0xa0, 60, 10).midi(0xf8, 0, 0).midi(0xf0, 1, 2).sysex();
    EXPECT_EQ(c->processEvents(list.get()), 1);
    EXPECT_EQ(queued(*c), (std::vector<Seen>{{200, 60, 100, 0},
                                             {201, 61, 0, 0},
                                             {201, 62, 64, 0},
                                             {202, 123, 0, 0},
                                             {203, 123, 0, 0},
                                             {203, 7, -1, 0},
                                             {204, 0, 64, 0},
                                             {205, 5, 0, 0},
                                             {206, -112, 0, 0}}));
}

TEST(MidiInput, TheMapLockDropsControllersPressureAndProgramsOnly) {
    auto c = DirectHost::create();
    c->ignorePrgChange = 0.0f;
    c->ccMapLock.store(true);
    MidiEvents list;
    list.midi(0xb0, 123, 0).midi(0xb1, 123, 0).midi(0xb0, 7, 1).midi(0xd0, 3, 0).midi(0xc0, 1, 0);
    list.midi(0x90, 60, 1).midi(0x80, 60, 0).midi(0xe0, 1, 2);
    c->processEvents(list.get());
    EXPECT_EQ(queued(*c), (std::vector<Seen>{{202, 123, 0, 0}, {200, 60, 1, 0}, {201, 60, 0, 0}, {204, 1, 2, 0}}));
}

TEST(MidiInput, ProgramChangesFollowTheSetting) {
    SettingsSandbox box;
    MidiEvents list;
    list.midi(0xc0, 9, 0);
    {
        auto c = DirectHost::create();
        EXPECT_EQ(c->ignorePrgChange, 1.0f) << "dropped by default";
        c->processEvents(list.get());
        EXPECT_EQ(c->midiEventQueue.size(), 0);
        c->ignorePrgChange = std::nanf("");
        c->processEvents(list.get());
        EXPECT_EQ(c->midiEventQueue.size(), 0) << "any non-zero value, NaN included";
    }
    ASSERT_TRUE(writeSettingInt("ignorePrgChange", 0));
    auto c = DirectHost::create();
    EXPECT_EQ(c->ignorePrgChange, 0.0f);
    c->processEvents(list.get());
    EXPECT_EQ(queued(*c), (std::vector<Seen>{{205, 9, 0, 0}}));
}

TEST(MidiInput, EmptyListsChangeNothing) {
    auto c = DirectHost::create();
    MidiEvents none;
    EXPECT_EQ(c->processEvents(none.get()), 1);
    EXPECT_EQ(c->processEvents(nullptr), 1);
    EXPECT_EQ(c->midiEventQueue.size(), 0);
}

TEST(MidiInput, RecordsAreQueuedByPositionRelativeToTheOneBefore) {
    auto c = DirectHost::create();
    MidiEvents list;
    list.midi(0x90, 1, 1, 10).midi(0x90, 2, 1, 15).midi(0x90, 3, 1, 3).midi(0x90, 4, 1, 10).midi(0x90, 5, 1, 0);
    c->processEvents(list.get());
    std::vector<std::pair<int32_t, int32_t>> order;
    for (const Seen& s : queued(*c)) order.push_back({s.data1, s.position});
    // 10 | 10, 5 | 3, 7, 5 | 3, 7, 0, 5 (after the one at 10 already there) | 0 goes first;
    // the record after an inserted one counts from it, so the sums stay the frames
    EXPECT_EQ(order, (std::vector<std::pair<int32_t, int32_t>>{{5, 0}, {3, 3}, {1, 7}, {4, 0}, {2, 5}}));
}

TEST(MidiInput, TheQueueHoldsOneBlockAndEmptiesAfterEachProcessingCall) {
    auto c = DirectHost::create();
    MidiEvents list;
    for (int i = 0; i < 300; ++i) list.midi(0x90, static_cast<uint8_t>(i % 128), 1, i);
    EXPECT_EQ(c->processEvents(list.get()), 1);
    EXPECT_EQ(c->midiEventQueue.size(), MidiEventQueue::kCapacity) << "the rest is dropped";
    EXPECT_EQ(c->midiEventQueue[255].data1, 255 % 128);
    MidiEvents controller;
    controller.midi(0xb0, 1, 9, 500);
    c->processEvents(controller.get());
    EXPECT_EQ(c->midiEventQueue[255].code, kMidiControlChange) << "a controller takes a note's place";
    EXPECT_EQ(c->midiEventQueue[0].data1, 1) << "the first note made way";

    std::vector<float> in(64, 0.1f), outL(64), outR(64);
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {outL.data(), outR.data()};
    c->processReplacing(ins, outs, 64);
    EXPECT_EQ(c->midiEventQueue.size(), 0);

    c->processEvents(list.get());
    c->loadInProgress.store(true); // a silent call empties it too
    c->processReplacing(ins, outs, 64);
    c->loadInProgress.store(false);
    EXPECT_EQ(c->midiEventQueue.size(), 0);
}
