// Arbitrary bytes as a preset file on disk, read by the program list's scan
// and by the preset loader. The scan must list the file exactly when its
// header, its announced length and its kind and product code are sound (an
// oracle written here from the file format, apart from the reader), keep
// the announced bytes unchanged, and neither road may leave the audio or the
// MIDI path shut out (what the applied state sounds like is the chunk
// fuzzer's part).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "gui/MessageBox.h"
#include "plugin/ZuUniClient.h"
#include "state/PresetFile.h"

namespace {

int32_t wordAt(const uint8_t* data, size_t size, size_t index) {
    if (4 * index + 4 > size) return 0;
    int32_t w;
    std::memcpy(&w, data + 4 * index, 4);
    return w;
}

bool listable(const uint8_t* data, size_t size) {
    if (size < 20 || wordAt(data, size, 4) != kStateMagic) return false;
    const int32_t total = wordAt(data, size, 0);
    if (total < kStateHeaderWords || total > kMaxPresetWords || size < 4 * static_cast<size_t>(total)) return false;
    const size_t words = static_cast<size_t>(total);
    const int32_t layout = wordAt(data, size, 7);
    if (words < 8 || wordAt(data, size, 6) < 1) return false;
    return layout <= 1 || (words >= 9 && wordAt(data, size, 8) == 41);
}

std::string root;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setMessageRecorder([](const std::string&) {});
    const char* home = std::getenv("HOME");
    root = std::string(home ? home : "/tmp") + "/fuzz-presets/";
    std::filesystem::create_directories(root + "Bank");
    if (const char* dir = std::getenv("ORVEL_FUZZ_SEED_DIR")) {
        ZuUniClient* c = static_cast<ZuUniClient*>(createEffectInstance(fuzzHost));
        c->presetName = "Seed";
        c->savePresetFile((std::string(dir) + "/seed.zuo").c_str());
        delete c;
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ZuUniClient* subject = static_cast<ZuUniClient*>(createEffectInstance(fuzzHost));
    const std::string file = root + "Bank/p.zuo";
    writeFile(file, data, size);

    ProgramList& list = subject->programList();
    list.scan(root);
    check(list.folderCount() == 1, "the one folder was not listed");
    PresetEntry* e = list.entry(0, 0);
    check((e != nullptr) == listable(data, size), "the scan disagrees with the format on listing the file");
    if (e) {
        check(e->name == "p", "the entry is misnamed");
        check(e->bytes.size() == 4 * static_cast<size_t>(wordAt(data, size, 0)) &&
                  std::memcmp(e->bytes.data(), data, e->bytes.size()) == 0,
              "the entry does not hold the announced bytes");
        subject->setProgram(1);
        subject->setProgram(0);
    }
    subject->loadPresetFile(file.c_str());
    check(!subject->loadInProgress.load() && !subject->ccMapLock.load(), "a flag was left raised");
    return 0;
}
