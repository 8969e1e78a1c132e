// A minimal VST 2.4 host for tests: loads the built plug-in module with
// dlopen, creates instances through VSTPluginMain as a real host does, and
// records every call the plug-in makes back into the host.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "plugin/vst24.h"

struct HostCall {
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
};

class TestHost {
public:
    using EntryProc = AEffect* (*)(audioMasterCallback);

    explicit TestHost(const std::string& modulePath = ORVEL_PLUGIN_PATH);
    ~TestHost();
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    // What the host tells the plug-in about itself.
    std::string vendor = "Test Host Vendor";
    std::string product = "Test Host";
    VstIntPtr masterVersion = 2400;
    bool provideTime = false;
    VstTimeInfo timeInfo{};

    // Creates the instance; null when the plug-in refuses.
    AEffect* open();
    AEffect* openWith(EntryProc entry);
    AEffect* effect() const { return effect_; }
    // Sends effClose and forgets the instance; the plug-in's answer (0 when none was open).
    VstIntPtr close();

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);
    void setParameter(VstInt32 index, float value);
    float getParameter(VstInt32 index);
    void processReplacing(float** inputs, float** outputs, VstInt32 frames);
    // Stereo convenience: processes in-place-free copies of the given channels.
    void processStereo(const std::vector<float>& inL, const std::vector<float>& inR, std::vector<float>& outL,
                       std::vector<float>& outR, int blockSize);

    std::string textOf(VstInt32 opcode, VstInt32 index = 0); // for the text-returning opcodes

    std::vector<HostCall> calls() const;
    int countCalls(VstInt32 opcode) const;
    void clearCalls();

    EntryProc entry() const { return entry_; }
    EntryProc legacyEntry() const { return legacyEntry_; }

    static VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                              void* ptr, float opt);

private:
    VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    void* module_ = nullptr;
    EntryProc entry_ = nullptr;
    EntryProc legacyEntry_ = nullptr;
    AEffect* effect_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<HostCall> calls_;
};
