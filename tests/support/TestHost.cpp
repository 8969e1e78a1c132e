#include "support/TestHost.h"

#include <dlfcn.h>

#include <cstring>
#include <stdexcept>

namespace {
// The instance being created: the plug-in calls back before the host has had
// a chance to tag its effect record.
thread_local TestHost* g_creating = nullptr;
} // namespace

TestHost::TestHost(const std::string& modulePath) {
    module_ = dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module_) throw std::runtime_error(std::string("dlopen failed: ") + dlerror());
    entry_ = reinterpret_cast<EntryProc>(dlsym(module_, "VSTPluginMain"));
    legacyEntry_ = reinterpret_cast<EntryProc>(dlsym(module_, "main"));
    timeInfo.sampleRate = 44100.0;
    timeInfo.tempo = 120.0;
    timeInfo.timeSigNumerator = 4;
    timeInfo.timeSigDenominator = 4;
    timeInfo.flags = kVstTempoValid | kVstTransportPlaying;
}

TestHost::~TestHost() {
    close();
    if (module_) dlclose(module_);
}

AEffect* TestHost::open() { return openWith(entry_); }

AEffect* TestHost::openWith(EntryProc entry) {
    if (!entry) return nullptr;
    close();
    g_creating = this;
    effect_ = entry(&TestHost::hostCallback);
    g_creating = nullptr;
    if (effect_) effect_->user = this;
    return effect_;
}

VstIntPtr TestHost::close() {
    if (!effect_) return 0;
    const VstIntPtr answer = effect_->dispatcher(effect_, effClose, 0, 0, nullptr, 0.0f);
    effect_ = nullptr;
    return answer;
}

VstIntPtr TestHost::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void TestHost::setParameter(VstInt32 index, float value) { effect_->setParameter(effect_, index, value); }

float TestHost::getParameter(VstInt32 index) { return effect_->getParameter(effect_, index); }

void TestHost::processReplacing(float** inputs, float** outputs, VstInt32 frames) {
    effect_->processReplacing(effect_, inputs, outputs, frames);
}

void TestHost::processStereo(const std::vector<float>& inL, const std::vector<float>& inR,
                             std::vector<float>& outL, std::vector<float>& outR, int blockSize) {
    const size_t n = inL.size();
    outL.assign(n, 0.0f);
    outR.assign(n, 0.0f);
    std::vector<float> bl(static_cast<size_t>(blockSize)), br(static_cast<size_t>(blockSize));
    for (size_t pos = 0; pos < n; pos += static_cast<size_t>(blockSize)) {
        const size_t len = std::min(n - pos, static_cast<size_t>(blockSize));
        std::memcpy(bl.data(), inL.data() + pos, len * sizeof(float));
        std::memcpy(br.data(), inR.data() + pos, len * sizeof(float));
        float* ins[2] = {bl.data(), br.data()};
        float* outs[2] = {outL.data() + pos, outR.data() + pos};
        processReplacing(ins, outs, static_cast<VstInt32>(len));
    }
}

std::string TestHost::textOf(VstInt32 opcode, VstInt32 index) {
    char buf[512];
    std::memset(buf, 0, sizeof(buf));
    dispatch(opcode, index, 0, buf, 0.0f);
    buf[sizeof(buf) - 1] = 0;
    return buf;
}

std::vector<HostCall> TestHost::calls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
}

int TestHost::countCalls(VstInt32 opcode) const {
    std::lock_guard<std::mutex> lock(mutex_);
    int n = 0;
    for (const HostCall& c : calls_)
        if (c.opcode == opcode) ++n;
    return n;
}

void TestHost::clearCalls() {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.clear();
}

VstIntPtr TestHost::hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt) {
    TestHost* host = (effect && effect->user) ? static_cast<TestHost*>(effect->user) : g_creating;
    if (!host) return 0;
    return host->answer(opcode, index, value, ptr, opt);
}

VstIntPtr TestHost::answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.push_back({opcode, index, value, opt});
    }
    switch (opcode) {
    case audioMasterVersion: return masterVersion;
    case audioMasterGetVendorString:
        std::strncpy(static_cast<char*>(ptr), vendor.c_str(), 63);
        return 1;
    case audioMasterGetProductString:
        std::strncpy(static_cast<char*>(ptr), product.c_str(), 63);
        return 1;
    case audioMasterGetTime: return provideTime ? reinterpret_cast<VstIntPtr>(&timeInfo) : 0;
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
    case audioMasterAutomate:
    case audioMasterUpdateDisplay:
    case audioMasterIdle: return 1;
    default: return 0;
    }
}
