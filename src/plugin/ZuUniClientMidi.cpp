// MIDI on both threads: the records applied at their positions during the
// processing call, and what the user-interface thread does with the notes
// the audio thread leaves: the editor's share of a move, host automation,
// learned bindings and program changes.
#include <algorithm>

#include "plugin/LoadHandshake.h"
#include "plugin/ZuUniClient.h"

namespace {

// Rewrites of the map from the user-interface thread: the lock keeps new
// controller messages out, and the audio thread, which reads the map only
// when it found the lock clear after raising audioBusy, is waited for.
class MapRewrite {
public:
    MapRewrite(std::atomic<bool>& lock, const std::atomic<bool>& audioBusy) : lock_(lock) {
        lock_.store(true);
        LoadHandshake::waitForAudio(audioBusy);
    }
    ~MapRewrite() { lock_.store(false); }
    MapRewrite(const MapRewrite&) = delete;
    MapRewrite& operator=(const MapRewrite&) = delete;

private:
    std::atomic<bool>& lock_;
};

class ServiceTurn {
public:
    explicit ServiceTurn(std::atomic<bool>& flag) : flag_(flag), mine_(!flag.exchange(true)) {}
    ~ServiceTurn() {
        if (mine_) flag_.store(false);
    }
    bool mine() const { return mine_; }
    ServiceTurn(const ServiceTurn&) = delete;
    ServiceTurn& operator=(const ServiceTurn&) = delete;

private:
    std::atomic<bool>& flag_;
    bool mine_;
};

// Opcodes hosts send from their audio thread, where no notes are served.
bool audioThreadOpcode(VstInt32 opcode) {
    return opcode == effProcessEvents || opcode == effStartProcess || opcode == effStopProcess ||
           opcode == effMainsChanged;
}

float* offset(float* channel, int32_t by) { return channel ? channel + by : nullptr; }

} // namespace

VstInt32 ZuUniClient::processEvents(VstEvents* events) {
    processMidiEvents(events, midiEventQueue, ccMapLock, ignorePrgChange);
    return 1;
}

void ZuUniClient::processWithEvents(float** inputs, float** outputs, VstInt32 sampleFrames, double tempo) {
    // A record at frame p takes effect before frame p is processed, exactly
    // as a host call split there would make it: the output depends on the
    // frame, never on how the host splits its calls.
    const bool mapOpen = !ccMapLock.load();
    const int32_t frames = std::max<VstInt32>(sampleFrames, 0);
    int32_t done = 0;
    int64_t at = 0;
    auto runTo = [&](int32_t end) {
        float* in[2] = {inputs ? offset(inputs[0], done) : nullptr, inputs ? offset(inputs[1], done) : nullptr};
        float* out[2] = {outputs ? offset(outputs[0], done) : nullptr, outputs ? offset(outputs[1], done) : nullptr};
        engine_.process(inputs ? in : nullptr, outputs ? out : nullptr, end - done, tempo);
        done = end;
    };
    for (int32_t i = 0; i < midiEventQueue.size(); ++i) {
        const MidiEventRecord& r = midiEventQueue[i];
        at += r.position;
        // Positions before the block or past its end count as its first or its end.
        const auto p = static_cast<int32_t>(std::clamp<int64_t>(at, done, frames));
        if (p > done) runTo(p);
        controllerInput_.apply(r, mapOpen);
    }
    if (done == 0)
        engine_.process(inputs, outputs, sampleFrames, tempo);
    else if (done < frames)
        runTo(frames);
}

VstIntPtr ZuUniClient::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    if (!audioThreadOpcode(opcode)) serviceMidi();
    return ZuPluginBase::dispatcher(opcode, index, value, ptr, opt);
}

void ZuUniClient::serviceMidi() {
    const ServiceTurn turn(servicingMidi_);
    if (!turn.mine()) return;
    UiNote note;
    while (controllerInput_.notes.pop(note)) {
        switch (note.kind) {
        case UiNote::kMoved:
            model_.followInEditor(note.tag);
            if (midiAutomation != 0.0f && note.tag < kNumHostParameters)
                callHost(audioMasterAutomate, note.tag, 0, nullptr, note.value);
            break;
        case UiNote::kLearned: bindController(note.number, note.tag); break;
        case UiNote::kProgramChange:
            if (note.number < numPrograms) {
                setProgram(note.number);
                callHost(audioMasterUpdateDisplay);
            }
            break;
        }
    }
}

void ZuUniClient::bindController(int32_t number, int32_t tag) {
    if (number < 0 || number >= kControllerCount) return;
    {
        const MapRewrite rewrite(ccMapLock, audioBusy);
        ccMap.removeTarget(static_cast<int16_t>(tag));
        ccMap.lists[static_cast<size_t>(number)].push_back({static_cast<int16_t>(tag), 0});
    }
    if (uniEditor_) uniEditor_->controllerLearned(number, tag);
}

int32_t ZuUniClient::controllerOf(int32_t tag) const {
    for (int32_t n = 0; n < kControllerCount; ++n)
        for (const ControllerEntry& e : ccMap.lists[static_cast<size_t>(n)])
            if (e.target == tag) return n;
    for (const ControllerEntry& e : ccMap.extraAssignments)
        if (e.target == tag && e.subTarget >= 0 && e.subTarget < kControllerCount) return e.subTarget;
    return -1;
}

void ZuUniClient::forgetController(int32_t tag) {
    if (learningTag() == tag) stopLearning();
    const MapRewrite rewrite(ccMapLock, audioBusy);
    ccMap.removeTarget(static_cast<int16_t>(tag));
}

void ZuUniClient::forgetAllControllers() {
    stopLearning();
    const MapRewrite rewrite(ccMapLock, audioBusy);
    ccMap.clearLists();
    ccMap.extraAssignments.clear();
}
