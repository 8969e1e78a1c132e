// Arbitrary bytes as a host chunk and as a preset body. Whatever the reader
// takes from them must leave the plug-in able to process, must never leave
// the audio or the MIDI path shut out, and must write back as a layout that
// a second instance reads into exactly the same state.
//
// With ORVEL_FUZZ_SEED_DIR set, the first run writes a few valid layouts
// there as a starting corpus.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "gui/MessageBox.h"
#include "plugin/ZuUniClient.h"

namespace {

ZuUniClient* makeClient() { return static_cast<ZuUniClient*>(createEffectInstance(fuzzHost)); }

std::vector<uint8_t> chunkOf(ZuUniClient& c) {
    void* data = nullptr;
    const VstInt32 bytes = c.getChunk(&data, false);
    const auto* p = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(p, p + bytes);
}

void writeSeed(const std::string& dir, const char* name, const std::vector<uint8_t>& bytes) {
    writeFile(dir + "/" + name, bytes.data(), bytes.size());
}

void writeSeeds(const std::string& dir) {
    ZuUniClient* c = makeClient();
    writeSeed(dir, "default", chunkOf(*c));
    c->ccMap.lists[7] = {{5, 0}, {-1, 3}};
    c->ccMap.lists[127] = {{2, 1}};
    c->ccMap.extraAssignments = {{11, 2}};
    c->presetName = "Seed Preset";
    std::vector<uint8_t> full = chunkOf(*c);
    writeSeed(dir, "maps-and-name", full);
    // The same with layout version 2 (single-word entries read) and tail version 13.
    full[7 * 4] = 2;
    writeSeed(dir, "layout-2", full);
    c->ccMap = ControllerMap();
    std::vector<uint8_t> plain = chunkOf(*c);
    plain[154 * 4] = 13;
    plain.resize(157 * 4);
    writeSeed(dir, "tail-13", plain);
    delete c;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setMessageRecorder([](const std::string&) {});
    if (const char* dir = std::getenv("ORVEL_FUZZ_SEED_DIR")) writeSeeds(dir);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ZuUniClient* subject = makeClient();
    static ZuUniClient* mirror = makeClient();

    // An exactly sized copy, so that any read past the end is caught.
    std::vector<uint8_t> host(data, data + size);
    subject->ccMapRecallIsolate = size % 3 == 1 ? 1.0f : 0.0f;
    check(subject->setChunk(host.data(), static_cast<VstInt32>(size), false) == 1, "setChunk answered 0");
    {
        ZuChunk preset(host.data(), size); // the preset-file road: no force, quiet
        subject->readState(preset, false, true, false);
    }
    check(!subject->loadInProgress.load() && !subject->ccMapLock.load(), "a flag was left raised");

    float in[64], outL[64], outR[64];
    for (int i = 0; i < 64; ++i) in[i] = (i % 7 - 3) * 0.1f;
    float* ins[2] = {in, in};
    float* outs[2] = {outL, outR};
    subject->processReplacing(ins, outs, 64);

    subject->ccMapRecallIsolate = 0.0f;
    const std::vector<uint8_t> first = chunkOf(*subject);
    std::vector<uint8_t> copy = first;
    mirror->setChunk(copy.data(), static_cast<VstInt32>(copy.size()), false);
    check(chunkOf(*mirror) == first, "a written state did not read back the same");
    return 0;
}
