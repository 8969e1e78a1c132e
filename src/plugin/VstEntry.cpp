// The library's entry point, exported as VSTPluginMain and as main.
#include "editor/EditorSnapshot.h"
#include "plugin/ZuUniClient.h"

#if defined(_WIN32)
#define VST_EXPORT extern "C" __declspec(dllexport)
#else
#define VST_EXPORT extern "C" __attribute__((visibility("default")))
#endif

VST_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
    try {
        if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
        AudioEffect* effect = createEffectInstance(audioMaster);
        return effect ? effect->getAeffect() : nullptr;
    } catch (...) {
        return nullptr;
    }
}

#if !defined(_WIN32)
// Old hosts look for "main": the same function under a second name (a C++
// function cannot be called main, so the symbol name is set directly). Windows
// exports it through the .def file.
VST_EXPORT AEffect* vstLegacyMain(audioMasterCallback audioMaster) __asm__("main")
    __attribute__((alias("VSTPluginMain")));

// For pictures of the editor without a display (orvel screenshot): the
// pixels of the open editor, 0x00RRGGBB rows of width x height. 1 on success.
VST_EXPORT int32_t OrvelEditorSnapshot(AEffect* effect, uint32_t* pixels, int32_t width, int32_t height) {
    try {
        if (!effect || !effect->object) return 0;
        return snapshotEditor(static_cast<AudioEffect*>(effect->object), pixels, width, height) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}
#endif
