// Preset files, host program changes over the program list, the preset
// folder choice and the start-up load of the default preset.
#include <cstdio>
#include <filesystem>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "gui/Alerts.h"
#include "gui/FileDialog.h"
#include "plugin/ProductIdentity.h"
#include "plugin/ZuUniClient.h"
#include "state/AtomicFile.h"
#include "state/PathText.h"
#include "state/PresetFile.h"
#include "state/SettingsKey.h"
#include "state/StoredState.h"
#include "state/ZuFileio.h"

namespace {

constexpr const char* kPresetExtension = "zuo";
constexpr const char* kPresetFileType = "Preset file";
constexpr const char* kNoChoice = "EMPTY"; // what a dialog without a choice may hand back

std::string folderSettingName(const char* prefix, int32_t slot) {
    char name[64];
    std::snprintf(name, sizeof(name), "%s%d", prefix, static_cast<int>(slot));
    return name;
}

bool askUser(FileDialogKind kind, const char* title, const char* extension, const std::string& folder,
             std::string& out) {
    FileDialogRequest r;
    r.kind = kind;
    r.title = title;
    r.folder = folder;
    if (kind != FileDialogKind::Folder) {
        r.fileType = kPresetFileType;
        r.extension = extension && *extension ? extension : kPresetExtension;
    }
    return runFileDialog(r, out) && !out.empty() && out != kNoChoice;
}

// The file's name without its folder and extension.
std::string presetNameOfFile(const std::string& file) {
    const size_t separator = file.find_last_of("/\\:");
    const size_t start = separator == std::string::npos ? 0 : separator + 1;
    const size_t dot = file.find_last_of('.');
    return file.substr(start, dot != std::string::npos && dot > start ? dot - start : std::string::npos);
}

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool isFolder(const std::string& path) {
    std::error_code e;
    return !path.empty() && std::filesystem::is_directory(path, e);
}

} // namespace

// The dialogs open where the musician's presets are, never in the host's
// working folder: the folder of the preset loaded now, else the program
// list's current folder, else preset folder slot 0.
std::string ZuUniClient::presetDialogFolder() const {
    if (!presetPath.empty()) {
        const std::string folder = std::filesystem::path(presetPath).parent_path().string();
        if (isFolder(folder)) return folder;
    }
    if (presetFolderIndex >= 0 && presetFolderIndex < programList_.folderCount()) {
        const std::string folder = programList_.root() + programList_.folderName(presetFolderIndex);
        if (isFolder(folder)) return folder;
    }
    std::string slot0;
    if (readSettingString("presetpath0", slot0) && isFolder(slot0)) return slot0;
    return {};
}

bool ZuUniClient::loadPresetFile(const char* path, int32_t group, const char* extension, int32_t) {
    std::string file;
    if (path)
        file = path;
    else if (!askUser(FileDialogKind::Open, "Choose a file to load", extension, presetDialogFolder(), file))
        return false;
    if (file.size() < 2) return false;

    uint8_t header[kPresetHeaderBytes];
    if (!readPresetHeader(file, header)) return false;
    ZuChunk headerChunk(header, sizeof(header));
    if (!headerChunk.readHeader(false)) return false;
    if (headerChunk.productVersion > kProductVersion) {
        alertBox("preset was written with a newer version of %s", product::kName);
        return false;
    }
    std::vector<uint8_t> content;
    if (!readPresetContent(file, headerChunk.totalWords, content)) return false;
    ZuChunk chunk(content.data(), content.size());
    const bool applied = readState(chunk, false, false, false);
    if (applied) presetPath = file;

    if (group == 0) {
        const int32_t folder = programList_.findFolder(containingFolderName(file));
        if (folder >= 0) {
            presetFolderIndex = folder;
            const int32_t index = programList_.findEntry(folder, presetName);
            if (index >= 0) curProgram = index;
        }
    }
    updateDisplay();
    return applied;
}

bool ZuUniClient::savePresetFile(const char* path, int32_t, const char* extension, int32_t) {
    std::string file;
    if (path) {
        file = path;
    } else {
        if (!askUser(FileDialogKind::Save, "Save preset file", extension, presetDialogFolder(), file)) return false;
        const std::string suffix = std::string(".") + (extension && *extension ? extension : kPresetExtension);
        if (!endsWith(file, suffix)) file += suffix;
    }
    if (file.empty()) return false;
    // Saved under a name the user chose, the preset takes that name, as the
    // program list will call it; a failed save keeps the name it had.
    const std::string previousName = presetName;
    const bool renamed = !path && !presetNameOfFile(file).empty();
    if (renamed) presetName = presetNameOfFile(file);
    ZuChunk chunk; // not the host's chunk buffer, which the host may still hold
    const int32_t bytes = serializeState(chunk);
    if (!writeFileAtomically(file, chunk.data(), static_cast<size_t>(bytes))) {
        presetName = previousName;
        alertBox("The preset could not be saved to\n%s\nThe folder may be missing or write-protected, or the "
                 "disk full. An existing file of that name is unchanged.",
                 file.c_str());
        return false;
    }
    presetPath = file;
    return true;
}

