// MIDI from the host: the messages the plug-in accepts, translated into its
// own event records and queued in order of their position in the block.
// Runs on the audio thread: no allocation, no locks.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "plugin/vst24.h"

enum MidiEventCode : int32_t {
    kMidiNoteOn = 200,
    kMidiNoteOff = 201,        // also a note on with velocity 0
    kMidiAllNotesOff = 202,    // controller 123 on channel 1 only
    kMidiControlChange = 203,
    kMidiPitchBend = 204,
    kMidiProgramChange = 205,
    kMidiChannelPressure = 206,
};

constexpr int32_t kMidiRecordKind = 100;

// Eight 32-bit words.
struct MidiEventRecord {
    int32_t kind = kMidiRecordKind;
    int32_t one = 1;
    int32_t position = 0; // relative to the record before it in the queue
    int32_t code = 0;
    int32_t data1 = 0;    // first data byte, sign-extended
    int32_t data2 = 0;
    int32_t padding = 0;
    int32_t zero = 0;
};
static_assert(sizeof(MidiEventRecord) == 32);

// A fixed store of records for one processing block: events beyond its
// capacity are dropped rather than making the audio thread allocate.
class MidiEventQueue {
public:
    static constexpr int32_t kCapacity = 256;

    // Walks from the first record, taking each record's position off the new
    // one's while the new one is not smaller, and inserts it before the
    // first record with a larger position (or at the end) with what is
    // left; the record after it then counts from the new one, so the
    // positions always add up to the events' own. A full queue drops the
    // record, except a controller change, which overtakes an earlier value
    // of its controller or a record that moves nothing (false when dropped).
    bool insert(MidiEventRecord record);
    void clear() { count_ = 0; }
    int32_t size() const { return count_; }
    const MidiEventRecord& operator[](int32_t i) const { return records_[static_cast<size_t>(i)]; }

private:
    void removeAt(int32_t at);
    bool evictFor(const MidiEventRecord& controller);

    std::array<MidiEventRecord, kCapacity> records_{};
    int32_t count_ = 0;
};

// One host event; false when it is dropped. While the controller map is
// locked, control changes (except all-notes-off on channel 1), channel
// pressure and program changes are dropped; program changes also while
// ignorePrgChange is non-zero (NaN included).
bool translateMidiEvent(const VstEvent& event, bool ccMapLocked, float ignorePrgChange, MidiEventRecord& out);

// Every event of the list in list order; a null list or a count below 1 does nothing.
void processMidiEvents(const VstEvents* events, MidiEventQueue& queue, const std::atomic<bool>& ccMapLock,
                       float ignorePrgChange);
