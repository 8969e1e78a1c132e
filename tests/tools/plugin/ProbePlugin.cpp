// A VST 2.4 plug-in for the command's tests: it passes its input through
// unchanged (NaN and infinity included) and adds its one parameter,
// "offset", as a constant to every output sample, so that a test can make
// an output that never goes quiet.
#include <cstring>

#include "plugin/vst24.h"

namespace {

struct Probe {
    AEffect effect{};
    float offset = 0.0f;
};

Probe* probeOf(AEffect* e) { return static_cast<Probe*>(e->object); }

VstIntPtr VSTCALLBACK dispatch(AEffect* e, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
    switch (opcode) {
    case effClose: delete probeOf(e); return 1;
    case effGetParamName: std::strcpy(static_cast<char*>(ptr), "offset"); return 1;
    case effGetParamDisplay: std::strcpy(static_cast<char*>(ptr), ""); return 1;
    case effGetEffectName: std::strcpy(static_cast<char*>(ptr), "Probe"); return 1;
    default: return 0;
    }
}

void VSTCALLBACK processReplacing(AEffect* e, float** in, float** out, VstInt32 frames) {
    const float offset = probeOf(e)->offset;
    for (int c = 0; c < 2; ++c)
        for (VstInt32 i = 0; i < frames; ++i) out[c][i] = in[c][i] + offset;
}

void VSTCALLBACK setParameter(AEffect* e, VstInt32, float v) { probeOf(e)->offset = v; }
float VSTCALLBACK getParameter(AEffect* e, VstInt32) { return probeOf(e)->offset; }

} // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback) {
    auto* probe = new Probe;
    AEffect& e = probe->effect;
    e.magic = kEffectMagic;
    e.dispatcher = dispatch;
    e.setParameter = setParameter;
    e.getParameter = getParameter;
    e.processReplacing = processReplacing;
    e.numParams = 1;
    e.numInputs = 2;
    e.numOutputs = 2;
    e.flags = effFlagsCanReplacing;
    e.object = probe;
    e.uniqueID = vstFourCC('p', 'r', 'o', 'b');
    return &e;
}
