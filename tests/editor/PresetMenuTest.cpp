// The preset menu: entries and values from folder listings, sub-menus from
// disk, the chosen file, and the actions through scripted dialogs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ControlRig.h"
#include "editor/ZuPresetMenu.h"
#include "gui/FileDialog.h"
#include "params/ParameterTags.h"
#include "plugin/ZuUniClient.h"
#include "state/SettingsKey.h"
#include "state/ZuFileio.h"
#include "support/SettingsSandbox.h"
#include "support/StateWords.h"

namespace fs = std::filesystem;

namespace {

const CRect kPresetRect(30, 25, 120, 43);

struct Entry {
    std::string text;
    int32_t value;
    bool sub;
    bool operator==(const Entry&) const = default;
};

std::vector<Entry> entriesOf(const ZuOptionMenu& m) {
    std::vector<Entry> out;
    for (int32_t i = 0; i < m.getNbEntries(); ++i)
        out.push_back({m.getEntry(i)->text, m.getEntry(i)->value, m.getEntry(i)->subMenu != nullptr});
    return out;
}

ZuOptionMenu* subMenuNamed(const ZuOptionMenu& m, const std::string& text) {
    for (int32_t i = 0; i < m.getNbEntries(); ++i)
        if (m.getEntry(i)->text == text) return m.getEntry(i)->subMenu.get();
    return nullptr;
}

std::vector<Entry> fixedAnd(std::vector<Entry> more) {
    std::vector<Entry> all = {
        {"Select Folder", 0, false}, {"Save Preset", 1, false}, {"Load Preset", 2, false}, {"--Presets--", 3, false}};
    all.insert(all.end(), more.begin(), more.end());
    return all;
}

void touch(const std::string& path) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path) << "x";
}

// A settings store with a preset folder, a plug-in and dialogs answered by script.
struct PresetRig {
    SettingsSandbox sandbox;
    std::string folder = sandbox.root() + "/Presets/Bank/";
    std::unique_ptr<ZuUniClient> plugin;
    std::vector<FileDialogRequest> requests;
    std::vector<std::string> answers; // one per dialog; "" cancels
    FileDialogHandler previous;

    PresetRig() {
        fs::create_directories(folder);
        writeSettingInt("firstuse", 1);
        writeSettingString("presetpath0", (sandbox.root() + "/Presets/").c_str());
        plugin = DirectHost::create();
        previous = setFileDialogHandler([this](const FileDialogRequest& r, std::string& out) {
            requests.push_back(r);
            out = answers.empty() ? "" : answers.front();
            if (!answers.empty()) answers.erase(answers.begin());
            return !out.empty();
        });
    }
    ~PresetRig() { setFileDialogHandler(previous); }
    void act(ZuPresetMenu& m, int32_t entry, const std::string& answer, const std::vector<ZuPresetMenu*>& menus) {
        answers = {answer};
        m.choose(entry);
        performPresetMenuAction(m, *plugin, menus);
    }
};

} // namespace

TEST(PresetMenu, ListingsGiveSortedEntriesWhoseValuesCountSkippedNames) {
    using S = ZuPresetMenu::Style;
    const uint32_t bracketed = S::kListsFiles | S::kSortsFiles | S::kHasSavePreset | S::kBracketedCommands;
    const struct {
        std::vector<std::string> names;
        uint32_t style;
        std::vector<Entry> expected;
    } cases[] = {
        {{"A.zuo", "notes.txt", "C.zuo"}, ZuPresetMenu::kEditorStyle, fixedAnd({{"A", 4, false}, {"C", 6, false}})},
        // names that are not "<name>.zuo" are skipped but still counted
        {{"zuo", ".zuo", "bzuo", "A.ZUO", "x.zuo.bak", "D.zuo"}, ZuPresetMenu::kEditorStyle, fixedAnd({{"D", 9, false}})},
        // case folded; '_' (0x5F) sorts after the folded letters
        {{"beta.zuo", "Alpha.zuo", "gamma.zuo", "_x.zuo"}, bracketed,
         {{"[Save Preset]", 1, false}, {"Alpha", 1, false}, {"beta", 2, false}, {"gamma", 3, false}, {"_x", 4, false}}},
    };
    for (const auto& c : cases) {
        ZuCharList files;
        for (const std::string& n : c.names) files.add(n, false);
        ZuPresetMenu m(kPresetRect, nullptr, 76, nullptr, c.style);
        m.buildEntries(files, ZuCharList());
        EXPECT_EQ(entriesOf(m), c.expected) << c.names[0];
    }
    // only the first 128 names are considered
    ZuCharList many;
    for (int i = 0; i < 130; ++i) many.add("p" + std::to_string(1000 + i) + ".zuo", false);
    ZuPresetMenu m(kPresetRect, nullptr, 76);
    m.buildEntries(many, ZuCharList());
    ASSERT_EQ(m.getNbEntries(), 4 + 128);
    EXPECT_EQ(entriesOf(m).back(), (Entry{"p1127", 131, false}));
    EXPECT_FALSE(m.getEntry(3)->canBeChosen()); // the title
    // without the listing bit a build does nothing
    ZuPresetMenu idle(kPresetRect, nullptr, 76, nullptr, S::kHasSelectFolder);
    idle.addEntry("kept", 9);
    idle.build("/nowhere", "zuo");
    EXPECT_EQ(idle.getNbEntries(), 1);
}

