#include "editor/ZuPresetMenu.h"

#include <algorithm>
#include <cstring>

#include "gui/CFrame.h"
#include "plugin/ZuUniClient.h"
#include "state/PathText.h"
#include "state/ZuFileio.h"

namespace {

const char* const kNone = "none";

int compareFolded(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

// The preset name of a file name "<name>.<extension>", or false. A name
// without the dot, or with nothing before it, is not a preset file.
bool presetName(const std::string& file, const std::string& extension, std::string& out) {
    if (extension.empty() || file.size() < extension.size() + 2) return false;
    const size_t cut = file.size() - extension.size() - 1;
    if (file[cut] != '.' || file.compare(cut + 1, std::string::npos, extension) != 0) return false;
    out = file.substr(0, cut);
    return true;
}

} // namespace

ZuPresetMenu::ZuPresetMenu(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                           uint32_t style)
    : ZuOptionMenu(size, listener, tag, background, style) {}

int32_t ZuPresetMenu::fixedEntryCount() const {
    const uint32_t s = getStyle();
    return int32_t((s & kHasSelectFolder) != 0) + int32_t((s & kHasSavePreset) != 0) +
           int32_t((s & kHasLoadPreset) != 0) + int32_t((s & kHasTitle) != 0);
}

void ZuPresetMenu::build(const char* folderPath, const char* extension) {
    if (!(getStyle() & kListsFiles)) return;
    if (folderPath) {
        folder_ = folderPath;
        ensureTrailingSeparator(folder_); // an empty folder stays empty: it must not become the root
    }
    extension_ = extension ? extension : "";
    ZuCharList files, listing;
    if (!folder_.empty()) {
        ZuFileio::listFiles(folder_, files);
        ZuFileio::listDirectory(folder_, listing);
    }
    buildEntries(files, listing);
}

void ZuPresetMenu::buildEntries(const ZuCharList& files, const ZuCharList& listing) {
    removeAllEntries(); // value 0, nothing chosen
    chosenPath_ = kNone;
    const uint32_t s = getStyle();
    const bool brackets = (s & kBracketedCommands) != 0;
    if (s & kHasSelectFolder) addEntry(brackets ? "[Select Folder]" : "Select Folder", kSelectFolderValue);
    if (s & kHasSavePreset) addEntry(brackets ? "[Save Preset]" : "Save Preset", kSavePresetValue);
    if (s & kHasLoadPreset) addEntry(brackets ? "[Load Preset]" : "Load Preset", kLoadPresetValue);
    if (s & kHasTitle) addEntry("--Presets--", kTitleValue, kZuEntryTitle);
    const int32_t fixed = fixedEntryCount();

    std::vector<std::string> names;
    for (int32_t i = 0; i < files.count() && i < kMaxNames; ++i) names.emplace_back(files.name(i));
    if (s & kSortsFiles)
        std::stable_sort(names.begin(), names.end(),
                         [](const std::string& a, const std::string& b) { return compareFolded(a, b) < 0; });
    std::string name;
    for (size_t k = 0; k < names.size(); ++k)
        if (presetName(names[k], extension_, name)) addEntry(name, fixed + int32_t(k));

    // sub-folders after the files, valued after every considered name
    int32_t next = fixed + int32_t(names.size());
    for (int32_t i = 0; i < listing.count(); ++i) {
        if (!listing.isDirectory(i)) continue;
        auto sub = std::make_unique<ZuPresetMenu>(getViewSize(), getListener(), getTag(), nullptr, kSubMenuStyle);
        sub->setFont(getFont());
        const std::string path = folder_ + listing.name(i);
        sub->build(path.c_str(), extension_.c_str());
        addSubMenu(listing.name(i), std::move(sub), next++);
    }
}

void ZuPresetMenu::entryChosen() { chosenPath_ = kNone; }

void ZuPresetMenu::subMenuChosen(ZuOptionMenu* child) {
    if (auto* sub = dynamic_cast<ZuPresetMenu*>(child)) chosenPath_ = sub->fileOfChoice(extension_.c_str());
}

std::string ZuPresetMenu::entryFile(const char* extension) const {
    // the entry holding the menu's value (its index differs once names were skipped)
    const int32_t value = int32_t(getValue());
    const ZuOptionMenuEntryInfo* e = getEntry(findValue(value));
    if (!e || !e->canBeChosen() || value < fixedEntryCount()) return std::string();
    return folder_ + e->text + "." + (extension ? extension : "");
}

std::string ZuPresetMenu::fileOfChoice(const char* extension) const {
    return chosenPath_ != kNone ? chosenPath_ : entryFile(extension);
}

bool ZuPresetMenu::chosenFilePath(std::string& out, const char* extension) const {
    std::string path = (getStyle() & kReportsSubMenuPath) && chosenPath_ != kNone ? chosenPath_ : entryFile(extension);
    if (path.empty()) return false;
    out = std::move(path);
    return true;
}

void performPresetMenuAction(ZuPresetMenu& menu, ZuUniClient& plugin, const std::vector<ZuPresetMenu*>& menus) {
    auto rebuildAll = [&menus] {
        for (ZuPresetMenu* m : menus)
            if (m) m->build(nullptr, m->getExtension().c_str());
    };
    const int32_t v = int32_t(menu.getValue());
    const uint32_t style = menu.getStyle();
    if (v == ZuPresetMenu::kSelectFolderValue && (style & ZuPresetMenu::kHasSelectFolder)) {
        std::string folder;
        if (plugin.selectPresetFolder(folder, 0)) rebuildAll();
    } else if (v == ZuPresetMenu::kSavePresetValue && (style & ZuPresetMenu::kHasSavePreset)) {
        plugin.savePresetFile(nullptr, 0, "zuo", 0);
        rebuildAll();
    } else if (v == ZuPresetMenu::kLoadPresetValue && (style & ZuPresetMenu::kHasLoadPreset)) {
        plugin.loadPresetFile(nullptr, 0, "zuo", 0);
    } else {
        std::string path;
        if (menu.chosenFilePath(path, "zuo")) {
            plugin.loadPresetFile(path.c_str(), 0, nullptr, 0);
            plugin.updateDisplay();
        }
    }
    if (CFrame* frame = menu.getFrame()) frame->setDirty(true);
    menu.setDirty(true);
}
