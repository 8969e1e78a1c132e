#include "plugin/MidiInput.h"

#include <cstring>

bool MidiEventQueue::insert(MidiEventRecord record) {
    if (count_ >= kCapacity && !(record.code == kMidiControlChange && evictFor(record))) return false;
    int32_t at = 0;
    while (at < count_ && record.position >= records_[static_cast<size_t>(at)].position) {
        record.position -= records_[static_cast<size_t>(at)].position;
        ++at;
    }
    std::memmove(&records_[static_cast<size_t>(at) + 1], &records_[static_cast<size_t>(at)],
                 sizeof(MidiEventRecord) * static_cast<size_t>(count_ - at));
    records_[static_cast<size_t>(at)] = record;
    ++count_;
    // The record after it now counts from the new one.
    if (at + 1 < count_) records_[static_cast<size_t>(at) + 1].position -= record.position;
    return true;
}

void MidiEventQueue::removeAt(int32_t at) {
    const int32_t gap = records_[static_cast<size_t>(at)].position;
    std::memmove(&records_[static_cast<size_t>(at)], &records_[static_cast<size_t>(at) + 1],
                 sizeof(MidiEventRecord) * static_cast<size_t>(count_ - at - 1));
    --count_;
    if (at < count_) records_[static_cast<size_t>(at)].position += gap;
}

bool MidiEventQueue::evictFor(const MidiEventRecord& controller) {
    // An earlier value of the same controller is overtaken by this one; a
    // record that moves nothing (notes, pitch bend, pressure) makes way too.
    int32_t spare = -1;
    int64_t at = 0;
    for (int32_t i = 0; i < count_; ++i) {
        const MidiEventRecord& r = records_[static_cast<size_t>(i)];
        at += r.position;
        if (r.code == kMidiControlChange && r.data1 == controller.data1 && at <= controller.position) {
            removeAt(i);
            return true;
        }
        if (spare < 0 && r.code != kMidiControlChange && r.code != kMidiProgramChange && r.code != kMidiAllNotesOff)
            spare = i;
    }
    if (spare < 0) return false;
    removeAt(spare);
    return true;
}

bool translateMidiEvent(const VstEvent& event, bool ccMapLocked, float ignorePrgChange, MidiEventRecord& out) {
    if (event.type != kVstMidiType) return false;
    const auto& midi = reinterpret_cast<const VstMidiEvent&>(event);
    const auto status = static_cast<unsigned char>(midi.midiData[0]);
    const auto data1 = static_cast<signed char>(midi.midiData[1]);
    const auto data2 = static_cast<signed char>(midi.midiData[2]);
    int32_t code = 0;
    switch (status & 0xF0) {
    case 0x90: code = data2 == 0 ? kMidiNoteOff : kMidiNoteOn; break;
    case 0x80: code = kMidiNoteOff; break;
    case 0xB0:
        if (status == 0xB0 && data1 == 123)
            code = kMidiAllNotesOff;
        else if (ccMapLocked)
            return false;
        else
            code = kMidiControlChange;
        break;
    case 0xD0:
        if (ccMapLocked) return false;
        code = kMidiChannelPressure;
        break;
    case 0xE0: code = kMidiPitchBend; break;
    case 0xC0:
        if (ccMapLocked || ignorePrgChange != 0.0f) return false;
        code = kMidiProgramChange;
        break;
    default: return false; // polyphonic pressure, system messages
    }
    out = MidiEventRecord();
    out.position = event.deltaFrames;
    out.code = code;
    out.data1 = data1;
    out.data2 = data2;
    return true;
}

void processMidiEvents(const VstEvents* events, MidiEventQueue& queue, const std::atomic<bool>& ccMapLock,
                       float ignorePrgChange) {
    if (!events) return;
    for (VstInt32 i = 0; i < events->numEvents; ++i) {
        const VstEvent* e = events->events[i];
        MidiEventRecord record;
        if (e && translateMidiEvent(*e, ccMapLock.load(), ignorePrgChange, record)) queue.insert(record);
    }
}
