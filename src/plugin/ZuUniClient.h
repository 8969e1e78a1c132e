// The plug-in object: it embeds the engine, owns the parameter records, both
// send effects and the editor, and answers the host.
#pragma once

#include <atomic>
#include <cstdint>

#include "editor/ZuUniClientEditor.h"
#include "effects/ZuDelay.h"
#include "effects/ZuReverb.h"
#include "engine/Engine.h"
#include "params/ParameterModel.h"
#include "params/ParameterTable.h"
#include "plugin/ZuAligned.h"
#include "plugin/ZuPluginBase.h"

constexpr int32_t kNumPrograms = 128;

class ZuUniClient : public ZuAligned, public ZuPluginBase {
public:
    explicit ZuUniClient(audioMasterCallback audioMaster);
    ~ZuUniClient() override;

    // Processing and engine state.
    void suspend() override;
    void resume() override;
    void setSampleRate(float sampleRate) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;

    // Parameters.
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void setParameterAutomated(VstInt32 index, float value) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    bool getParameterProperties(VstInt32 index, VstParameterProperties* p) override;
    bool beginEdit(VstInt32 index) override;
    bool endEdit(VstInt32 index) override;

    // Programs and state.
    void setProgram(VstInt32 program) override;
    void getProgramName(char* name) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    VstInt32 getChunk(void** data, bool isPreset) override;
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;

    // Identity and capabilities.
    bool getOutputProperties(VstInt32 index, VstPinProperties* p) override;
    VstInt32 getNumMidiInputChannels() override { return 1; }
    VstInt32 processEvents(VstEvents* events) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override;
    VstInt32 canDo(char* text) override;
    VstInt32 getPlugCategory() override { return kPlugCategEffect; }

    // Rebuilds every derived value from the stored ones (sample rate, tempo).
    void recompute() { model_.recompute(false); }

    // A loader brackets its state changes with these; the audio output is
    // silent in between.
    void beginLoad(bool wait = true);
    void endLoad();

    ParameterTable& parameters() { return params_; }
    ParameterModel& parameterModel() { return model_; }
    Engine& engine() { return engine_; }
    ZuDelay& delay() { return delay_; }
    ZuReverb& reverb() { return reverb_; }
    ZuUniClientEditor* uniEditor() { return uniEditor_; }
    bool isOwnHost() const { return ownHost; }
    bool isAcidHost() const { return acidHost; }

    // Thread coordination (sequentially consistent).
    std::atomic<bool> audioBusy{false};
    std::atomic<bool> loadInProgress{false};
    std::atomic<bool> ccMapLock{false};

    // Global MIDI switches from the settings (non-zero means on).
    float ignorePrgChange = 1.0f;
    float ccMapRecallIsolate = 0.0f;

private:
    Engine engine_;
    ZuDelay delay_;
    ZuReverb reverb_;
    bool ownHost = false;
    bool acidHost = false;
    ParameterTable params_;
    ParameterModel model_;
    ZuUniClientEditor* uniEditor_ = nullptr;
};

// Registers the product identity and creates the plug-in; null on failure.
AudioEffect* createEffectInstance(audioMasterCallback audioMaster);
