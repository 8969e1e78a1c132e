#include "plugin/lv2/Lv2Instance.h"

#include <lv2/atom/util.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "gui/AEffGUIEditor.h"
#include "gui/CFrame.h"
#include "gui/PlatformWindow.h"
#include "params/ParameterTable.h"
#include "plugin/AudioEffect.h"
#include "plugin/ZuUniClient.h"

extern "C" AEffect* VSTPluginMain(audioMasterCallback audioMaster);

namespace {

constexpr VstInt32 kBlockSize = 4096; // the plug-in only stores it

const LV2_URID_Map* findMap(const LV2_Feature* const* features) {
    for (const LV2_Feature* const* f = features; f && *f; ++f)
        if (std::strcmp((*f)->URI, LV2_URID__map) == 0) return static_cast<const LV2_URID_Map*>((*f)->data);
    return nullptr;
}

} // namespace

Lv2Instance* Lv2Instance::create(double sampleRate, const LV2_Feature* const* features) {
    const LV2_URID_Map* map = findMap(features);
    if (!map) return nullptr;
    AEffect* effect = VSTPluginMain(hostCallback);
    if (!effect) return nullptr;
    return new Lv2Instance(effect, map, sampleRate);
}

Lv2Instance::Lv2Instance(AEffect* e, const LV2_URID_Map* map, double sampleRate)
    : uris_(map), sampleRate_(sampleRate) {
    effect = e;
    portValue = portValueOf;
    applyPortValue = applyPortValueOf;
    editorWindow = editorWindowOf;
    std::array<float, kMaxTag> cells{};
    ParameterTable table(cells.data());
    for (uint32_t i = 0; i < lv2port::kParameterCount; ++i) {
        const ParameterRecord* r = table.byHostIndex(int32_t(i));
        positions_[i] = r && r->style == kStyleSwitch ? r->positions : 0;
    }
    lastPort_.fill(std::numeric_limits<float>::quiet_NaN()); // the first run applies every port
    for (int32_t i = 0; i < kMaxEvents; ++i) events_.events[i] = reinterpret_cast<VstEvent*>(&midi_[size_t(i)]);
    time_.setSampleRate(sampleRate);
    effect->user = this;
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, float(sampleRate));
    dispatch(effSetBlockSize, 0, kBlockSize);
}

Lv2Instance::~Lv2Instance() {
    dispatch(effClose); // the plug-in deletes itself
}

VstIntPtr VSTCALLBACK Lv2Instance::hostCallback(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr,
                                                void* ptr, float opt) {
    // While the plug-in is being constructed its record has no instance yet.
    auto* self = e ? static_cast<Lv2Instance*>(e->user) : nullptr;
    switch (opcode) {
    case audioMasterVersion: return 2400;
    case audioMasterGetVendorString:
    case audioMasterGetProductString:
        if (ptr) std::strcpy(static_cast<char*>(ptr), "LV2");
        return ptr ? 1 : 0;
    case audioMasterGetSampleRate: return self ? VstIntPtr(self->sampleRate_) : 0;
    case audioMasterGetTime: return self ? reinterpret_cast<VstIntPtr>(self->time_.info()) : 0;
    case audioMasterAutomate:
    case audioMasterBeginEdit:
    case audioMasterEndEdit: {
        // Editor gestures, on the editor's thread; without a user interface
        // the host learns the values from the ports it writes itself.
        const Lv2UiSink* sink = self ? self->sink.load(std::memory_order_acquire) : nullptr;
        if (!sink || index < 0 || index >= int32_t(lv2port::kParameterCount)) return 0;
        if (opcode == audioMasterAutomate) {
            if (sink->automate) sink->automate(sink->context, index, opt);
        } else if (sink->gesture) {
            sink->gesture(sink->context, index, opcode == audioMasterBeginEdit);
        }
        return 1;
    }
    default: return 0;
    }
}

float Lv2Instance::portValueOf(Lv2UiLink* link, int32_t index) {
    auto* self = static_cast<Lv2Instance*>(link);
    if (index < 0 || index >= int32_t(lv2port::kParameterCount)) return 0.0f;
    const float normalised = self->effect->getParameter(self->effect, index);
    return lv2port::portValueOf(index, normalised, self->positions_[size_t(index)]);
}

void Lv2Instance::applyPortValueOf(Lv2UiLink* link, int32_t index, float value) {
    if (index < 0 || index >= int32_t(lv2port::kParameterCount) || std::isnan(value)) return;
    static_cast<Lv2Instance*>(link)->applyPort(index, value);
}

uintptr_t Lv2Instance::editorWindowOf(Lv2UiLink* link) {
    auto* plugin = static_cast<AudioEffect*>(link->effect->object);
    auto* editor = dynamic_cast<AEffGUIEditor*>(plugin ? plugin->getEditor() : nullptr);
    CFrame* frame = editor ? editor->getFrame() : nullptr;
    PlatformWindow* window = frame ? frame->getPlatformWindow() : nullptr;
    return window ? reinterpret_cast<uintptr_t>(window->nativeHandle()) : 0;
}

