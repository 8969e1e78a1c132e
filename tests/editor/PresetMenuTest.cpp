// The preset menu: entries and values from folder listings, sub-menus from
// disk, the chosen file, and the actions through scripted dialogs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ControlRig.h"
#include "editor/ZuPresetMenu.h"
#include "gui/FileDialog.h"
#include "plugin/ZuUniClient.h"
#include "state/SettingsKey.h"
#include "state/ZuFileio.h"
#include "support/SettingsSandbox.h"
#include "support/StateWords.h"

namespace fs = std::filesystem;

namespace {

const CRect kPresetRect(30, 25, 120, 43);

ZuCharList listing(std::initializer_list<const char*> names, bool folders = false) {
    ZuCharList l;
    for (const char* n : names) l.add(n, folders);
    return l;
}

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

const std::vector<Entry> kFixed = {
    {"Select Folder", 0, false}, {"Save Preset", 1, false}, {"Load Preset", 2, false}, {"--Presets--", 3, false}};

std::vector<Entry> fixedAnd(std::vector<Entry> more) {
    std::vector<Entry> all = kFixed;
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
            if (answers.empty() || answers.front().empty()) {
                if (!answers.empty()) answers.erase(answers.begin());
                return false;
            }
            out = answers.front();
            answers.erase(answers.begin());
            return true;
        });
    }
    ~PresetRig() { setFileDialogHandler(previous); }
    void preset(const std::string& path, float master) {
        auto c = DirectHost::create();
        c->setParameter(0, master);
        c->presetName = fs::path(path).stem().string();
        ASSERT_TRUE(c->savePresetFile(path.c_str()));
        DirectHost::client = plugin.get();
    }
};

} // namespace

TEST(PresetMenu, ListingGivesValuesCountingSkippedNames) {
    ZuPresetMenu m(kPresetRect, nullptr, 76);
    EXPECT_EQ(m.getStyle(), 0x49F8u);
    m.buildEntries(listing({"A.zuo", "notes.txt", "C.zuo"}), ZuCharList());
    EXPECT_EQ(entriesOf(m), fixedAnd({{"A", 4, false}, {"C", 6, false}}));
    EXPECT_FALSE(m.getEntry(3)->canBeChosen()); // the title

    // names that are not "<name>.zuo" are skipped but still counted; the
    // extension-only names are among them
    m.buildEntries(listing({"zuo", ".zuo", "bzuo", "A.ZUO", "x.zuo.bak", "D.zuo"}), ZuCharList());
    EXPECT_EQ(entriesOf(m), fixedAnd({{"D", 9, false}}));
}

TEST(PresetMenu, OnlyTheFirst128NamesAreConsidered) {
    ZuCharList files;
    for (int i = 0; i < 130; ++i) files.add("p" + std::to_string(1000 + i) + ".zuo", false);
    ZuPresetMenu m(kPresetRect, nullptr, 76);
    m.buildEntries(files, ZuCharList());
    ASSERT_EQ(m.getNbEntries(), 4 + 128);
    EXPECT_EQ(m.getEntry(4 + 127)->text, "p1127");
    EXPECT_EQ(m.getEntry(4 + 127)->value, 131);
}

TEST(PresetMenu, SortingFoldsCaseAndCommandsMayHaveBrackets) {
    ZuPresetMenu m(kPresetRect, nullptr, 76, nullptr, 0x8 | 0x1000 | 0x80 | 0x400000);
    m.buildEntries(listing({"beta.zuo", "Alpha.zuo", "gamma.zuo", "_x.zuo"}), ZuCharList());
    // '_' (0x5F) sorts after the folded letters
    EXPECT_EQ(entriesOf(m), (std::vector<Entry>{{"[Save Preset]", 1, false}, {"Alpha", 1, false}, {"beta", 2, false},
                                               {"gamma", 3, false}, {"_x", 4, false}}));
    // without the listing bit a build does nothing
    ZuPresetMenu idle(kPresetRect, nullptr, 76, nullptr, 0x10);
    idle.addEntry("kept", 9);
    idle.build("/nowhere", "zuo");
    EXPECT_EQ(idle.getNbEntries(), 1);
}

