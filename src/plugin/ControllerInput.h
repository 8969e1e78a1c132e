// MIDI controllers that move parameters. On the audio thread every
// controller record sets the targets the map gives its number, through the
// parameter model's audio-safe road, so the engine ramps the change as it
// does a host's; what the editor and the host must learn of it goes to the
// user-interface thread as notes. Learning arms one control: the next
// controller that arrives is handed over to be bound to it.
#pragma once

#include <atomic>
#include <bitset>
#include <cstdint>

#include "params/ParameterTable.h"
#include "plugin/ControllerMap.h"
#include "plugin/MidiInput.h"
#include "plugin/UiNoteQueue.h"

class ParameterModel;

class ControllerInput {
public:
    // cells: the engine's parameter cells, by tag.
    ControllerInput(const ControllerMap& map, ParameterModel& model, const float* cells);

    // Audio thread: one record at its sample. mapOpen: nobody rewrites the
    // map during this processing call. A controller sets every target of
    // its list and every extra assignment whose sub-target is its number;
    // a program change is passed on. Notes, pitch bend, channel pressure
    // and all-notes-off move nothing.
    void apply(const MidiEventRecord& record, bool mapOpen);
    // Audio thread, end of a processing call: one note per moved parameter
    // with its last value; what does not fit waits for the next call.
    void flushMoves();

    // User-interface thread: the next controller binds to tag; -1 disarms.
    void arm(int32_t tag) { armed_.store(tag); }
    int32_t armedTag() const { return armed_.load(); }

    UiNoteQueue notes;

private:
    void move(int32_t tag, int32_t midiValue);

    const ControllerMap& map_;
    ParameterModel& model_;
    const float* cells_;
    std::atomic<int32_t> armed_{-1};
    std::bitset<kMaxTag> moved_; // audio thread only
};