TEST(PresetMenu, BuildFromDiskPutsSortedSubFoldersAfterTheFiles) {
    SettingsSandbox sandbox;
    const std::string root = sandbox.root() + "/Bank";
    for (const char* f : {"one.zuo", "two.zuo", "S1/gamma.zuo", "S1/beta.zuo", "S1/Alpha.zuo", "S1/read.txt", "S2/Deep/z.zuo"})
        touch(root + "/" + f);
    ControlRig rig;
    auto* m = rig.add(new ZuPresetMenu(kPresetRect, &rig.log, 76));
    m->build(root.c_str(), "zuo");
    EXPECT_EQ(m->getFolderPath(), root + "/");

    // the files, then the folders, each sorted
    EXPECT_EQ(entriesOf(*m), fixedAnd({{"one", 4, false}, {"two", 5, false}, {"S1", 6, true}, {"S2", 7, true}}));
    ZuOptionMenu* sub = subMenuNamed(*m, "S1");
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(entriesOf(*sub), (std::vector<Entry>{{"Alpha", 0, false}, {"beta", 1, false}, {"gamma", 2, false}}));

    // a file chosen in a sub-menu, two levels down, or at the top is the top menu's chosen file
    std::string path;
    ASSERT_TRUE(sub->choose(1));
    ASSERT_TRUE(m->chosenFilePath(path, "zuo"));
    EXPECT_EQ(path, root + "/S1/beta.zuo");
    EXPECT_EQ(rig.log.entries, std::vector<std::string>{"v76"});
    ASSERT_NE(subMenuNamed(*m, "S2"), nullptr);
    ASSERT_TRUE(subMenuNamed(*m, "S2")->getEntry(0)->subMenu->choose(0));
    ASSERT_TRUE(m->chosenFilePath(path, "zuo"));
    EXPECT_EQ(path, root + "/S2/Deep/z.zuo");
    ASSERT_TRUE(m->choose(m->findValue(5)));
    ASSERT_TRUE(m->chosenFilePath(path, "zuo"));
    EXPECT_EQ(path, root + "/two.zuo");

    // a folder that cannot be listed, or none at all: only the commands
    m->build((root + "/missing").c_str(), "zuo");
    EXPECT_EQ(entriesOf(*m), fixedAnd({}));
    EXPECT_FALSE(m->chosenFilePath(path, "zuo"));
    m->build("", "zuo");
    EXPECT_EQ(m->getFolderPath(), ""); // not the root
}

TEST(PresetMenu, SaveLoadAndSelectFolderThroughTheDialogs) {
    PresetRig t;
    ZuPresetMenu m(kPresetRect, nullptr, 76), other(kPresetRect, nullptr, 76);
    m.build(t.folder.c_str(), "zuo");
    other.build(t.folder.c_str(), "zuo");
    const std::vector<ZuPresetMenu*> menus{&m, &other};

    // save: the dialog picks the file, every menu lists it afterwards
    t.plugin->setParameter(kTagMaster, 0.7f);
    t.act(m, 1, t.folder + "Mine.zuo", menus);
    ASSERT_EQ(t.requests.size(), 1u);
    EXPECT_EQ(t.requests[0].kind, FileDialogKind::Save);
    EXPECT_EQ(t.requests[0].extension, "zuo");
    EXPECT_EQ(entriesOf(m), fixedAnd({{"Mine", 4, false}}));
    EXPECT_EQ(entriesOf(other), fixedAnd({{"Mine", 4, false}}));
    touch(t.folder + "later.zuo"); // appears only after a rebuild
    t.act(m, 1, "", menus);          // a cancelled save writes nothing but still rebuilds
    EXPECT_EQ(m.getNbEntries(), 6);

    // load: the dialog picks the file; cancelled, nothing changes
    t.plugin->setParameter(kTagMaster, 0.1f);
    t.act(m, 2, t.folder + "Mine.zuo", menus);
    EXPECT_EQ(t.requests.back().kind, FileDialogKind::Open);
    EXPECT_FLOAT_EQ(t.plugin->getParameter(kTagMaster), 0.7f);
    t.plugin->setParameter(kTagMaster, 0.1f);
    t.act(m, 2, "", menus);
    EXPECT_FLOAT_EQ(t.plugin->getParameter(kTagMaster), 0.1f);

    // select folder: stored, and the menus rebuilt on the folder they list
    touch(t.folder + "latest.zuo");
    t.act(m, 0, "", menus); // cancelled: no rebuild
    EXPECT_EQ(m.getNbEntries(), 6);
    const std::string chosen = t.sandbox.root() + "/Elsewhere";
    touch(chosen + "/Bank2/x.zuo");
    t.act(m, 0, chosen, menus);
    EXPECT_EQ(t.requests.back().kind, FileDialogKind::Folder);
    std::string stored;
    ASSERT_TRUE(readSettingString("presetpath0", stored));
    EXPECT_EQ(stored, chosen + "/");
    EXPECT_EQ(m.getFolderPath(), t.folder);
    EXPECT_EQ(m.getNbEntries(), 7);
}
