// The orvel command: a small host that loads a VST 2.4 plug-in through its
// entry point and works with it as a host does.
#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "plugin/vst24.h"

namespace {

VstIntPtr VSTCALLBACK hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
    switch (opcode) {
    case audioMasterVersion: return 2400;
    case audioMasterGetVendorString: std::strcpy(static_cast<char*>(ptr), "Tamblor orvel host"); return 1;
    case audioMasterGetProductString: std::strcpy(static_cast<char*>(ptr), "orvel"); return 1;
    default: return 0;
    }
}

std::string text(AEffect* e, VstInt32 opcode, VstInt32 index = 0) {
    char buf[512] = {};
    e->dispatcher(e, opcode, index, 0, buf, 0.0f);
    buf[sizeof(buf) - 1] = 0;
    return buf;
}

int info(const char* path) {
    void* module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        std::fprintf(stderr, "orvel: cannot load %s: %s\n", path, dlerror());
        return 1;
    }
    using Entry = AEffect* (*)(audioMasterCallback);
    auto entry = reinterpret_cast<Entry>(dlsym(module, "VSTPluginMain"));
    if (!entry) entry = reinterpret_cast<Entry>(dlsym(module, "main"));
    AEffect* e = entry ? entry(hostCallback) : nullptr;
    if (!e || e->magic != kEffectMagic) {
        std::fprintf(stderr, "orvel: %s is not a VST 2.4 plug-in\n", path);
        return 1;
    }
    std::printf("name:      %s\n", text(e, effGetEffectName).c_str());
    std::printf("vendor:    %s\n", text(e, effGetVendorString).c_str());
    std::printf("product:   %s\n", text(e, effGetProductString).c_str());
    std::printf("version:   %ld\n", static_cast<long>(e->dispatcher(e, effGetVendorVersion, 0, 0, nullptr, 0)));
    std::printf("unique id: 0x%08X\n", static_cast<unsigned>(e->uniqueID));
    std::printf("i/o:       %d in, %d out\n", e->numInputs, e->numOutputs);
    std::printf("flags:     %d\n", e->flags);
    std::printf("programs:  %d\n", e->numPrograms);
    std::printf("parameters (%d):\n", e->numParams);
    for (int i = 0; i < e->numParams; ++i)
        std::printf("  %2d %-16s %s\n", i, text(e, effGetParamName, i).c_str(),
                    text(e, effGetParamDisplay, i).c_str());
    e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
    dlclose(module);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "info") == 0) {
        const char* plugin = ORVEL_DEFAULT_PLUGIN;
        for (int i = 2; i + 1 < argc; ++i)
            if (std::strcmp(argv[i], "--plugin") == 0) plugin = argv[i + 1];
        return info(plugin);
    }
    std::fprintf(stderr, "usage: orvel info [--plugin PATH]\n");
    return 2;
}