// A port value that names the state the parameter is already in changes
// nothing, so a restored or loaded value (a selector at 0.333333, say) stays
// as it was stored.
void Lv2Instance::applyPort(int32_t index, float value) {
    const int32_t positions = positions_[size_t(index)];
    const float target = lv2port::normalisedOf(value, positions);
    const float current = effect->getParameter(effect, index);
    const bool same = positions >= 2
                          ? lv2port::stateOf(index, current, positions) == lv2port::stateOf(index, target, positions)
                          : current == target;
    if (!same) effect->setParameter(effect, index, target);
}

void Lv2Instance::connect(uint32_t port, void* data) {
    switch (port) {
    case lv2port::kInLeft: in_[0] = static_cast<const float*>(data); break;
    case lv2port::kInRight: in_[1] = static_cast<const float*>(data); break;
    case lv2port::kOutLeft: out_[0] = static_cast<float*>(data); break;
    case lv2port::kOutRight: out_[1] = static_cast<float*>(data); break;
    case lv2port::kControl: control_ = static_cast<const LV2_Atom_Sequence*>(data); break;
    default:
        if (port < lv2port::kCount) params_[port - lv2port::kFirstParameter] = static_cast<const float*>(data);
        break;
    }
}

void Lv2Instance::activate() { dispatch(effMainsChanged, 0, 1); }

void Lv2Instance::deactivate() { dispatch(effMainsChanged, 0, 0); }

void Lv2Instance::takeControlPorts() {
    const bool resync = resync_.exchange(false, std::memory_order_acq_rel);
    for (uint32_t i = 0; i < lv2port::kParameterCount; ++i) {
        if (!params_[i]) continue;
        const float v = *params_[i];
        if (std::isnan(v) || v == lastPort_[i]) continue;
        lastPort_[i] = v;
        if (!resync) applyPort(int32_t(i), v);
    }
}

void Lv2Instance::processStretch(uint32_t from, uint32_t to) {
    if (events_.numEvents > 0) {
        dispatch(effProcessEvents, 0, 0, &events_);
        events_.numEvents = 0;
    }
    if (to <= from) return;
    float* in[2] = {const_cast<float*>(in_[0] + from), const_cast<float*>(in_[1] + from)};
    float* out[2] = {out_[0] + from, out_[1] + from};
    effect->processReplacing(effect, in, out, VstInt32(to - from));
    time_.advance(int32_t(to - from));
}

// The block is cut where the host's time changes, so that the plug-in asks
// for the time of each stretch as a VST host would give it.
void Lv2Instance::run(uint32_t frames) {
    takeControlPorts();
    if (!in_[0] || !in_[1] || !out_[0] || !out_[1]) return;
    uint32_t from = 0;
    if (control_) {
        LV2_ATOM_SEQUENCE_FOREACH (control_, ev) {
            const auto at = uint32_t(std::clamp<int64_t>(ev->time.frames, from, frames));
            if (ev->body.type == uris_.midiEvent) {
                if (events_.numEvents >= kMaxEvents || ev->body.size == 0 || ev->body.size > 3) continue;
                VstMidiEvent& m = midi_[size_t(events_.numEvents++)];
                m = VstMidiEvent{};
                m.type = kVstMidiType;
                m.byteSize = sizeof(VstMidiEvent);
                m.deltaFrames = VstInt32(at - from);
                std::memcpy(m.midiData, LV2_ATOM_BODY_CONST(&ev->body), ev->body.size);
            } else if (ev->body.type == uris_.atomObject || ev->body.type == uris_.atomBlank) {
                const auto* object = reinterpret_cast<const LV2_Atom_Object*>(&ev->body);
                if (object->body.otype != uris_.timePosition) continue;
                processStretch(from, at);
                from = at;
                time_.update(object, uris_);
            }
        }
    }
    processStretch(from, frames);
}

LV2_State_Status Lv2Instance::save(LV2_State_Store_Function store, LV2_State_Handle handle) {
    void* data = nullptr;
    const VstIntPtr size = dispatch(effGetChunk, 0, 0, &data);
    if (size <= 0 || !data) return LV2_STATE_ERR_UNKNOWN;
    return store(handle, uris_.chunk, data, size_t(size), uris_.atomChunk, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status Lv2Instance::restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
    size_t size = 0;
    uint32_t type = 0, flags = 0;
    const void* data = retrieve(handle, uris_.chunk, &size, &type, &flags);
    if (!data || size == 0) return LV2_STATE_ERR_NO_PROPERTY;
    if (type != uris_.atomChunk) return LV2_STATE_ERR_BAD_TYPE;
    // The plug-in reads the words where they lie; the host's copy is only lent.
    const auto* bytes = static_cast<const char*>(data);
    if (size > size_t(std::numeric_limits<VstInt32>::max())) return LV2_STATE_ERR_UNKNOWN;
    restoreBuffer_.assign(bytes, bytes + size);
    auto* client = static_cast<ZuUniClient*>(static_cast<AudioEffect*>(effect->object));
    // Words that are no state change nothing, and the host hears so.
    if (!client->loadStateWords(restoreBuffer_.data(), VstInt32(size))) return LV2_STATE_ERR_UNKNOWN;
    // The ports still hold what the host had before; only later moves count.
    resync_.store(true, std::memory_order_release);
    return LV2_STATE_SUCCESS;
}
