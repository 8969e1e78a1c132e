// Arbitrary bytes as the settings file. The start-up routine must leave a
// store in which the first-run marker and the preset folder can be read,
// must not change the file when it runs a second time, and must keep every
// line it does not own. The same bytes as a value's text must come back
// unchanged through the file.
#include <cstdint>
#include <filesystem>
#include <string>

#include "FuzzSupport.h"
#include "state/RegistryText.h"
#include "state/Settings.h"
#include "state/SettingsKey.h"

namespace {

std::string settingsFile;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    check(config && config[0] == '/', "XDG_CONFIG_HOME must name a scratch folder");
    const std::string folder = std::string(config) + "/" + product::kVendor + "/" + product::kName;
    std::filesystem::create_directories(folder);
    settingsFile = folder + "/settings.reg";
    if (const char* dir = std::getenv("ORVEL_FUZZ_SEED_DIR")) {
        std::filesystem::remove(settingsFile);
        loadSettings();
        const std::string first = readText(settingsFile);
        writeFile(std::string(dir) + "/first-run", first.data(), first.size());
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    writeFile(settingsFile, text.data(), text.size());
    const GlobalSwitches s = loadSettings();
    check(s.ignorePrgChange == s.ignorePrgChange && s.ccMapRecallIsolate == s.ccMapRecallIsolate, "a NaN switch");
    int32_t firstUse = 0;
    std::string folder;
    check(readSettingInt("firstuse", firstUse) && firstUse != 0, "the first-run marker cannot be read back");
    check(readSettingString("presetpath0", folder), "the preset folder cannot be read back");
    const std::string once = readText(settingsFile);
    loadSettings();
    check(readText(settingsFile) == once, "a second start changed the settings");

    // every line the plug-in does not own is kept
    const std::string key = std::string("HKEY_CURRENT_USER\\Software\\") + product::kVendor + "\\" + product::kName;
    RegistryText parsed(text), after(once);
    check(!parsed.find("HKEY_CURRENT_USER\\Software\\Other", "x") ||
              after.find("HKEY_CURRENT_USER\\Software\\Other", "x")->text ==
                  parsed.find("HKEY_CURRENT_USER\\Software\\Other", "x")->text,
          "a value of another key changed");
    if (auto mine = parsed.find(key, "contentpath"))
        check(after.find(key, "contentpath") && after.find(key, "contentpath")->text == mine->text,
              "a value the plug-in only reads changed");

    // the bytes as a folder's name (up to a zero, which a C string cannot hold)
    const std::string value(text.c_str());
    check(writeSettingString("presetpath3", value.c_str()), "a value could not be written");
    std::string back;
    check(readSettingString("presetpath3", back), "a written value is missing");
    check(back == value, "a written value came back changed");
    return 0;
}
