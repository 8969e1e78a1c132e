// A host's VstEvents list for tests: MIDI and SysEx events, kept alive
// with the list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <vector>

#include "plugin/vst24.h"

class MidiEvents {
public:
    MidiEvents& midi(uint8_t status, uint8_t data1, uint8_t data2, VstInt32 deltaFrames = 0) {
        VstMidiEvent& e = midi_.emplace_back();
        std::memset(&e, 0, sizeof(e));
        e.type = kVstMidiType;
        e.byteSize = sizeof(VstMidiEvent);
        e.deltaFrames = deltaFrames;
        e.midiData[0] = static_cast<char>(status);
        e.midiData[1] = static_cast<char>(data1);
        e.midiData[2] = static_cast<char>(data2);
        order_.push_back(reinterpret_cast<VstEvent*>(&e));
        return *this;
    }
    MidiEvents& sysex() {
        VstEvent& e = other_.emplace_back();
        std::memset(&e, 0, sizeof(e));
        e.type = kVstSysExType;
        e.byteSize = sizeof(VstEvent);
        e.data[0] = static_cast<char>(0x90); // looks like a note if read as MIDI
        e.data[1] = 60;
        e.data[2] = 100;
        order_.push_back(&e);
        return *this;
    }
    // The event added last, for making it malformed.
    VstEvent& last() { return *order_.back(); }
    // The list as the host hands it over.
    VstEvents* get() {
        storage_.assign((sizeof(VstEvents) + order_.size() * sizeof(VstEvent*) + 7) / 8, 0);
        auto* list = reinterpret_cast<VstEvents*>(storage_.data());
        list->numEvents = static_cast<VstInt32>(order_.size());
        std::memcpy(reinterpret_cast<char*>(list) + offsetof(VstEvents, events), order_.data(),
                    order_.size() * sizeof(VstEvent*));
        return list;
    }

private:
    std::deque<VstMidiEvent> midi_;
    std::deque<VstEvent> other_;
    std::vector<VstEvent*> order_;
    std::vector<uint64_t> storage_ = {};
};
