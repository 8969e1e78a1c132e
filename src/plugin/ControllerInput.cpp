#include "plugin/ControllerInput.h"

#include "params/ControlStates.h"
#include "params/ParameterModel.h"

ControllerInput::ControllerInput(const ControllerMap& map, ParameterModel& model, const float* cells)
    : map_(map), model_(model), cells_(cells) {}

void ControllerInput::apply(const MidiEventRecord& r, bool mapOpen) {
    if (r.code == kMidiProgramChange) {
        if (r.data1 >= 0) notes.push({UiNote::kProgramChange, 0, r.data1, 0.0f});
        return;
    }
    // Data bytes with the top bit set are no MIDI; they arrive here negative.
    if (r.code != kMidiControlChange || r.data1 < 0 || r.data1 >= kControllerCount || r.data2 < 0) return;
    if (const int32_t tag = armed_.exchange(-1); tag >= 0) {
        if (!notes.push({UiNote::kLearned, tag, r.data1, 0.0f})) armed_.store(tag); // the next one then
        return;
    }
    if (!mapOpen) return;
    for (const ControllerEntry& e : map_.lists[static_cast<size_t>(r.data1)]) move(e.target, r.data2);
    for (const ControllerEntry& e : map_.extraAssignments)
        if (e.subTarget == r.data1) move(e.target, r.data2);
}

void ControllerInput::move(int32_t tag, int32_t midiValue) {
    if (!controllerCanMove(tag)) return;
    model_.setFromController(tag, controllerValue(tag, midiValue));
    moved_.set(static_cast<size_t>(tag));
}

void ControllerInput::flushMoves() {
    if (moved_.none()) return;
    for (size_t tag = 0; tag < moved_.size(); ++tag)
        if (moved_.test(tag) && notes.push({UiNote::kMoved, static_cast<int32_t>(tag), 0, cells_[tag]}))
            moved_.reset(tag);
}
