#include "state/Settings.h"

#include <cstdint>
#include <string>

#include "state/PathText.h"
#include "state/SettingsKey.h"
#include "state/UserFolders.h"

namespace {

// Where this product keeps its presets below the content folder.
struct PresetLocation {
    const char* subfolder;
    const char* displayName;
    int32_t slot;
    bool withSaveSubfolder;
    const char* saveSubfolder;
};
constexpr PresetLocation kPresetLocation{"Presets", "Preset File", 0, true, "User"};

std::string slotName(const char* prefix, int32_t slot) { return prefix + std::to_string(slot); }

void writeFirstRunValues(SettingsKey& key) {
    key.writeInt("firstuse", 1);
    std::string content;
    key.readString("contentpath", content);
    // The installer writes the content folder with its separator; one it left
    // out would turn ".../Content" + "Presets" into a sibling folder.
    ensureTrailingSeparator(content);

    const PresetLocation& p = kPresetLocation;
    std::string presets = content + p.subfolder;
    ensureTrailingSeparator(presets);
    key.writeString(slotName("presetpath", p.slot).c_str(), presets.c_str());
    if (p.withSaveSubfolder) {
        std::string save = presets + p.saveSubfolder;
        ensureTrailingSeparator(save);
        key.writeString(slotName("presetsavepath", p.slot).c_str(), save.c_str());
    }

    std::string samples = content + "Samples";
    ensureTrailingSeparator(samples);
    samples += "Factory";
    key.writeString("audiofilepath", samples.c_str());

    key.writeInt("ignorePrgChange", 1);
    key.writeInt("CC Map Recall isolate", 0);
}

float readSwitch(SettingsKey& key, const char* name, int32_t fallback) {
    int32_t v = fallback;
    key.readInt(name, v);
    return static_cast<float>(v);
}

} // namespace

GlobalSwitches loadSettings(const char* productName) {
    SettingsKey key(productName);
    std::string working;
    if (!key.readString("installpath", working)) {
        working = defaultInstallPath(productName);
        key.writeString("installpath", working.c_str());
    }

    int32_t firstUse = 0;
    key.readInt("firstuse", firstUse);
    if (firstUse == 0) writeFirstRunValues(key);

    GlobalSwitches s;
    s.ignorePrgChange = readSwitch(key, "ignorePrgChange", 1);
    s.ccMapRecallIsolate = readSwitch(key, "CC Map Recall isolate", 0);
    s.midiAutomation = readSwitch(key, kMidiAutomationSetting, 0);

    std::string presets;
    if (!key.readString("presetpath0", presets)) {
        key.readString("presetpath", working); // when missing, the install path stays
        key.writeString("presetpath0", working.c_str());
    }
    return s;
}
