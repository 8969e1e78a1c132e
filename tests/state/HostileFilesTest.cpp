// Preset trees a musician did not mean to make: FIFOs in the place of
// presets and settings, folder links that loop, trees deeper than any
// search goes, and folders made in any order. Creating the plug-in and
// restoring a chunk must return promptly, and folders must be numbered the
// same whatever order the file system lists them in.
#include <gtest/gtest.h>

#include "params/ParameterTags.h"
#include "state/FileTree.h"
#include "state/ProgramList.h"
#include "state/ZuFileio.h"
#include "support/Fifo.h"
#include "support/MessageCapture.h"
#include "support/PresetTree.h"
#include "support/TestHost.h"

namespace fs = std::filesystem;
using std::chrono::seconds;

namespace {

std::vector<std::string> namesOf(const ZuCharList& l) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < l.count(); ++i) out.push_back(std::string(l.name(i)) + (l.isDirectory(i) ? "/" : ""));
    return out;
}

std::vector<std::string> folderNames(const ProgramList& list) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < list.folderCount(); ++i) out.push_back(list.folderName(i));
    return out;
}

std::vector<uint8_t> chunkNamed(const std::string& name, float master) {
    auto c = DirectHost::create();
    c->setParameter(kTagMaster, master);
    c->presetName = name;
    return chunkBytes(*c);
}

} // namespace

TEST(HostileFiles, FifosAsPresetsAndAsTheDefaultAreSkippedWithoutBlocking) {
    PresetTree t;
    t.preset("Mix/a.zuo", 0.2f);
    t.preset("Mix/d.zuo", 0.4f);
    makeFifo(t.root + "default.zuo");
    makeFifo(t.root + "Mix/b.zuo");
    makeFifo(t.root + "Mix/c.zuo");
    const auto release = writerFor({t.root + "default.zuo", t.root + "Mix/b.zuo", t.root + "Mix/c.zuo"});
    MessageCapture messages;

    // a host creating the plug-in through its entry point, as a scan does
    TestHost host;
    AEffect* effect = nullptr;
    EXPECT_TRUE(returnsWithin(seconds(10), [&] { effect = host.open(); }, release));
    ASSERT_NE(effect, nullptr);
    for (const auto& [index, name] : {std::pair{0, "a"}, {1, "d"}, {2, "empty"}})
        EXPECT_EQ(host.textOf(effGetProgramNameIndexed, index), name);

    // loading one as a preset file changes nothing and says nothing
    auto c = DirectHost::create();
    const float before = c->getParameter(kTagMaster);
    bool loaded = true;
    EXPECT_TRUE(returnsWithin(seconds(10), [&] { loaded = c->loadPresetFile((t.root + "Mix/b.zuo").c_str()); },
                              release));
    EXPECT_TRUE(!loaded && c->getParameter(kTagMaster) == before);
    EXPECT_TRUE(messages.texts().empty());
    host.close();
}

TEST(HostileFiles, AFifoInThePlaceOfTheSettingsIsNeitherWaitedOnNorReplaced) {
    SettingsSandbox sandbox;
    makeFifo(sandbox.file());
    TestHost host;
    AEffect* effect = nullptr;
    EXPECT_TRUE(returnsWithin(seconds(10), [&] { effect = host.open(); }, writerFor({sandbox.file()})));
    ASSERT_NE(effect, nullptr);
    std::string value = "untouched";
    EXPECT_FALSE(readSettingString("presetpath0", value) || value != "untouched") << "every value missing";
    EXPECT_FALSE(writeSettingInt("firstuse", 1));
    EXPECT_TRUE(isFifo(sandbox.file()));
    host.close();
}

TEST(HostileFiles, LoopingFolderLinksEndTheSearchOfAChunkRestore) {
    PresetTree t;
    t.preset("User/keep.zuo", 0.3f);
    fs::create_symlink("..", t.root + "User/up1");
    fs::create_symlink("..", t.root + "User/up2");
    fs::create_symlink("..", t.root + "up3"); // the sandbox, which holds the root again
    fs::create_symlink(".", t.root + "self");

    // the name of the restored state has no file: the whole tree is searched
    std::vector<uint8_t> nowhere = chunkNamed("Nowhere", 0.6f), keep = chunkNamed("keep", 0.3f);
    TestHost host;
    ASSERT_NE(host.open(), nullptr);
    EXPECT_TRUE(returnsWithin(
        seconds(20), [&] { host.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(nowhere.size()), nowhere.data()); },
        [] {}));
    EXPECT_EQ(host.getParameter(kTagMaster), 0.6f);
    // garbage and a null buffer through the dispatcher: answered with 1, nothing changed
    std::vector<int32_t> garbage(40, 0x55aa55aa);
    EXPECT_EQ(host.dispatch(effSetChunk, 0, 160, garbage.data()) + host.dispatch(effSetChunk, 0, 0, nullptr), 2);
    EXPECT_EQ(host.getParameter(kTagMaster), 0.6f);
    host.close();

    // a named file is still found, through the loops, at its plain path; a
    // name without one leaves no path; the preset road does not look
    auto c = DirectHost::create();
    c->setChunk(keep.data(), static_cast<VstInt32>(keep.size()), false);
    EXPECT_EQ(c->presetPath, t.root + "User/keep.zuo");
    c->setChunk(nowhere.data(), static_cast<VstInt32>(nowhere.size()), false);
    EXPECT_EQ(c->presetPath, "");
    c->presetPath = "old";
    ZuChunk preset(keep.data(), keep.size());
    EXPECT_TRUE(c->readState(preset, false, true, false));
    EXPECT_EQ(c->presetPath, "old");
    // the loops are not folders of the listing; links elsewhere are
    fs::create_directories(t.root + "Other");
    fs::create_symlink("../Other", t.root + "User/side");
    ZuCharList l;
    ZuFileio::listDirectory(t.root + "User/", l);
    EXPECT_EQ(namesOf(l), (std::vector<std::string>{"keep.zuo", "side/"}));
    ProgramList list;
    list.scan(t.root);
    EXPECT_EQ(folderNames(list), (std::vector<std::string>{"Other", "User"}));
}

