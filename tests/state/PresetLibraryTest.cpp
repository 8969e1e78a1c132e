// Preset files, the program list and host program changes, on a temporary
// settings store and preset tree.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <tuple>

#include "gui/FileDialog.h"
#include "params/ParameterTags.h"
#include "state/ProgramList.h"
#include "support/MessageCapture.h"
#include "support/PresetTree.h"

namespace fs = std::filesystem;

TEST(PresetFile, SavedAsTheChunkAndLoadedWholeAndAFailedSaveKeepsTheOldFile) {
    PresetTree t;
    MessageCapture messages;
    auto a = DirectHost::create();
    for (VstInt32 tag = 0; tag < 38; ++tag) a->setParameter(tag, 0.01f * static_cast<float>(tag + 3));
    a->presetName = "Round Trip";
    const std::string file = t.root + "rt.zuo";
    ASSERT_TRUE(a->savePresetFile(file.c_str()));
    const std::vector<uint8_t> chunk = chunkBytes(*a);
    EXPECT_EQ(readBytes(file), chunk);

    auto b = DirectHost::create();
    EXPECT_TRUE(b->loadPresetFile(file.c_str()) && b->presetName == "Round Trip") << b->presetName;
    for (VstInt32 tag = 0; tag < 38; ++tag) EXPECT_EQ(b->getParameter(tag), a->getParameter(tag)) << tag;

    // A file size limit makes the write fail for root too (a read-only folder would not stop root).
    b->setParameter(kTagMaster, 0.9f);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit tiny{16, saved.rlim_max};
    void (*previous)(int) = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &tiny);
    const bool savedOk = b->savePresetFile(file.c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previous);
    EXPECT_FALSE(savedOk);
    EXPECT_EQ(std::distance(fs::directory_iterator(t.root), {}), 1); // no temporary left
    EXPECT_EQ(readBytes(file), chunk);
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_NE(messages.texts()[0].find(file), std::string::npos) << "the box names the file";
}

TEST(PresetFile, NewerShortGarbageAndMissingFilesChangeNothing) {
    PresetTree t;
    auto a = DirectHost::create();
    a->setParameter(kTagMaster, 0.25f);
    const std::string file = t.root + "v.zuo";
    ASSERT_TRUE(a->savePresetFile(file.c_str()));
    const std::vector<uint8_t> b = readBytes(file);
    std::vector<uint8_t> newer = b;
    newer[4] = 5; // productVersion 5
    const std::vector<std::pair<std::vector<uint8_t>, std::vector<std::string>>> files = {
        {newer, {"preset was written with a newer version of Orvel"}},
        {{b.begin(), b.begin() + 19}, {}}, // shorter than the header
        {{b.begin(), b.end() - 4}, {}},    // shorter than its word count
        {std::vector<uint8_t>(64, 0x41), {"\t This is no valid Orvel format!"}},
    };
    auto c = DirectHost::create();
    const float before = c->getParameter(kTagMaster);
    for (const auto& [bytes, said] : files) {
        writeBytes(file, bytes);
        MessageCapture messages;
        EXPECT_FALSE(c->loadPresetFile(file.c_str())) << bytes.size();
        EXPECT_TRUE(messages.texts() == said && c->getParameter(kTagMaster) == before) << bytes.size();
    }
    MessageCapture messages;
    EXPECT_FALSE(c->loadPresetFile((t.root + "missing.zuo").c_str()) || c->loadPresetFile("x"));
    EXPECT_TRUE(messages.texts().empty());
    // The host restore takes the newer words.
    EXPECT_EQ(c->setChunk(newer.data(), static_cast<VstInt32>(newer.size()), false), 1);
    EXPECT_EQ(c->getParameter(kTagMaster), 0.25f);
}