TEST(PresetMenu, BuildFromDiskPutsSortedSubFoldersAfterTheFiles) {
    SettingsSandbox sandbox;
    const std::string root = sandbox.root() + "/Bank";
    touch(root + "/one.zuo");
    touch(root + "/two.zuo");
    touch(root + "/S1/gamma.zuo");
    touch(root + "/S1/beta.zuo");
    touch(root + "/S1/Alpha.zuo");
    touch(root + "/S1/read.txt");
    touch(root + "/S2/Deep/z.zuo");

    ControlRig rig;
    auto* m = rig.add(new ZuPresetMenu(kPresetRect, &rig.log, 76));
    m->build(root.c_str(), "zuo");
    EXPECT_EQ(m->getFolderPath(), root + "/");

    // files in listing order, then the folders in listing order
    ZuCharList files, all;
    ZuFileio::listFiles(root + "/", files);
    ZuFileio::listDirectory(root + "/", all);
    std::vector<Entry> expected = kFixed;
    for (int32_t k = 0; k < files.count(); ++k)
        expected.push_back({fs::path(files.name(k)).stem().string(), 4 + k, false});
    int32_t next = 4 + files.count();
    for (int32_t i = 0; i < all.count(); ++i)
        if (all.isDirectory(i)) expected.push_back({all.name(i), next++, true});
    EXPECT_EQ(entriesOf(*m), expected);

    ZuOptionMenu* sub = nullptr;
    for (int32_t i = 0; i < m->getNbEntries(); ++i)
        if (m->getEntry(i)->text == "S1") sub = m->getEntry(i)->subMenu.get();
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->getStyle(), 0x3009u);
    EXPECT_EQ(sub->getTag(), 76);
    EXPECT_EQ(sub->getViewSize(), kPresetRect);
    EXPECT_EQ(entriesOf(*sub), (std::vector<Entry>{{"Alpha", 0, false}, {"beta", 1, false}, {"gamma", 2, false}}));
    EXPECT_EQ(static_cast<ZuPresetMenu*>(sub)->getFolderPath(), root + "/S1/");

    // a file chosen in a sub-menu is the top menu's chosen file
    ASSERT_TRUE(sub->choose(1));
    std::string path;
    ASSERT_TRUE(m->chosenFilePath(path, "zuo"));
    EXPECT_EQ(path, root + "/S1/beta.zuo");
    EXPECT_EQ(rig.log.entries, std::vector<std::string>{"v76"});
    // two levels down as well
    ZuOptionMenu* s2 = nullptr;
    for (int32_t i = 0; i < m->getNbEntries(); ++i)
        if (m->getEntry(i)->text == "S2") s2 = m->getEntry(i)->subMenu.get();
    ASSERT_NE(s2, nullptr);
    ASSERT_TRUE(s2->getEntry(0)->subMenu->choose(0));
    ASSERT_TRUE(m->chosenFilePath(path, "zuo"));
    EXPECT_EQ(path, root + "/S2/Deep/z.zuo");
    // then a file of the top menu
    ASSERT_TRUE(m->choose(m->findValue(5)));
    ASSERT_TRUE(m->chosenFilePath(path, "zuo"));
    EXPECT_EQ(path, root + "/" + files.name(1));

    // a folder that cannot be listed, or none at all: only the commands
    m->build((root + "/missing").c_str(), "zuo");
    EXPECT_EQ(entriesOf(*m), kFixed);
    EXPECT_FALSE(m->chosenFilePath(path, "zuo"));
    m->build("", "zuo");
    EXPECT_EQ(m->getFolderPath(), "");
    EXPECT_EQ(entriesOf(*m), kFixed);
}

TEST(PresetMenu, SaveAndLoadThroughTheDialogsThenRebuild) {
    PresetRig t;
    ZuPresetMenu m(kPresetRect, nullptr, 76);
    ZuPresetMenu other(kPresetRect, nullptr, 76);
    m.build(t.folder.c_str(), "zuo");
    other.build(t.folder.c_str(), "zuo");
    std::vector<ZuPresetMenu*> menus{&m, &other};
    EXPECT_EQ(m.getNbEntries(), 4);

    // save: the dialog picks the file, every menu lists it afterwards
    t.plugin->setParameter(0, 0.7f);
    t.answers = {t.folder + "Mine.zuo"};
    m.choose(1);
    performPresetMenuAction(m, *t.plugin, menus);
    ASSERT_EQ(t.requests.size(), 1u);
    EXPECT_EQ(t.requests[0].kind, FileDialogKind::Save);
    EXPECT_EQ(t.requests[0].extension, "zuo");
    EXPECT_TRUE(fs::exists(t.folder + "Mine.zuo"));
    EXPECT_EQ(entriesOf(m), fixedAnd({{"Mine", 4, false}}));
    EXPECT_EQ(entriesOf(other), fixedAnd({{"Mine", 4, false}}));

    // a cancelled save writes nothing but still rebuilds
    t.answers = {""};
    m.choose(1);
    performPresetMenuAction(m, *t.plugin, menus);
    EXPECT_EQ(m.getNbEntries(), 5);

    // load: the dialog picks the file
    t.plugin->setParameter(0, 0.1f);
    t.answers = {t.folder + "Mine.zuo"};
    m.choose(2);
    performPresetMenuAction(m, *t.plugin, menus);
    EXPECT_EQ(t.requests.back().kind, FileDialogKind::Open);
    EXPECT_FLOAT_EQ(t.plugin->getParameter(0), 0.7f);
    // cancelled: unchanged
    t.plugin->setParameter(0, 0.1f);
    t.answers = {""};
    m.choose(2);
    performPresetMenuAction(m, *t.plugin, menus);
    EXPECT_FLOAT_EQ(t.plugin->getParameter(0), 0.1f);
}

TEST(PresetMenu, SelectFolderStoresTheChoiceAndRebuildsTheListedFolder) {
    PresetRig t;
    const std::string chosen = t.sandbox.root() + "/Elsewhere";
    touch(chosen + "/Bank2/x.zuo");
    ZuPresetMenu m(kPresetRect, nullptr, 76);
    m.build(t.folder.c_str(), "zuo");
    std::vector<ZuPresetMenu*> menus{&m};
    touch(t.folder + "later.zuo"); // appears only after a rebuild

    t.answers = {""}; // cancelled: no rebuild
    m.choose(0);
    performPresetMenuAction(m, *t.plugin, menus);
    EXPECT_EQ(m.getNbEntries(), 4);

    t.answers = {chosen};
    m.choose(0);
    performPresetMenuAction(m, *t.plugin, menus);
    EXPECT_EQ(t.requests.back().kind, FileDialogKind::Folder);
    std::string stored;
    ASSERT_TRUE(readSettingString("presetpath0", stored));
    EXPECT_EQ(stored, chosen + "/");
    EXPECT_EQ(m.getFolderPath(), t.folder); // keeps the folder it lists
    EXPECT_EQ(entriesOf(m), fixedAnd({{"later", 4, false}}));
}
