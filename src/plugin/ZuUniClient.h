// The plug-in object: it embeds the engine, owns the parameter records, both
// send effects and the editor, and answers the host.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "editor/ZuUniClientEditor.h"
#include "effects/ZuDelay.h"
#include "effects/ZuReverb.h"
#include "engine/Engine.h"
#include "params/ParameterModel.h"
#include "params/ParameterTable.h"
#include "plugin/ControllerInput.h"
#include "plugin/ControllerMap.h"
#include "plugin/MidiInput.h"
#include "plugin/ZuAligned.h"
#include "plugin/ZuPluginBase.h"
#include "state/ProgramList.h"
#include "state/ZuChunk.h"

constexpr int32_t kNumPrograms = 128;

class ZuUniClient : public ZuAligned, public ZuPluginBase, private EffectNotice {
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
    // What setChunk does, telling whether the bytes were a state: false, and
    // nothing changed, when they were not. Hosts of the LV2 version are told.
    bool loadStateWords(void* data, VstInt32 byteSize);

    // Hands over what MIDI left for this thread before the opcode is served.
    VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

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

    // The whole state as a layout of 32-bit words (ZuUniClientState.cpp).
    // writeState writes at the chunk's cursor: in a measuring pass it only
    // advances the cursor; in the writing pass that follows it takes the
    // cursor as the word count and writes from word 0. The chunk's tempo
    // and sampleRate go into the header.
    void writeState(ZuChunk& chunk);
    // Both passes into chunk (its buffer replaced), with the engine's tempo
    // and sample rate; returns the size in bytes.
    int32_t serializeState(ZuChunk& chunk);
    // Applies the layout at the start of chunk. force: a host restore (the
    // program position is taken, both controller lists are emptied even when
    // the map is isolated); quiet: no message boxes; updatePath: look the
    // preset file of the stored name up below "presetpath0". Every check runs
    // before the audio is silenced; false when the layout was rejected, and
    // then nothing has changed.
    bool readState(ZuChunk& chunk, bool force, bool quiet, bool updatePath);

    // Preset files, the program list and the preset folders (ZuUniClientPresets.cpp).
    // A null path asks the user; group and flags are 0 in every call. True
    // when the file's state was applied.
    bool loadPresetFile(const char* path, int32_t group = 0, const char* extension = nullptr, int32_t flags = 0);
    // True when the whole file was written; a failure is told to the user.
    bool savePresetFile(const char* path, int32_t group = 0, const char* extension = nullptr, int32_t flags = 0);
    // Lets the user choose the preset folder of settings slot `slot`; slot 0
    // rebuilds the program list from it.
    bool selectPresetFolder(std::string& outPath, int32_t slot);
    // The value "presetpath<slot>"; out untouched when it does not exist.
    void readPresetFolderSetting(std::string& out, int32_t slot);
    void loadRandomPreset();
    // Loads "default.zuo" from the first preset folder and reads the program list.
    void loadStartupPresets();
    ProgramList& programList() { return programList_; }
    VstInt32 currentProgram() const { return curProgram; }

    // Rebuilds every derived value from the stored ones (sample rate, tempo).
    void recompute() { model_.recompute(false); }

    // A loader brackets its state changes with these; the audio output is
    // silent in between.
    void beginLoad(bool wait = true);
    void endLoad();

    // MIDI learn, on the user-interface thread. The next controller message
    // binds to tag (replacing what the tag had); -1 when nothing is armed.
    void startLearning(int32_t tag) { controllerInput_.arm(tag); }
    void stopLearning() { controllerInput_.arm(-1); }
    int32_t learningTag() const { return controllerInput_.armedTag(); }
    // The first controller number whose list holds tag, -1 for none.
    int32_t controllerOf(int32_t tag) const;
    // Takes the tag out of the map (its lists and the extra assignments).
    void forgetController(int32_t tag);
    void forgetAllControllers();
    // What the audio thread handed over: the editor's share of parameter
    // moves, their automation for the host (when midiAutomation is on),
    // learned bindings and program changes. Called at the editor's idle
    // and at dispatcher calls; one caller at a time, others return at once.
    void serviceMidi();

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
    // Non-zero: parameters moved by MIDI controllers are reported to the host
    // as automation, so that it records them.
    float midiAutomation = 0.0f;

    // MIDI controller map, stored with every state; rewritten only under ccMapLock.
    ControllerMap ccMap;
    // MIDI received for the current block; emptied at the end of every processing call.
    MidiEventQueue midiEventQueue;
    // The current preset: its name, its file (empty when unknown) and the
    // program-list folder that the current program number indexes.
    std::string presetName;
    std::string presetPath;
    int32_t presetFolderIndex = 0;

private:
    Engine engine_;
    ZuDelay delay_;
    ZuReverb reverb_;
    bool ownHost = false;
    bool acidHost = false;
    ParameterTable params_;
    ParameterModel model_;
    ControllerInput controllerInput_;
    std::atomic<bool> servicingMidi_{false};
    ZuUniClientEditor* uniEditor_ = nullptr;
    ZuChunk stateChunk_; // the buffer getChunk hands to the host
    ProgramList programList_;

    void announcePrograms(int32_t count);
    // The processing call with the queued MIDI applied at its positions.
    void processWithEvents(float** inputs, float** outputs, VstInt32 sampleFrames, double tempo);
    void bindController(int32_t number, int32_t tag);
    void lookUpPresetPath();
    // The effects' reports, shown as a notice box.
    void effectNotice(const char* text) override;
    std::string presetDialogFolder() const;
};

// Registers the product identity and creates the plug-in; null on failure.
AudioEffect* createEffectInstance(audioMasterCallback audioMaster);
