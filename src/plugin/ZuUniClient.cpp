#include "plugin/ZuUniClient.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "gui/Alerts.h"
#include "plugin/LoadHandshake.h"
#include "plugin/ProductIdentity.h"
#include "plugin/ScopedFlushToZero.h"
#include "state/Settings.h"

namespace {
constexpr int kHostTextLimit = 64; // parameter texts: 63 characters and the terminator
}

ZuUniClient::ZuUniClient(audioMasterCallback audioMaster)
    : ZuPluginBase(audioMaster, kNumPrograms, kNumHostParameters), engine_(), delay_(&engine_.ctx),
      reverb_(&engine_.ctx), params_(engine_.cell), model_(engine_, params_, reverb_),
      controllerInput_(ccMap, model_, engine_.cell) {
    char text[256];
    std::memset(text, 0, sizeof(text));
    getHostVendorString(text);
    text[sizeof(text) - 1] = 0;
    ownHost = std::strcmp(text, product::kVendor) == 0;
    std::memset(text, 0, sizeof(text));
    getHostProductString(text);
    text[sizeof(text) - 1] = 0;
    acidHost = std::strcmp(text, "Sony ACID Pro") == 0;

    noTail(true);
    setUniqueID(product::kUniqueId);
    setNumInputs(2);
    setNumOutputs(2);
    canProcessReplacing(true);
    programsAreChunks(true);
    const GlobalSwitches switches = loadSettings();
    ignorePrgChange = switches.ignorePrgChange;
    ccMapRecallIsolate = switches.ccMapRecallIsolate;
    midiAutomation = switches.midiAutomation;
    uniEditor_ = new ZuUniClientEditor(this);
    setEditor(uniEditor_);
    model_.setListener(uniEditor_);

    delay_.setNotice(this);
    reverb_.setNotice(this);
    engine_.attach(&delay_, &reverb_, &model_);
    engine_.configureEffects();
    recompute();
    loadStartupPresets();
}

ZuUniClient::~ZuUniClient() = default; // the AudioEffect base deletes the editor

void ZuUniClient::effectNotice(const char* text) { noticeBox(text); }

void ZuUniClient::suspend() { engine_.suspend(); }

void ZuUniClient::resume() { engine_.resume(); }

void ZuUniClient::setSampleRate(float fs) {
    AudioEffectX::setSampleRate(fs);
    engine_.hostSampleRate = fs;
    if (engine_.ctx.setSampleRate(fs)) delay_.prepareForSampleRate(engine_.ctx.sampleRate);
    recompute();
}

void ZuUniClient::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    if (!LoadHandshake::enterAudio(audioBusy, loadInProgress)) {
        for (int ch = 0; ch < 2 && outputs; ++ch)
            if (outputs[ch] && sampleFrames > 0) std::memset(outputs[ch], 0, sizeof(float) * sampleFrames);
        midiEventQueue.clear();
        return;
    }
    const VstTimeInfo* time = getTimeInfo(kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid |
                                          kVstBarsValid | kVstCyclePosValid);
    const double tempo = Engine::resolveHostTempo(time != nullptr, time ? time->tempo : 0.0, engine_.ctx.tempo);
    {
        // Set after the host call, so the host's own code runs in its own mode.
        const ScopedFlushToZero flushToZero;
        processWithEvents(inputs, outputs, sampleFrames, tempo);
    }
    midiEventQueue.clear();
    controllerInput_.flushMoves();
    LoadHandshake::leaveAudio(audioBusy);
}

void ZuUniClient::beginLoad(bool wait) { LoadHandshake::beginLoad(loadInProgress, audioBusy, wait); }

void ZuUniClient::endLoad() { LoadHandshake::endLoad(loadInProgress); }

void ZuUniClient::setParameter(VstInt32 index, float value) { model_.setParameter(index, value); }

float ZuUniClient::getParameter(VstInt32 index) { return model_.getParameter(index); }

void ZuUniClient::setParameterAutomated(VstInt32 index, float value) {
    if (index < 0 || index >= kNumHostParameters) return;
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

void ZuUniClient::getParameterLabel(VstInt32 index, char* label) { getParameterName(index, label); }

void ZuUniClient::getParameterName(VstInt32 index, char* text) {
    if (!text) return;
    ParameterRecord* r = params_.byHostIndex(index);
    std::snprintf(text, kHostTextLimit, "%s", r ? r->name : "empty");
}

void ZuUniClient::getParameterDisplay(VstInt32 index, char* text) {
    if (!text) return;
    ParameterRecord* r = params_.byHostIndex(index);
    if (!r) {
        std::snprintf(text, kHostTextLimit, "%s", "empty");
        return;
    }
    std::snprintf(text, kHostTextLimit, "%f %s", static_cast<double>(getParameter(index)), r->unitLabel);
}

bool ZuUniClient::getParameterProperties(VstInt32 index, VstParameterProperties* p) {
    if (!p) return false;
    ParameterRecord* r = params_.byHostIndex(index);
    p->flags = 0;
    std::memset(p->label, 0, sizeof(p->label));
    if (!r) {
        std::snprintf(p->label, sizeof(p->label), "%s", "empty");
        return false;
    }
    std::snprintf(p->label, sizeof(p->label), "%s", r->name);
    if (r->style != kStyleSwitch) return true;
    if (r->positions == 2) {
        p->flags |= kVstParameterIsSwitch;
    } else {
        // Hosts treat a switch as a toggle and snap it to 0 or 1, which makes the
        // middle state unreachable. Steps of 0.5 offer 0, 0.5 and 1, which select
        // the three states.
        p->flags |= kVstParameterUsesFloatStep;
        p->stepFloat = p->smallStepFloat = p->largeStepFloat = 1.0f / float(r->positions - 1);
    }
    return true;
}

bool ZuUniClient::beginEdit(VstInt32 index) {
    if (index < 0 || index >= kNumHostParameters) return false;
    return AudioEffectX::beginEdit(index);
}

bool ZuUniClient::endEdit(VstInt32 index) {
    if (index < 0 || index >= kNumHostParameters) return false;
    return AudioEffectX::endEdit(index);
}

bool ZuUniClient::getOutputProperties(VstInt32, VstPinProperties* p) {
    if (p) p->flags |= kVstPinIsActive | kVstPinIsStereo;
    return acidHost;
}

bool ZuUniClient::getEffectName(char* name) {
    vstStrncpy(name, product::kName, kVstMaxEffectNameLen);
    return true;
}

bool ZuUniClient::getVendorString(char* text) {
    vstStrncpy(text, product::kVendor, kVstMaxVendorStrLen);
    return true;
}

bool ZuUniClient::getProductString(char* text) {
    vstStrncpy(text, product::kName, kVstMaxProductStrLen);
    return true;
}

VstInt32 ZuUniClient::getVendorVersion() { return product::kVendorVersion; }

VstInt32 ZuUniClient::canDo(char* text) {
    if (!text) return -1;
    // MIDI controllers move parameters (see ZuUniClientMidi.cpp).
    if (std::strcmp(text, "receiveVstEvents") == 0) return 1;
    if (std::strcmp(text, "receiveVstMidiEvent") == 0) return 1;
    if (std::strcmp(text, "sendVstMidiEvent") == 0) return 0;
    if (std::strcmp(text, "sendVstEvent") == 0) return 0;
    if (std::strcmp(text, "receiveVstTimeInfo") == 0) return 1;
    if (std::strcmp(text, "hasAboutScreen") == 0) return 0;
    return -1;
}

AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
    try {
        return new (std::nothrow) ZuUniClient(audioMaster);
    } catch (...) {
        return nullptr;
    }
}
