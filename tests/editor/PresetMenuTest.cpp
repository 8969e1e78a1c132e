// The preset menu: entries and values from folder listings, sub-menus from
// disk, and the chosen file.
#include <gtest/gtest.h>

#include <filesystem>

#include "ControlRig.h"
#include "editor/ZuPresetMenu.h"
#include "state/ZuFileio.h"
#include "support/SettingsSandbox.h"
#include "support/TempDir.h"

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
        writeBytes(root + "/" + f, {'x'});
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