TEST(PresetFile, DialogsOpenWhereThePresetsAreAndTheFolderChoiceRescans) {
    PresetTree t;
    t.preset("A/one.zuo", 0.1f);
    t.preset("B/two.zuo", 0.2f);
    auto a = DirectHost::create();
    std::vector<std::string> folders;
    std::string answer; // empty: the dialog is cancelled
    FileDialogHandler previous = setFileDialogHandler([&](const FileDialogRequest& r, std::string& out) {
        folders.push_back(r.folder);
        out = answer;
        return !answer.empty();
    });
    // No preset file known: the program list's current folder.
    a->presetPath.clear();
    a->presetFolderIndex = a->programList().findFolder("B");
    EXPECT_FALSE(a->savePresetFile(nullptr));
    // The folder of the preset file loaded now, for both dialogs.
    ASSERT_TRUE(a->loadPresetFile((t.root + "A/one.zuo").c_str()));
    EXPECT_FALSE(a->savePresetFile(nullptr) || a->loadPresetFile(nullptr));
    // Neither: preset folder slot 0, also where the folder choice starts.
    a->presetPath.clear();
    a->presetFolderIndex = 200;
    EXPECT_FALSE(a->savePresetFile(nullptr));
    std::string chosen;
    EXPECT_FALSE(a->selectPresetFolder(chosen, 0));
    const std::string expected[] = {t.root + "B", t.root + "A", t.root + "A", t.root, t.root};
    ASSERT_EQ(folders.size(), std::size(expected));
    for (size_t i = 0; i < folders.size(); ++i)
        EXPECT_TRUE(!folders[i].empty() && fs::equivalent(folders[i], expected[i])) << i << ": " << folders[i];

    // A chosen folder is stored with its separator; slot 0 is scanned and
    // announces the current folder's programs, none past the 128 folders.
    answer = t.root.substr(0, t.root.size() - 1);
    a->presetFolderIndex = 0;
    EXPECT_TRUE(a->selectPresetFolder(chosen, 0) && chosen == t.root) << chosen;
    EXPECT_EQ(a->getNumPrograms(), 1);
    a->presetFolderIndex = 128;
    EXPECT_TRUE(a->selectPresetFolder(chosen, 0) && a->getNumPrograms() == 0);
    EXPECT_TRUE(a->selectPresetFolder(chosen, 2));
    setFileDialogHandler(previous);
    std::string stored;
    a->readPresetFolderSetting(stored, 2);
    EXPECT_EQ(stored, t.root);
}

TEST(ProgramList, LeavesOutForeignFilesAndStopsAt128Folders) {
    PresetTree t;
    t.preset("F/beta.zuo", 0.1f);
    const std::vector<uint8_t> b = readBytes(t.root + "F/beta.zuo");
    std::vector<uint8_t> kind0 = b, code = b;
    kind0[24] = 0; // stateKind 0
    code[32] = 42; // productCode 42
    const std::vector<std::pair<std::string, std::vector<uint8_t>>> others = {
        {"F/Caps.ZUO", b},
        {"F/foreign.zuo", std::vector<uint8_t>(100, 7)},
        {"F/short.zuo", {b.begin(), b.begin() + 40}},
        {"F/tiny.zuo", {b.begin(), b.begin() + 10}},
        {"F/kind.zuo", kind0},
        {"F/code.zuo", code},
        {"loose.zuo", b}}; // the last not in a folder
    for (const auto& [file, bytes] : others) writeBytes(t.root + file, bytes);

    MessageCapture messages;
    ProgramList list;
    list.scan(t.root.substr(0, t.root.size() - 1));
    ASSERT_EQ(list.folderCount(), 1);
    ASSERT_EQ(list.entryCount(0), 1);
    char name[kEntryNameBytes];
    list.entryName(name, 0, 0);
    EXPECT_STREQ(name, "beta");
    EXPECT_EQ((std::vector<int32_t>{list.findFolder("F"), list.findFolder("f"), list.findEntry(0, "beta"),
                                    list.findEntry(1, "beta")}),
              (std::vector<int32_t>{0, -1, 0, -1}));
    EXPECT_TRUE(messages.texts().empty());

    for (int i = 0; i < 130; ++i) fs::create_directories(t.root + "f" + std::to_string(i));
    list.scan(t.root);
    EXPECT_EQ(list.folderCount(), 128);
    EXPECT_EQ(list.entry(127, 0), nullptr);
}

