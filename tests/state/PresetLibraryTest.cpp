// Preset files, the program list and host program changes, on a temporary
// settings store and preset tree.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <csignal>

#include "gui/FileDialog.h"
#include "params/ParameterTags.h"
#include "state/ProgramList.h"
#include "support/MessageCapture.h"
#include "support/PresetTree.h"

namespace fs = std::filesystem;

TEST(PresetFile, SaveThenLoadRestoresEveryParameterAndMatchesTheChunk) {
    PresetTree t;
    auto a = DirectHost::create();
    for (VstInt32 tag = 0; tag < 38; ++tag) a->setParameter(tag, 0.01f * static_cast<float>(tag + 3));
    a->presetName = "Round Trip";
    const std::string file = t.root + "rt.zuo";
    ASSERT_TRUE(a->savePresetFile(file.c_str()));
    void* data = nullptr;
    const VstInt32 bytes = a->getChunk(&data, false);
    const std::vector<uint8_t> chunk(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + bytes);
    EXPECT_EQ(fileBytes(file), chunk);

    auto b = DirectHost::create();
    EXPECT_TRUE(b->loadPresetFile(file.c_str()));
    for (VstInt32 tag = 0; tag < 38; ++tag) EXPECT_EQ(b->getParameter(tag), a->getParameter(tag)) << tag;
    EXPECT_EQ(b->presetName, "Round Trip");
}

TEST(PresetFile, NewerShortAndGarbageFilesChangeNothing) {
    PresetTree t;
    MessageCapture messages;
    auto a = DirectHost::create();
    a->setParameter(kTagMaster, 0.25f);
    const std::string file = t.root + "v.zuo";
    ASSERT_TRUE(a->savePresetFile(file.c_str()));
    std::vector<uint8_t> b = fileBytes(file);
    b[4] = 5; // productVersion 5

    auto c = DirectHost::create();
    const float before = c->getParameter(kTagMaster);
    writeBytes(file, b);
    EXPECT_FALSE(c->loadPresetFile(file.c_str()));
    EXPECT_EQ(c->getParameter(kTagMaster), before);
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_EQ(messages.texts()[0], "preset was written with a newer version of Orvel");
    // The host restore takes the same words.
    EXPECT_EQ(c->setChunk(b.data(), static_cast<VstInt32>(b.size()), false), 1);
    EXPECT_EQ(c->getParameter(kTagMaster), 0.25f);

    auto d = DirectHost::create();
    b[4] = 4;
    writeBytes(file, std::vector<uint8_t>(b.begin(), b.begin() + 19)); // shorter than the header
    EXPECT_FALSE(d->loadPresetFile(file.c_str()));
    writeBytes(file, std::vector<uint8_t>(b.begin(), b.end() - 4)); // shorter than totalWords
    EXPECT_FALSE(d->loadPresetFile(file.c_str()));
    EXPECT_FALSE(d->loadPresetFile((t.root + "missing.zuo").c_str()));
    EXPECT_FALSE(d->loadPresetFile("x"));
    EXPECT_EQ(messages.texts().size(), 1u);
    writeBytes(file, std::vector<uint8_t>(64, 0x41));
    EXPECT_FALSE(d->loadPresetFile(file.c_str()));
    ASSERT_EQ(messages.texts().size(), 2u);
    EXPECT_EQ(messages.texts()[1], "\t This is no valid Orvel format!");
    EXPECT_EQ(d->getParameter(kTagMaster), before);
}

TEST(PresetFile, FailedSaveTellsTheUserAndKeepsTheOldFile) {
    PresetTree t;
    MessageCapture messages;
    t.preset("Full/keep.zuo", 0.3f);
    const std::string file = t.root + "Full/keep.zuo";
    const std::vector<uint8_t> old = fileBytes(file);
    auto a = DirectHost::create();
    a->setParameter(kTagMaster, 0.9f);
    // A file size limit makes the write fail for root too (a read-only
    // folder would not stop root).
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit tiny = saved;
    tiny.rlim_cur = 16;
    void (*previous)(int) = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &tiny);
    const bool saved_ok = a->savePresetFile(file.c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previous);
    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(t.root + "Full"), {}), 1); // no temporary left
    EXPECT_EQ(fileBytes(file), old);
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_NE(messages.texts()[0].find(file), std::string::npos);
}

