// One LV2 instance: the very plug-in object a VST host gets, created through
// its own entry point and driven through its effect record, with this object
// as its host. Ports map onto setParameter, the atom input onto MIDI events
// and host time, the state onto the chunk.
#pragma once

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include <array>
#include <atomic>
#include <vector>

#include "plugin/lv2/Lv2HostTime.h"
#include "plugin/lv2/Lv2Ports.h"
#include "plugin/lv2/Lv2UiLink.h"
#include "plugin/lv2/Lv2Uris.h"
#include "plugin/vst24.h"

class Lv2Instance : public Lv2UiLink {
public:
    // Null when the host lacks urid:map or the plug-in cannot be created.
    static Lv2Instance* create(double sampleRate, const LV2_Feature* const* features);
    ~Lv2Instance();

    void connect(uint32_t port, void* data);
    void activate();
    void deactivate();
    void run(uint32_t frames);

    LV2_State_Status save(LV2_State_Store_Function store, LV2_State_Handle handle);
    LV2_State_Status restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

private:
    static constexpr int32_t kMaxEvents = 256; // MIDI events taken per stretch of a run

    Lv2Instance(AEffect* effect, const LV2_URID_Map* map, double sampleRate);
    static VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                              void* ptr, float opt);
    static float portValueOf(Lv2UiLink* link, int32_t index);
    static void applyPortValueOf(Lv2UiLink* link, int32_t index, float portValue);
    static uintptr_t editorWindowOf(Lv2UiLink* link);
    void applyPort(int32_t index, float portValue);
    void takeControlPorts();
    void processStretch(uint32_t from, uint32_t to);
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }

    Lv2Uris uris_;
    double sampleRate_;
    std::array<int32_t, lv2port::kParameterCount> positions_{};
    std::array<const float*, lv2port::kParameterCount> params_{};
    std::array<float, lv2port::kParameterCount> lastPort_{};
    std::atomic<bool> resync_{false}; // take the ports as they are, without applying them
    const float* in_[2] = {nullptr, nullptr};
    float* out_[2] = {nullptr, nullptr};
    const LV2_Atom_Sequence* control_ = nullptr;
    Lv2HostTime time_;

    // The MIDI events of one stretch, in the VST layout, filled in place.
    struct EventList {
        VstInt32 numEvents;
        VstIntPtr reserved;
        VstEvent* events[kMaxEvents];
    };
    std::array<VstMidiEvent, kMaxEvents> midi_{};
    EventList events_{};
    std::vector<char> restoreBuffer_;
};
