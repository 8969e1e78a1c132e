// The LV2 plug-in's entry point. No exception leaves through it.
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include <cstring>

#include "plugin/lv2/Lv2Instance.h"

namespace {

Lv2Instance* self(LV2_Handle h) { return static_cast<Lv2Instance*>(h); }

template <typename F> auto guarded(F f, decltype(f()) failure) noexcept -> decltype(f()) {
    try {
        return f();
    } catch (...) {
        return failure;
    }
}

LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const* features) {
    return guarded([&] { return static_cast<LV2_Handle>(Lv2Instance::create(rate, features)); }, nullptr);
}

void connectPort(LV2_Handle h, uint32_t port, void* data) { self(h)->connect(port, data); }
void activate(LV2_Handle h) {
    guarded([&] { return self(h)->activate(), 0; }, 0);
}
void run(LV2_Handle h, uint32_t frames) {
    guarded([&] { return self(h)->run(frames), 0; }, 0);
}
void deactivate(LV2_Handle h) {
    guarded([&] { return self(h)->deactivate(), 0; }, 0);
}
void cleanup(LV2_Handle h) {
    guarded([&] { return delete self(h), 0; }, 0);
}

LV2_State_Status save(LV2_Handle h, LV2_State_Store_Function store, LV2_State_Handle handle, uint32_t,
                      const LV2_Feature* const*) {
    return guarded([&] { return self(h)->save(store, handle); }, LV2_STATE_ERR_UNKNOWN);
}

LV2_State_Status restore(LV2_Handle h, LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle, uint32_t,
                         const LV2_Feature* const*) {
    return guarded([&] { return self(h)->restore(retrieve, handle); }, LV2_STATE_ERR_UNKNOWN);
}

const void* extensionData(const char* uri) {
    static const LV2_State_Interface state = {save, restore};
    return std::strcmp(uri, LV2_STATE__interface) == 0 ? &state : nullptr;
}

const LV2_Descriptor kDescriptor = {ORVEL_LV2_URI, instantiate, connectPort, activate, run,
                                    deactivate,    cleanup,     extensionData};

} // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