void ZuUniClient::lookUpPresetPath() {
    std::string root;
    if (readSettingString("presetpath0", root))
        presetPath = ZuFileio::findFileInTree(root, presetName + "." + kPresetExtension);
}

void ZuUniClient::setProgram(VstInt32 program) {
    if (program == curProgram) return;
    curProgram = program;
    PresetEntry* e = programList_.entry(presetFolderIndex, program);
    // Stepping past either end of a folder passes over empty folders (a fresh
    // "User" folder), which would otherwise hide every folder behind them.
    const int32_t folders = programList_.folderCount();
    if (!e && program >= 0) {
        int32_t next = presetFolderIndex + 1;
        while (next < folders && programList_.entryCount(next) == 0) ++next;
        if (next >= folders) {
            next = 0;
            while (next < folders && programList_.entryCount(next) == 0) ++next;
            if (next >= folders) next = 0;
        }
        e = programList_.entry(next, 0);
        presetFolderIndex = next;
        curProgram = 0;
    } else if (!e) {
        int32_t previous = presetFolderIndex;
        for (int32_t tries = 0; tries < folders; ++tries) {
            previous = previous > 0 && previous <= folders ? previous - 1 : folders - 1;
            if (programList_.entryCount(previous) > 0) break;
        }
        presetFolderIndex = previous;
        curProgram = programList_.entryCount(presetFolderIndex) - 1;
        e = programList_.entry(presetFolderIndex, curProgram);
        if (curProgram == -1) curProgram = 0;
    }
    if (!e) return;
    // A preset the reader refuses keeps the current name as well as the state.
    if (!readState(e->chunk, false, false, false)) return;
    presetName = e->name;
    lookUpPresetPath();
}

void ZuUniClient::getProgramName(char* name) {
    if (!name) return;
    if (curProgram == 0 || curProgram == -1)
        vstStrncpy(name, presetName.c_str(), kVstMaxProgNameLen + 1);
    else
        programList_.entryName(name, presetFolderIndex, curProgram, kVstMaxProgNameLen + 1);
}

bool ZuUniClient::getProgramNameIndexed(VstInt32, VstInt32 index, char* text) {
    if (!text) return true;
    if (index == -1)
        vstStrncpy(text, presetName.c_str(), kVstMaxProgNameLen + 1);
    else
        programList_.entryName(text, presetFolderIndex, index, kVstMaxProgNameLen + 1);
    return true;
}

void ZuUniClient::announcePrograms(int32_t count) {
    setNumPrograms(count);
    cEffect.numPrograms = count;
}

bool ZuUniClient::selectPresetFolder(std::string& outPath, int32_t slot) {
    std::string folder;
    std::string current;
    if (!readSettingString(folderSettingName("presetpath", slot).c_str(), current) || !isFolder(current))
        current = presetDialogFolder();
    if (!askUser(FileDialogKind::Folder, "Choose Preset Directory", nullptr, current, folder)) return false;
    ensureTrailingSeparator(folder);
    writeSettingString(folderSettingName("presetpath", slot).c_str(), folder.c_str());
    if (slot == 0) writeSettingString("presetpath", folder.c_str());
    outPath = folder;
    if (slot == 0) {
        programList_.scan(folder);
        // No folder of the list is current past the 128 slots: nothing to offer.
        announcePrograms(presetFolderIndex >= kMaxPresetFolders ? 0 : programList_.entryCount(presetFolderIndex));
        updateDisplay();
    }
    return true;
}

void ZuUniClient::readPresetFolderSetting(std::string& out, int32_t slot) {
    readSettingString(folderSettingName("presetpath", slot).c_str(), out);
}

void ZuUniClient::loadRandomPreset() {
    std::vector<int32_t> candidates;
    for (int32_t f = 0; f < programList_.folderCount() && f < kMaxPresetFolders; ++f)
        if (programList_.entryCount(f) > 1) candidates.push_back(f);
    if (candidates.empty()) return;
    std::minstd_rand random(static_cast<std::minstd_rand::result_type>(std::time(nullptr)));
    const int32_t folder = candidates[random() % candidates.size()];
    const int32_t index = static_cast<int32_t>(random() % static_cast<uint32_t>(programList_.entryCount(folder)));
    if (PresetEntry* e = programList_.entry(folder, index)) readState(e->chunk, false, false, true);
}

void ZuUniClient::loadStartupPresets() {
    std::string root;
    readSettingString("presetpath0", root);
    ensureTrailingSeparator(root);
    // Without a preset folder there is no default preset (and no reason to
    // look for one in whatever the host's working folder is).
    if (!root.empty()) loadPresetFile((root + "default." + kPresetExtension).c_str(), 0, nullptr, 0);
    presetFolderIndex = 0;
    programList_.scan(root);
    // A folder without presets (a fresh "User") listed first would offer the
    // host no programs at all: start in the first folder that has some.
    for (int32_t f = 0; f < programList_.folderCount(); ++f)
        if (programList_.entryCount(f) > 0) {
            presetFolderIndex = f;
            break;
        }
    announcePrograms(kNumPrograms);
}
