#include "PluginHost.h"

#include <dlfcn.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <utility>

#include "CliError.h"

namespace {

// Host opcodes beyond the ones the plug-in side declares.
constexpr VstInt32 kMasterWantMidi = 6;
constexpr VstInt32 kMasterGetCurrentProcessLevel = 23;
constexpr VstInt32 kMasterGetAutomationState = 24;
constexpr VstInt32 kMasterGetLanguage = 38;
constexpr VstIntPtr kProcessLevelOffline = 4;
constexpr VstIntPtr kAutomationOff = 1;
constexpr VstIntPtr kLanguageEnglish = 1;

// Which host object a plug-in's callback belongs to. During the entry call
// the effect record is not known yet; the host being created answers then.
std::mutex registryMutex;
std::vector<std::pair<AEffect*, PluginHost*>> registry;
PluginHost* creating = nullptr;

PluginHost* hostFor(AEffect* effect) {
    std::lock_guard<std::mutex> lock(registryMutex);
    for (auto& [e, host] : registry)
        if (e == effect) return host;
    return creating;
}

void copyText(void* ptr, const char* text, size_t limit) {
    if (!ptr) return;
    std::strncpy(static_cast<char*>(ptr), text, limit - 1);
    static_cast<char*>(ptr)[limit - 1] = 0;
}

} // namespace

PluginHost::PluginHost(const std::string& path) : path_(path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) throw CliError("cannot open plug-in " + path + ": no such file");
    // dlopen searches the library path for names without a slash.
    const std::string loadPath = path.find('/') == std::string::npos ? "./" + path : path;
    module_ = dlopen(loadPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module_) throw CliError(path + " is not a VST 2.4 plug-in: " + dlerror());

    using Entry = AEffect* (*)(audioMasterCallback);
    auto entry = reinterpret_cast<Entry>(dlsym(module_, "VSTPluginMain"));
    if (!entry) entry = reinterpret_cast<Entry>(dlsym(module_, "main"));
    if (!entry) {
        dlclose(module_);
        throw CliError(path + " is not a VST 2.4 plug-in: it exports neither VSTPluginMain nor main");
    }
    {
        std::lock_guard<std::mutex> lock(registryMutex);
        creating = this;
    }
    AEffect* effect = entry(&PluginHost::callback);
    {
        std::lock_guard<std::mutex> lock(registryMutex);
        creating = nullptr;
        if (effect) registry.emplace_back(effect, this);
    }
    if (!effect || effect->magic != kEffectMagic) {
        if (effect) {
            std::lock_guard<std::mutex> lock(registryMutex);
            registry.pop_back();
        }
        dlclose(module_);
        throw CliError(path + " is not a VST 2.4 plug-in: its entry point gave no effect");
    }
    effect_ = effect;
    dispatch(effOpen);
}

PluginHost::~PluginHost() {
    stop();
    dispatch(effClose);
    {
        std::lock_guard<std::mutex> lock(registryMutex);
        for (auto it = registry.begin(); it != registry.end(); ++it)
            if (it->second == this) {
                registry.erase(it);
                break;
            }
    }
    dlclose(module_);
}

bool PluginHost::isOrvel() const { return effect_->uniqueID == kOrvelUniqueId; }

VstIntPtr PluginHost::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string PluginHost::text(VstInt32 opcode, VstInt32 index) {
    // Far more room than any text the interface allows, for plug-ins that overrun.
    char buffer[1024] = {};
    dispatch(opcode, index, 0, buffer);
    buffer[sizeof(buffer) - 1] = 0;
    return buffer;
}

void PluginHost::configure(int sampleRate, int blockSize, double tempo) {
    sampleRate_ = sampleRate;
    blockSize_ = blockSize;
    tempo_ = tempo;
    dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    dispatch(effSetBlockSize, 0, blockSize);
}

void PluginHost::start() {
    if (running_) return;
    dispatch(effMainsChanged, 0, 1);
    dispatch(effStartProcess);
    running_ = true;
    samplePosition_ = 0.0;
}

void PluginHost::stop() {
    if (!running_) return;
    dispatch(effStopProcess);
    dispatch(effMainsChanged, 0, 0);
    running_ = false;
}

void PluginHost::process(float** inputs, float** outputs, int frames) {
    // The transport runs in 4/4 from bar 1 at the given tempo.
    const double quarters = samplePosition_ / sampleRate_ * tempo_ / 60.0;
    time_ = VstTimeInfo{};
    time_.samplePos = samplePosition_;
    time_.sampleRate = sampleRate_;
    time_.ppqPos = quarters;
    time_.tempo = tempo_;
    time_.barStartPos = std::floor(quarters / 4.0) * 4.0;
    time_.timeSigNumerator = 4;
    time_.timeSigDenominator = 4;
    time_.flags = kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;

    if (effect_->flags & effFlagsCanReplacing) {
        effect_->processReplacing(effect_, inputs, outputs, frames);
    } else {
        // The old accumulating call adds to what the outputs hold.
        for (int ch = 0; ch < effect_->numOutputs; ++ch) std::memset(outputs[ch], 0, sizeof(float) * frames);
        effect_->process(effect_, inputs, outputs, frames);
    }
    samplePosition_ += frames;
}

std::vector<uint8_t> PluginHost::chunk() {
    void* data = nullptr;
    const VstIntPtr size = dispatch(effGetChunk, 1, 0, &data);
    if (size <= 0 || !data) return {};
    const auto* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

void PluginHost::setChunk(std::vector<uint8_t> bytes, bool isPreset) {
    dispatch(effSetChunk, isPreset ? 1 : 0, static_cast<VstIntPtr>(bytes.size()), bytes.data());
}

VstIntPtr VSTCALLBACK PluginHost::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                           void* ptr, float opt) {
    if (opcode == audioMasterVersion) return 2400;
    PluginHost* host = hostFor(effect);
    return host ? host->answer(opcode, index, value, ptr, opt) : 0;
}

VstIntPtr PluginHost::answer(VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
    switch (opcode) {
    case audioMasterCurrentId: return effect_ ? effect_->uniqueID : 0;
    case audioMasterGetTime: return reinterpret_cast<VstIntPtr>(&time_);
    case audioMasterGetSampleRate: return sampleRate_;
    case audioMasterGetBlockSize: return blockSize_;
    case audioMasterGetVendorString: copyText(ptr, "Tamblor orvel host", kVstMaxVendorStrLen); return 1;
    case audioMasterGetProductString: copyText(ptr, "orvel", kVstMaxProductStrLen); return 1;
    case audioMasterGetVendorVersion: return 1000;
    case audioMasterIOChanged: return 1;
    case kMasterGetCurrentProcessLevel: return kProcessLevelOffline;
    case kMasterGetAutomationState: return kAutomationOff;
    case kMasterGetLanguage: return kLanguageEnglish;
    case audioMasterCanDo: {
        const char* what = static_cast<const char*>(ptr);
        if (!what) return 0;
        for (const char* yes : {"sendVstTimeInfo", "startStopProcess"})
            if (std::strcmp(what, yes) == 0) return 1;
        return 0;
    }
    case kMasterWantMidi:
    default: return 0;
    }
}

void* PluginHost::symbol(const char* name) const { return module_ ? dlsym(module_, name) : nullptr; }
