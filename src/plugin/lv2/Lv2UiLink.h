// What the plug-in's instance offers its user interface, which lives in a
// binary of its own and reaches the instance through instance-access. Both
// binaries are built from this header in the same build.
#pragma once

#include <atomic>
#include <cstdint>

struct AEffect;

// The user interface's side: where the plug-in reports editor gestures.
// Called on the thread that runs the editor (the one calling effEditIdle).
struct Lv2UiSink {
    void* context = nullptr;
    void (*automate)(void* context, int32_t index, float value) = nullptr;
    void (*gesture)(void* context, int32_t index, bool begin) = nullptr;
};

struct Lv2UiLink {
    AEffect* effect = nullptr;
    // The parameter's value as its control port shows it, and the reverse:
    // apply a port value to the parameter.
    float (*portValue)(Lv2UiLink* link, int32_t index) = nullptr;
    void (*applyPortValue)(Lv2UiLink* link, int32_t index, float portValue) = nullptr;
    // The open editor's own window, 0 while it is closed.
    uintptr_t (*editorWindow)(Lv2UiLink* link) = nullptr;
    std::atomic<const Lv2UiSink*> sink{nullptr};
};
