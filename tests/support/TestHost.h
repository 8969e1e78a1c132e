// A minimal VST 2.4 host for tests: loads the built plug-in module with
// dlopen, creates instances through VSTPluginMain as a real host does, and
// records every call the plug-in makes back into the host.
#pragma once

#include <dlfcn.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "plugin/vst24.h"

struct HostCall {
    VstInt32 opcode, index;
    VstIntPtr value;
    float opt;
};

class TestHost {
public:
    using EntryProc = AEffect* (*)(audioMasterCallback);

    explicit TestHost(const std::string& modulePath = ORVEL_PLUGIN_PATH)
        : module_(dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL)) {
        if (!module_) throw std::runtime_error(std::string("dlopen failed: ") + dlerror());
        entry_ = reinterpret_cast<EntryProc>(dlsym(module_, "VSTPluginMain"));
        legacyEntry_ = reinterpret_cast<EntryProc>(dlsym(module_, "main"));
        timeInfo.sampleRate = 44100.0;
        timeInfo.tempo = 120.0;
        timeInfo.timeSigNumerator = timeInfo.timeSigDenominator = 4;
        timeInfo.flags = kVstTempoValid | kVstTransportPlaying;
    }
    ~TestHost() {
        close();
        dlclose(module_);
    }
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    // What the host tells the plug-in about itself.
    std::string product = "Test Host";
    VstIntPtr masterVersion = 2400;
    bool provideTime = false;
    VstTimeInfo timeInfo{};

    // Creates the instance; null when the plug-in refuses.
    AEffect* open() { return openWith(entry_); }
    AEffect* openWith(EntryProc entry) {
        if (!entry) return nullptr;
        close();
        creating() = this; // the plug-in calls back before its effect record is tagged
        effect_ = entry(&TestHost::hostCallback);
        creating() = nullptr;
        if (effect_) effect_->user = this;
        return effect_;
    }
    AEffect* effect() const { return effect_; }
    // Sends effClose and forgets the instance; the plug-in's answer (0 when none was open).
    VstIntPtr close() {
        if (!effect_) return 0;
        const VstIntPtr answer = dispatch(effClose);
        effect_ = nullptr;
        return answer;
    }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) {
        return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
    }
    void setParameter(VstInt32 index, float value) { effect_->setParameter(effect_, index, value); }
    float getParameter(VstInt32 index) { return effect_->getParameter(effect_, index); }
    void processReplacing(float** inputs, float** outputs, VstInt32 frames) {
        effect_->processReplacing(effect_, inputs, outputs, frames);
    }
    // Stereo convenience: processes in-place-free copies of the given channels.
    void processStereo(const std::vector<float>& inL, const std::vector<float>& inR, std::vector<float>& outL,
                       std::vector<float>& outR, int blockSize) {
        outL.assign(inL.size(), 0.0f);
        outR.assign(inL.size(), 0.0f);
        std::vector<float> bl, br;
        for (size_t pos = 0; pos < inL.size(); pos += size_t(blockSize)) {
            const size_t len = std::min(inL.size() - pos, size_t(blockSize));
            bl.assign(&inL[pos], &inL[pos] + len);
            br.assign(&inR[pos], &inR[pos] + len);
            float* ins[2] = {bl.data(), br.data()};
            float* outs[2] = {outL.data() + pos, outR.data() + pos};
            processReplacing(ins, outs, VstInt32(len));
        }
    }

    // The state words the host would store for the instance.
    std::vector<uint8_t> chunk() {
        void* data = nullptr;
        const auto size = size_t(dispatch(effGetChunk, 0, 0, &data));
        return std::vector<uint8_t>(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
    }
    std::string textOf(VstInt32 opcode, VstInt32 index = 0) { // for the text-returning opcodes
        char buf[512] = {};
        dispatch(opcode, index, 0, buf, 0.0f);
        buf[sizeof(buf) - 1] = 0;
        return buf;
    }

    std::vector<HostCall> calls() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }
    int countCalls(VstInt32 opcode) const {
        std::lock_guard<std::mutex> lock(mutex_);
        return int(std::count_if(calls_.begin(), calls_.end(), [&](const HostCall& c) { return c.opcode == opcode; }));
    }
    void clearCalls() {
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.clear();
    }

    EntryProc entry() const { return entry_; }
    EntryProc legacyEntry() const { return legacyEntry_; }

    static VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                              void* ptr, float opt) {
        TestHost* host = effect && effect->user ? static_cast<TestHost*>(effect->user) : creating();
        return host ? host->answer(opcode, index, value, ptr, opt) : 0;
    }

private:
    static TestHost*& creating() {
        thread_local TestHost* host = nullptr;
        return host;
    }
    VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            calls_.push_back({opcode, index, value, opt});
        }
        switch (opcode) {
        case audioMasterVersion: return masterVersion;
        case audioMasterGetVendorString: std::strncpy(static_cast<char*>(ptr), "Test Host Vendor", 63); return 1;
        case audioMasterGetProductString: std::strncpy(static_cast<char*>(ptr), product.c_str(), 63); return 1;
        case audioMasterGetTime: return provideTime ? reinterpret_cast<VstIntPtr>(&timeInfo) : 0;
        case audioMasterBeginEdit:
        case audioMasterEndEdit:
        case audioMasterAutomate:
        case audioMasterUpdateDisplay:
        case audioMasterIdle: return 1;
        default: return 0;
        }
    }

    void* module_;
    EntryProc entry_ = nullptr;
    EntryProc legacyEntry_ = nullptr;
    AEffect* effect_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<HostCall> calls_;
};