TEST(HostileFiles, TreeSearchDepthLinksAndVanishedFolders) {
    TempDir dir("orvel-tree");
    const std::string root = dir.path() + "/";
    // 66 folders deep: the search reads the files of 64 levels below the root
    std::string deep = root;
    for (int level = 1; level <= 66; ++level) {
        deep += "d/";
        if (level == 64) writeBytes(deep + "at64.zuo", {1});
        if (level == 65) writeBytes(deep + "at65.zuo", {1});
    }
    fs::create_directories(deep);
    EXPECT_TRUE(findFileInTree(root, "at64.zuo") != "" && findFileInTree(root, "at65.zuo") == "");

    // a folder outside the tree is searched through its link; a link to a
    // folder that is gone, or one that is a file, is passed over
    TempDir outside("orvel-outside");
    writeBytes(outside.path() + "/x.zuo", {1});
    fs::create_symlink(outside.path(), root + "Linked");
    fs::create_symlink(root + "vanished", root + "Gone");
    writeBytes(root + "plain", {1});
    fs::create_symlink(root + "plain", root + "FileLink");
    EXPECT_EQ(findFileInTree(root, "x.zuo"), root + "Linked/x.zuo");
    // the first match in listing order, a folder's own files first
    writeBytes(root + "b/y.zuo", {1});
    writeBytes(root + "A/y.zuo", {1});
    EXPECT_EQ(findFileInTree(root, "y.zuo"), root + "A/y.zuo");
    writeBytes(root + "y.zuo", {1});
    EXPECT_EQ(findFileInTree(root, "y.zuo"), root + "y.zuo");
    EXPECT_EQ(findFileInTree(root, "Y.zuo") + findFileInTree(root + "vanished", "y.zuo"), "");

    // a thousand links into one folder: each folder is searched once
    for (int i = 0; i < 1000; ++i) fs::create_symlink(root + "b", root + "A/l" + std::to_string(i));
    fs::create_symlink(root + "A", root + "b/back");
    EXPECT_EQ(findFileInTree(root, "none.zuo"), "");
}

TEST(HostileFiles, FoldersAndFilesAreNumberedByNameWhateverOrderTheyWereMadeIn) {
    // two copies of one library, made in different orders, neither sorted
    PresetTree t;
    const std::vector<std::string> made = {"User", "mixing", "_Extra", "Creative", "b", "Mastering", "B", "alpha"};
    for (const std::string& f : made) fs::create_directories(t.root + f);
    TempDir copy("orvel-copy");
    for (auto f = made.rbegin(); f != made.rend(); ++f) fs::create_directories(copy.path() + "/" + *f);
    for (const char* file : {"beta.zuo", "Gamma.zuo", "alpha.zuo", "Beta.zuo", "_x.zuo", "10.zuo", "2.zuo"})
        t.preset(std::string("Mastering/") + file, 0.5f);

    const std::vector<std::string> order = {"alpha", "B", "b", "Creative", "Mastering", "mixing", "User", "_Extra"};
    ProgramList list, other;
    list.scan(t.root);
    other.scan(copy.path());
    EXPECT_EQ(folderNames(list), order);
    EXPECT_EQ(folderNames(other), order);
    const int32_t mastering = list.findFolder("Mastering");
    char name[kEntryNameBytes];
    std::vector<std::string> entries;
    for (int32_t i = 0; i < list.entryCount(mastering); ++i) {
        list.entryName(name, mastering, i);
        entries.push_back(name);
    }
    EXPECT_EQ(entries, (std::vector<std::string>{"10", "2", "alpha", "Beta", "beta", "Gamma", "_x"}));
    EXPECT_TRUE(listingOrderLess("ab", "abc") && !listingOrderLess("b", "b"));
}