TEST(PresetFile, DialogsOpenWhereThePresetsAreNotInTheWorkingFolder) {
    PresetTree t;
    t.preset("A/one.zuo", 0.1f);
    t.preset("B/two.zuo", 0.2f);
    auto a = DirectHost::create();
    a->programList().scan(t.root);
    std::vector<std::string> folders;
    FileDialogHandler previous = setFileDialogHandler([&](const FileDialogRequest& r, std::string&) {
        folders.push_back(r.folder);
        return false;
    });
    // No preset file known: the program list's current folder.
    a->presetPath.clear();
    a->presetFolderIndex = a->programList().findFolder("B");
    EXPECT_FALSE(a->savePresetFile(nullptr));
    // The folder of the preset file loaded now, for both dialogs.
    ASSERT_TRUE(a->loadPresetFile((t.root + "A/one.zuo").c_str()));
    EXPECT_FALSE(a->savePresetFile(nullptr));
    EXPECT_FALSE(a->loadPresetFile(nullptr));
    // Neither: preset folder slot 0, also where the folder choice starts.
    a->presetPath.clear();
    a->presetFolderIndex = 200;
    EXPECT_FALSE(a->savePresetFile(nullptr));
    std::string chosen;
    EXPECT_FALSE(a->selectPresetFolder(chosen, 0));
    setFileDialogHandler(previous);
    ASSERT_EQ(folders.size(), 5u);
    const std::string expected[] = {t.root + "B", t.root + "A", t.root + "A", t.root, t.root};
    for (size_t i = 0; i < 5; ++i) {
        ASSERT_FALSE(folders[i].empty()) << i;
        EXPECT_TRUE(fs::equivalent(folders[i], expected[i])) << i << ": " << folders[i];
    }
}

TEST(ProgramList, SortsAndLeavesOutForeignFiles) {
    PresetTree t;
    t.preset("F/beta.zuo", 0.1f);
    t.preset("F/Alpha.zuo", 0.2f);
    t.preset("F/gamma.zuo", 0.3f);
    fs::copy_file(t.root + "F/beta.zuo", t.root + "F/Caps.ZUO");
    writeBytes(t.root + "F/foreign.zuo", std::vector<uint8_t>(100, 7));
    std::vector<uint8_t> b = fileBytes(t.root + "F/beta.zuo");
    writeBytes(t.root + "F/short.zuo", std::vector<uint8_t>(b.begin(), b.begin() + 40));
    writeBytes(t.root + "F/tiny.zuo", std::vector<uint8_t>(b.begin(), b.begin() + 10));
    std::vector<uint8_t> kind0 = b;
    kind0[24] = 0; // stateKind 0
    writeBytes(t.root + "F/kind.zuo", kind0);
    std::vector<uint8_t> code = b;
    code[32] = 42; // productCode 42
    writeBytes(t.root + "F/code.zuo", code);
    writeBytes(t.root + "loose.zuo", b); // not in a folder

    MessageCapture messages;
    ProgramList list;
    list.scan(t.root.substr(0, t.root.size() - 1));
    ASSERT_EQ(list.folderCount(), 1);
    ASSERT_EQ(list.entryCount(0), 3);
    char name[kEntryNameBytes];
    const char* expected[] = {"Alpha", "beta", "gamma"};
    for (int i = 0; i < 3; ++i) {
        list.entryName(name, 0, i);
        EXPECT_STREQ(name, expected[i]);
    }
    list.entryName(name, 0, 3);
    EXPECT_STREQ(name, "empty");
    EXPECT_EQ(list.findFolder("F"), 0);
    EXPECT_EQ(list.findFolder("f"), -1);
    EXPECT_EQ(list.findEntry(0, "gamma"), 2);
    EXPECT_EQ(list.findEntry(1, "gamma"), -1);
    EXPECT_TRUE(messages.texts().empty());
}

