// The editor's preset browser: an option menu built from a folder on disk,
// with the preset files of the folder as entries, one sub-menu per
// sub-folder, and the fixed command entries its style asks for.
#pragma once

#include <string>
#include <vector>

#include "editor/ZuOptionMenu.h"

class ZuCharList;
class ZuUniClient;

class ZuPresetMenu : public ZuOptionMenu {
public:
    enum Style : uint32_t {
        kListsFiles = 0x8,
        kHasSelectFolder = 0x10,
        kReportsSubMenuPath = 0x20,
        kHasSavePreset = 0x80,
        kHasTitle = 0x100,
        kHasLoadPreset = 0x800,
        kSortsFiles = 0x1000,
        kBracketedCommands = 0x400000,
    };
    static constexpr uint32_t kEditorStyle = 0x49F8;
    static constexpr uint32_t kSubMenuStyle = 0x3009;
    enum FixedValue : int32_t { kSelectFolderValue = 0, kSavePresetValue = 1, kLoadPresetValue = 2, kTitleValue = 3 };
    static constexpr int32_t kMaxNames = 128; // names of a listing that are considered

    ZuPresetMenu(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background = nullptr,
                 uint32_t style = kEditorStyle);

    // Rebuilds the entries from disk. folderPath null keeps the folder listed
    // now; an empty one lists nothing.
    void build(const char* folderPath, const char* extension);
    // The entries from given listings of the folder: its files, and every
    // entry with directory flags (only the folders are used).
    void buildEntries(const ZuCharList& files, const ZuCharList& listing);

    const std::string& getFolderPath() const { return folder_; }
    const std::string& getExtension() const { return extension_; }
    const std::string& getChosenPath() const { return chosenPath_; }
    int32_t fixedEntryCount() const;

    // The file of the current choice: with style 0x20 a file chosen in a
    // sub-menu, otherwise folder + the chosen entry's text + "." + extension.
    // False when there is no file entry of the menu's value.
    bool chosenFilePath(std::string& out, const char* extension) const;

    // Always the shown text (the editor keeps it at the loaded preset's name):
    // a command or file entry once chosen says nothing about what is loaded.
    std::string getShownText() const override { return shownText(); }

protected:
    void entryChosen() override;
    void subMenuChosen(ZuOptionMenu* child) override;

private:
    // The file entry of the menu's value, or "".
    std::string entryFile(const char* extension) const;
    // The choice's file whatever the style says.
    std::string fileOfChoice(const char* extension) const;

    std::string folder_;
    std::string extension_ = "zuo";
    std::string chosenPath_ = "none";
};

// What choosing value v of the editor's preset menu does: pick the preset
// folder, save or load through the dialogs, or load the chosen file; the
// commands that change the disk rebuild every menu of `menus`. Then the
// whole frame redraws.
void performPresetMenuAction(ZuPresetMenu& menu, ZuUniClient& plugin, const std::vector<ZuPresetMenu*>& menus);