TEST(ProgramList, SetProgramStepsBetweenFoldersPassingOverEmptyOnes) {
    PresetTree t;
    // folders listed by name whatever the order they were made in; b and d stay empty
    for (const char* f : {"d", "C", "b", "A"}) fs::create_directories(t.root + f);
    for (const auto& [file, master] : {std::pair{"A/a0.zuo", 0.10f}, {"A/a1.zuo", 0.11f}, {"A/a2.zuo", 0.12f},
                                       {"C/c0.zuo", 0.30f}, {"C/c1.zuo", 0.31f}})
        t.preset(file, master);
    auto c = DirectHost::create();
    ASSERT_EQ(c->programList().folderCount(), 4);
    ASSERT_EQ(c->programList().findFolder("A"), 0);
    struct Step {
        int32_t program, folder, current;
        float master;
    };
    // past the first folder's end, over the empty b; past the third's, over
    // the empty d, round to the first; back from it, and back over b
    for (const Step& s : {Step{2, 0, 2, 0.12f}, Step{3, 2, 0, 0.30f}, Step{5, 0, 0, 0.10f}, Step{-1, 2, 1, 0.31f},
                          Step{0, 2, 0, 0.30f}, Step{-1, 0, 2, 0.12f}}) {
        c->setProgram(s.program);
        EXPECT_EQ(std::tuple(c->presetFolderIndex, c->currentProgram(), c->getParameter(kTagMaster)),
                  std::tuple(s.folder, s.current, s.master))
            << s.program << " to " << s.master;
    }
    EXPECT_TRUE(c->presetName == "a2" && c->presetPath == t.root + "A/a2.zuo") << c->presetPath;
    char name[64], other[64];
    c->getProgramNameIndexed(0, 7, name);
    c->getProgramNameIndexed(0, 1, other);
    EXPECT_EQ(std::string(name) + "," + other, "empty,a1");
}

TEST(ProgramList, RandomPresetNeedsAFolderWithTwoEntries) {
    PresetTree t;
    t.preset("A/only.zuo", 0.4f);
    auto c = DirectHost::create();
    c->setParameter(kTagMaster, 0.7f);
    c->loadRandomPreset();
    EXPECT_EQ(c->getParameter(kTagMaster), 0.7f) << "one entry is no choice";
    t.preset("A/other.zuo", 0.45f);
    c->programList().scan(t.root);
    c->loadRandomPreset();
    EXPECT_TRUE(c->getParameter(kTagMaster) == 0.4f || c->getParameter(kTagMaster) == 0.45f);
}

TEST(PresetStartup, LoadsTheDefaultAndStartsInTheFirstFolderWithPresets) {
    PresetTree t;
    t.preset("default.zuo", 0.33f);
    fs::create_directories(t.root + "Y"); // listed first, and empty
    t.preset("Z/only.zuo", 0.4f);
    MessageCapture messages;
    auto c = DirectHost::create();
    EXPECT_TRUE(c->getParameter(kTagMaster) == 0.33f && c->presetName == "default") << c->presetName;
    EXPECT_EQ(std::tuple(c->programList().folderCount(), c->getNumPrograms(), c->presetFolderIndex),
              std::tuple(2, 128, 1));
    char name[64];
    c->getProgramNameIndexed(0, 0, name);
    EXPECT_STREQ(name, "only");

    fs::remove(t.root + "default.zuo");
    fs::remove(t.root + "Z/only.zuo");
    auto d = DirectHost::create(); // nothing anywhere: the first folder, as always
    EXPECT_TRUE(d->getParameter(kTagMaster) != 0.33f && d->presetFolderIndex == 0) << d->presetFolderIndex;
    EXPECT_TRUE(messages.texts().empty());
}
