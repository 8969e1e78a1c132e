// A host for one VST 2.4 plug-in instance: loads the module, creates the
// instance through its entry point (VSTPluginMain, or the older main) and
// drives it through the effect record as a sequencer would: sample rate and
// block size, resume, processing with host time, parameters, programs and
// chunks. It answers the plug-in's calls back into the host.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plugin/vst24.h"

class PluginHost {
public:
    // Throws CliError when path is not a loadable VST 2.4 plug-in.
    explicit PluginHost(const std::string& path);
    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    AEffect& effect() { return *effect_; }
    const std::string& path() const { return path_; }
    bool isOrvel() const;
    // A function the module exports besides its entry point; null when it has none.
    void* symbol(const char* name) const;

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);
    // The text an opcode writes into the host's buffer.
    std::string text(VstInt32 opcode, VstInt32 index = 0);

    void setParameter(VstInt32 index, float value) { effect_->setParameter(effect_, index, value); }
    float getParameter(VstInt32 index) { return effect_->getParameter(effect_, index); }

    // Before start(): the stream the plug-in will see.
    void configure(int sampleRate, int blockSize, double tempo);
    void start(); // effMainsChanged on, effStartProcess
    void stop();  // the reverse; also done by the destructor
    // Processes frames (at most the configured block size) of numInputs
    // input and numOutputs output channels; host time advances with it.
    void process(float** inputs, float** outputs, int frames);

    std::vector<uint8_t> chunk(); // effGetChunk as a program (preset) chunk
    void setChunk(std::vector<uint8_t> bytes, bool isPreset);

private:
    static VstIntPtr VSTCALLBACK callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                          void* ptr, float opt);
    VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    std::string path_;
    void* module_ = nullptr;
    AEffect* effect_ = nullptr;
    int sampleRate_ = 44100;
    int blockSize_ = 512;
    double tempo_ = 120.0;
    double samplePosition_ = 0.0;
    bool running_ = false;
    VstTimeInfo time_{};
};

// The unique ID of the Orvel plug-in ("zuor").
constexpr VstInt32 kOrvelUniqueId = vstFourCC('z', 'u', 'o', 'r');