TEST(ProgramList, SetProgramStepsBetweenFoldersPassingOverEmptyOnes) {
    PresetTree t;
    // folders listed by name whatever the order they were made in; b and d stay empty
    for (const char* f : {"d", "C", "b", "A"}) fs::create_directories(t.root + f);
    t.preset("A/a0.zuo", 0.10f);
    t.preset("A/a1.zuo", 0.11f);
    t.preset("A/a2.zuo", 0.12f);
    t.preset("C/c0.zuo", 0.30f);
    t.preset("C/c1.zuo", 0.31f);
    auto c = DirectHost::create();
    c->programList().scan(t.root);
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
        EXPECT_EQ(c->presetFolderIndex, s.folder) << s.program << " to " << s.master;
        EXPECT_EQ(c->currentProgram(), s.current) << s.program << " to " << s.master;
        EXPECT_EQ(c->getParameter(kTagMaster), s.master) << s.program;
    }
    EXPECT_EQ(c->presetName, "a2");
    EXPECT_EQ(c->presetPath, t.root + "A/a2.zuo");
    char name[64];
    c->getProgramNameIndexed(0, 7, name);
    EXPECT_STREQ(name, "empty");
    c->getProgramNameIndexed(0, 1, name);
    EXPECT_STREQ(name, "a1");
}

TEST(ProgramList, RandomPresetNeedsAFolderWithTwoEntries) {
    PresetTree t;
    t.preset("A/only.zuo", 0.4f);
    auto c = DirectHost::create();
    c->programList().scan(t.root);
    c->setParameter(kTagMaster, 0.7f);
    c->loadRandomPreset();
    EXPECT_EQ(c->getParameter(kTagMaster), 0.7f);
    t.preset("A/other.zuo", 0.45f);
    c->programList().scan(t.root);
    c->loadRandomPreset();
    EXPECT_TRUE(c->getParameter(kTagMaster) == 0.4f || c->getParameter(kTagMaster) == 0.45f);
}

TEST(ProgramList, FolderChoiceRescansAndAnnounces) {
    PresetTree t;
    t.preset("A/x.zuo", 0.1f);
    t.preset("A/y.zuo", 0.2f);
    auto c = DirectHost::create();
    FileDialogHandler previous = setFileDialogHandler([&](const FileDialogRequest& r, std::string& out) {
        EXPECT_EQ(r.title, "Choose Preset Directory");
        out = t.root.substr(0, t.root.size() - 1);
        return true;
    });
    std::string chosen;
    EXPECT_TRUE(c->selectPresetFolder(chosen, 0));
    EXPECT_EQ(chosen, t.root);
    EXPECT_EQ(c->getNumPrograms(), 2);
    c->presetFolderIndex = 128;
    EXPECT_TRUE(c->selectPresetFolder(chosen, 0));
    EXPECT_EQ(c->getNumPrograms(), 0);
    EXPECT_TRUE(c->selectPresetFolder(chosen, 2));
    setFileDialogHandler(previous);
    std::string stored;
    c->readPresetFolderSetting(stored, 2);
    EXPECT_EQ(stored, t.root);
    std::string untouched = "keep";
    c->readPresetFolderSetting(untouched, 7);
    EXPECT_EQ(untouched, "keep");
}

TEST(ProgramList, StopsAt128Folders) {
    PresetTree t;
    for (int i = 0; i < 130; ++i) fs::create_directories(t.root + "f" + std::to_string(i));
    ProgramList list;
    list.scan(t.root);
    EXPECT_EQ(list.folderCount(), 128);
    EXPECT_EQ(list.entry(127, 0), nullptr);
}

TEST(PresetStartup, LoadsDefaultAndScansTheRoot) {
    PresetTree t;
    t.preset("default.zuo", 0.33f);
    t.preset("Mix/m.zuo", 0.5f);
    MessageCapture messages;
    auto c = DirectHost::create();
    EXPECT_EQ(c->getParameter(kTagMaster), 0.33f);
    EXPECT_EQ(c->presetName, "default");
    EXPECT_EQ(c->programList().folderCount(), 1);
    EXPECT_EQ(c->getNumPrograms(), 128);
    fs::remove(t.root + "default.zuo");
    auto d = DirectHost::create();
    EXPECT_NE(d->getParameter(kTagMaster), 0.33f);
    EXPECT_TRUE(messages.texts().empty());
}

TEST(PresetStartup, StartsInTheFirstFolderWithPresets) {
    PresetTree t;
    fs::create_directories(t.root + "Y");
    t.preset("Z/only.zuo", 0.4f); // the folder listed first stays empty
    auto c = DirectHost::create();
    EXPECT_EQ(c->presetFolderIndex, 1);
    char name[64];
    c->getProgramNameIndexed(0, 0, name);
    EXPECT_STREQ(name, "only");

    fs::remove(t.root + "Z/only.zuo");
    auto d = DirectHost::create(); // nothing anywhere: the first folder, as always
    EXPECT_EQ(d->presetFolderIndex, 0);
}
