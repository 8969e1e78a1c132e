// The state layout written by getChunk and read by setChunk/readState: the
// word layout, round trips, older versions, the controller numbers, and
// every rejection leaving the state as it was.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "support/MessageCapture.h"
#include "support/SettingsSandbox.h"
#include "support/StateWords.h"
#include "state/SettingsKey.h"

namespace {

// Record ids in the order the parameter table creates the stored records.
const int32_t kStoredIds[47] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
                                17, 18, 19, 20, 21, 22, 23, 24, 32, 25, 26, 31, 27, 28, 29, 30,
                                33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 46, 47, 45};

std::vector<int32_t> chunkWords(ZuUniClient& c) {
    void* data = nullptr;
    const VstInt32 bytes = c.getChunk(&data, false);
    return wordsOf(data, bytes);
}

float valueOf(ZuUniClient& c, int32_t recordId) { return *c.parameters().byRecordId(recordId)->value; }

bool load(ZuUniClient& c, const StateWords& s, bool force, bool quiet = true, bool fixCount = true) {
    const std::vector<uint8_t> b = s.bytes(fixCount);
    ZuChunk chunk(b.data(), b.size());
    return c.readState(chunk, force, quiet, false);
}

int32_t setChunkBytes(ZuUniClient& c, const std::vector<uint8_t>& b) {
    std::vector<uint8_t> copy = b; // the host's own buffer, exactly as long as it says
    return c.setChunk(copy.data(), static_cast<VstInt32>(copy.size()), false);
}

} // namespace

TEST(ChunkLayout, EmptyMapsAndNameGive163Words) {
    auto c = DirectHost::create();
    void* data = nullptr;
    ASSERT_EQ(c->getChunk(&data, true), 652);
    const std::vector<int32_t> w = wordsOf(data, 652);
    EXPECT_EQ(w[0], 163);
    EXPECT_EQ(w[1], 4);
    EXPECT_EQ(floatOf(w[2]), 120.0f);
    EXPECT_EQ(floatOf(w[3]), 44100.0f);
    EXPECT_EQ(w[4], 26101977);
    EXPECT_EQ((std::vector<int32_t>(w.begin() + 5, w.begin() + 9)), (std::vector<int32_t>{5, 1, 4, 41}));
    for (int i = 0; i < 47; ++i) {
        EXPECT_EQ(w[9 + 3 * i], kStoredIds[i]) << "record " << i;
        EXPECT_EQ(w[10 + 3 * i], 1);
        EXPECT_EQ(floatOf(w[11 + 3 * i]), valueOf(*c, kStoredIds[i]));
    }
    const std::vector<int32_t> tail(w.begin() + 150, w.end());
    EXPECT_EQ(tail, (std::vector<int32_t>{-1, -3, 1, 0, 16, 0, 0, 0, -4, 0, 0, 4, 0x74736f48})); // "Host"

    // The buffer is the plug-in's and is replaced at the next call.
    c->setSampleRate(48000.0f);
    void* again = nullptr;
    ASSERT_EQ(c->getChunk(&again, false), 652);
    EXPECT_EQ(floatOf(wordsOf(again, 652)[3]), 48000.0f);
}

TEST(ChunkLayout, MapsExtrasAndNameAreWrittenSignExtended) {
    auto c = DirectHost::create();
    c->ccMap.lists[7] = {{5, 0}, {-1, -300}};
    c->ccMap.lists[0] = {{2, 1}};
    c->ccMap.extraAssignments = {{11, 3}};
    c->presetName = "Lead!";
    const std::vector<int32_t> w = chunkWords(*c);
    ASSERT_EQ(w.size(), 163u + 2 + 6 + 4 + 2);
    EXPECT_EQ(w[0], static_cast<int32_t>(w.size()));
    const std::vector<int32_t> rest(w.begin() + 150, w.end());
    EXPECT_EQ(rest, (std::vector<int32_t>{-1, 0, 2, 1, -2, 7, 5, 0, -1, -300, -2, -3, 1, 5, 0x6461654c, 0x21, 16, 0,
                                          0, 1, 11, 3, -4, 0, 0, 4, 0x74736f48}));
}

TEST(ChunkRoundTrip, EveryStoredValueTheMapsTheNameAndTheProgram) {
    auto a = DirectHost::create();
    StateWords s;
    s.header(4, 97.5f);
    for (int i = 0; i < 47; ++i) s.record(kStoredIds[i], 0.01f * static_cast<float>(i) + 0.003f);
    s.add({-1, 3, 9, -7, 12, 1, -2, 127, 4, 0, -2, -3, 1}).addString("Warm Pad 2");
    s.add({16, 5, 2, 2, 30, 1, 31, 0, -4, 0, 0}).addString("Host");
    EXPECT_EQ(setChunkBytes(*a, s.bytes()), 1);

    for (int i = 0; i < 47; ++i) EXPECT_FLOAT_EQ(valueOf(*a, kStoredIds[i]), 0.01f * static_cast<float>(i) + 0.003f);
    EXPECT_EQ(a->ccMap.lists[3], (ControllerList{{9, -7}, {12, 1}}));
    EXPECT_EQ(a->ccMap.lists[127], (ControllerList{{4, 0}}));
    EXPECT_EQ(a->ccMap.extraAssignments, (ControllerList{{30, 1}, {31, 0}}));
    EXPECT_EQ(a->presetName, "Warm Pad 2");
    EXPECT_EQ(a->getProgram(), 5);
    EXPECT_EQ(a->presetFolderIndex, 2);
    // Values go through the parameter model: `master` 0.103 gives 4v^2.
    EXPECT_FLOAT_EQ(a->engine().controls.masterGain, 4.0f * 0.103f * 0.103f);

    const std::vector<int32_t> first = chunkWords(*a);
    auto b = DirectHost::create();
    std::vector<uint8_t> bytes(first.size() * 4);
    std::memcpy(bytes.data(), first.data(), bytes.size());
    setChunkBytes(*b, bytes);
    EXPECT_EQ(chunkWords(*b), first);
}

TEST(ChunkVersions, LayoutOneHasNoProductCodeAndTwoHasSingleWordEntries) {
    auto c = DirectHost::create();
    StateWords v1;
    v1.header(1).record(11, 0.25f);
    v1.add({-1, 4, 8, -2, -3, 0, 9});
    ASSERT_EQ(v1.w[8], 11) << "the first record starts at word 8";
    EXPECT_TRUE(load(*c, v1, true));
    EXPECT_EQ(c->getParameter(0), 0.25f);
    EXPECT_EQ(c->ccMap.lists[4], (ControllerList{{8, 0}}));

    StateWords v2;
    v2.header(2).record(11, 0.5f);
    v2.add({-1, 7, 5, 6, -2, -3, 0, 9});
    EXPECT_TRUE(load(*c, v2, true));
    EXPECT_EQ(c->getParameter(0), 0.5f);
    EXPECT_EQ(c->ccMap.lists[7], (ControllerList{{5, 0}, {6, 0}}));
    EXPECT_TRUE(c->ccMap.lists[4].empty());
}

TEST(ChunkVersions, UnknownRecordsAreConsumedWhole) {
    auto c = DirectHost::create();
    StateWords s;
    s.header();
    s.add({999, 3}).addFloat(0.9f).add({-1, -1}); // five words, the last two skipped
    s.record(11, 0.75f).record(-7, 0.1f);
    s.emptyMapAndName("x").currentTail();
    EXPECT_TRUE(load(*c, s, true));
    EXPECT_EQ(c->getParameter(0), 0.75f);
    EXPECT_EQ(c->presetName, "x");
}

TEST(ChunkVersions, TailVersionsDecideWhatOfTheProgramIsTaken) {
    auto c = DirectHost::create();
    c->ccMap.extraAssignments = {{1, 1}};
    auto withTail = [](std::initializer_list<int32_t> tail) {
        StateWords s;
        s.header().record(11, 0.5f).emptyMapAndName("t").add(tail);
        return s;
    };
    EXPECT_TRUE(load(*c, withTail({12, 7, 3}), true));
    EXPECT_EQ(c->getProgram(), 0);
    EXPECT_EQ(c->presetFolderIndex, 0);

    EXPECT_TRUE(load(*c, withTail({13, 7, 3}), true));
    EXPECT_EQ(c->getProgram(), 7);
    EXPECT_EQ(c->presetFolderIndex, 3);
    EXPECT_EQ(c->ccMap.extraAssignments, (ControllerList{{1, 1}})) << "13 reads no extra assignments";

    EXPECT_TRUE(load(*c, withTail({16, 9, 4, 1, 2, 5, -4, 0, 0, 0}), false));
    EXPECT_EQ(c->getProgram(), 7) << "only a host restore takes the program";
    EXPECT_EQ(c->ccMap.extraAssignments, (ControllerList{{2, 5}}));

    EXPECT_TRUE(load(*c, withTail({14, 9, 4, 1, 6, 0, -4}), true));
    EXPECT_EQ(c->getProgram(), 9);
    EXPECT_EQ(c->presetFolderIndex, 4);
    EXPECT_EQ(c->ccMap.extraAssignments, (ControllerList{{6, 0}}));

    EXPECT_TRUE(load(*c, withTail({17, 1, 8, 8, -4, 0, 0, 0}), true)) << "no program words from 17 on";
    EXPECT_EQ(c->getProgram(), 9);
    EXPECT_EQ(c->ccMap.extraAssignments, (ControllerList{{8, 8}}));

    EXPECT_TRUE(load(*c, withTail({10, 2}), true));
    EXPECT_TRUE(load(*c, withTail({9}), true));
    EXPECT_EQ(c->getProgram(), 9);
    EXPECT_EQ(c->ccMap.extraAssignments, (ControllerList{{8, 8}}));

    // A matrix block is skipped whole; a program position no writer makes is not taken.
    EXPECT_TRUE(load(*c, withTail({16, 200, 1, 0, -4, 2, 3, 1, 2, 3, 4, 5, 6, 0}), true));
    EXPECT_EQ(c->getProgram(), 9);
    EXPECT_TRUE(c->ccMap.extraAssignments.empty());
}

TEST(ChunkControllerMap, NumbersOutside0To127AreIgnored) {
    auto c = DirectHost::create();
    StateWords s;
    s.header().add({-1, 128, 1, 1, -2, -5, 2, 2, -2, 0, 4, 4, -2, 127, 6, 6, -2, -3, 0, 9});
    EXPECT_TRUE(load(*c, s, true));
    EXPECT_EQ(c->ccMap.lists[0], (ControllerList{{4, 4}})) << "0 and 127 are the ends of the range";
    EXPECT_EQ(c->ccMap.lists[127], (ControllerList{{6, 6}}));
    c->ccMap.lists[0].clear();
    c->ccMap.lists[127].clear();
    EXPECT_TRUE(c->ccMap.empty());

    // A target word whose low 16 bits are -2 cannot be stored as a target:
    // written back it would end its list. It is dropped on reading and on writing.
    StateWords odd;
    odd.header().add({-1, 7, 5, 0, static_cast<int32_t>(0xff9efffe), 4, 6, 1, -2, -3, 0, 9});
    EXPECT_TRUE(load(*c, odd, true));
    EXPECT_EQ(c->ccMap.lists[7], (ControllerList{{5, 0}, {6, 1}}));
    c->ccMap.lists[7].push_back({-2, 0});
    const std::vector<int32_t> w = chunkWords(*c);
    EXPECT_EQ((std::vector<int32_t>(w.begin() + 150, w.begin() + 158)), (std::vector<int32_t>{-1, 7, 5, 0, 6, 1, -2, -3}));
}

TEST(ChunkRejection, EachCheckHasItsMessageAndChangesNothing) {
    struct Case {
        const char* what;
        StateWords layout;
        const char* message;
    };
    auto good = [] {
        StateWords s;
        s.header().record(11, 0.9f).emptyMapAndName("bad").currentTail(3, 1);
        return s;
    };
    std::vector<Case> cases;
    cases.push_back({"magic", good(), "\t This is no valid Orvel format!"});
    cases.back().layout.w[4] = 26101978;
    cases.push_back({"state kind", good(), "wrong plugin version"});
    cases.back().layout.w[6] = 2;
    cases.push_back({"layout version", good(), "This is not a Orvel file"});
    cases.back().layout.w[7] = 0;
    cases.push_back({"product code", good(), "This is not a Orvel file"});
    cases.back().layout.w[8] = 40;
    cases.push_back({"header only", StateWords{{0, 4, 0, 0, 26101977}}, "\t This is no valid Orvel format!"});
    cases.push_back({"three words", StateWords{{3, 4, 0}}, "\t This is no valid Orvel format!"});
    StateWords cut = good();
    cut.w.resize(11); // inside the first record
    cases.push_back({"cut in a record", cut, "\t This is no valid Orvel format!"});
    StateWords noEnd;
    noEnd.header().record(11, 0.9f);
    cases.push_back({"no end of parameters", noEnd, "\t This is no valid Orvel format!"});
    StateWords zeroLength;
    zeroLength.header().add({11, 0, 0, 12, 1, 0}).emptyMapAndName("z").currentTail();
    cases.push_back({"record length 0", zeroLength, "\t This is no valid Orvel format!"});
    StateWords hugeLength;
    hugeLength.header().add({11, 0x7fffffff, 0}).emptyMapAndName("z").currentTail();
    cases.push_back({"record longer than the data", hugeLength, "\t This is no valid Orvel format!"});

    for (const Case& k : cases) {
        auto c = DirectHost::create(true);
        c->ccMap.lists[1] = {{1, 1}};
        c->presetName = "kept";
        const std::vector<int32_t> before = chunkWords(*c);
        MessageCapture messages;
        EXPECT_EQ(setChunkBytes(*c, k.layout.bytes()), 1) << k.what;
        EXPECT_EQ(messages.texts(), std::vector<std::string>{k.message}) << k.what;
        EXPECT_EQ(chunkWords(*c), before) << k.what;
        EXPECT_TRUE(DirectHost::tempoCalls.empty()) << k.what << ": no load ran";
        EXPECT_FALSE(c->loadInProgress.load());

        const std::vector<uint8_t> b = k.layout.bytes();
        ZuChunk quietChunk(b.data(), b.size());
        EXPECT_FALSE(c->readState(quietChunk, false, true, false)) << k.what;
        EXPECT_EQ(messages.texts().size(), 1u) << k.what << ": quiet shows nothing";
    }
}

TEST(ChunkRejection, ALayoutCutAfterItsParametersKeepsWhatDidNotArrive) {
    auto c = DirectHost::create();
    c->ccMap.lists[1] = {{1, 1}};
    c->presetName = "kept";
    StateWords s;
    s.header().record(11, 0.3f).add({-1, 2, 5}); // map cut inside a list
    EXPECT_TRUE(load(*c, s, true));
    EXPECT_EQ(c->getParameter(0), 0.3f);
    EXPECT_EQ(c->ccMap.lists[1], (ControllerList{{1, 1}}));
    EXPECT_TRUE(c->ccMap.lists[2].empty());

    StateWords name;
    name.header().record(11, 0.4f).add({-1, 2, 5, 0, -2, -3, 1, 40, 0x41414141}); // name cut short
    EXPECT_TRUE(load(*c, name, true));
    EXPECT_EQ(c->ccMap.lists[2], (ControllerList{{5, 0}}));
    EXPECT_EQ(c->presetName, "kept");

    // The word count in the header is not what bounds the reader; the data is.
    StateWords wrongCount;
    wrongCount.header().record(11, 0.6f).emptyMapAndName("n").currentTail();
    wrongCount.w[0] = 3;
    EXPECT_TRUE(load(*c, wrongCount, true, true, false));
    EXPECT_EQ(c->presetName, "n");
}

TEST(ChunkLoad, SilentOnlyWhileTheLoadRunsAndTheEngineRestartsItsGrid) {
    SettingsSandbox box;
    auto c = DirectHost::create(true);
    ASSERT_TRUE(c->isOwnHost());
    c->engine().ctx.controlCounter = 5;
    float memory[6] = {1, 2, 3, 4, 5, 6};
    c->engine().ctx.registry.add(memory, sizeof(memory));
    c->uniEditor()->open(nullptr);

    StateWords s;
    s.header(4, 133.0f).record(11, 0.5f).emptyMapAndName("").currentTail();
    setChunkBytes(*c, s.bytes());
    EXPECT_EQ(DirectHost::tempoCalls, std::vector<float>{133.0f});
    EXPECT_EQ(DirectHost::loadRunningAtTempoCall, std::vector<bool>{true});
    EXPECT_FALSE(c->loadInProgress.load());
    EXPECT_EQ(c->engine().ctx.controlCounter, kControlBlockSize);
    EXPECT_TRUE(std::all_of(memory, memory + 6, [](float v) { return v == 0.0f; })) << "signal memory cleared";
    c->engine().ctx.registry.remove(memory);
    EXPECT_TRUE(c->uniEditor()->refreshRequested());

    auto other = DirectHost::create(false);
    setChunkBytes(*other, s.bytes());
    EXPECT_TRUE(DirectHost::tempoCalls.empty()) << "only the maker's own host hears the tempo";
}

TEST(ChunkLoad, TheNamedPresetIsLookedUpBelowTheRootFolder) {
    SettingsSandbox box;
    const std::string root = box.root() + "/presets/";
    std::filesystem::create_directories(root + "A/Deep");
    std::ofstream(root + "A/Deep/Bright Keys.zuo") << "x";
    std::ofstream(root + "Bright Keys.txt") << "x";
    auto c = DirectHost::create();
    ASSERT_TRUE(writeSettingString("presetpath0", root.c_str()));

    StateWords s;
    s.header().emptyMapAndName("Bright Keys").currentTail();
    setChunkBytes(*c, s.bytes());
    EXPECT_EQ(std::filesystem::path(c->presetPath), std::filesystem::path(root + "A/Deep/Bright Keys.zuo"));

    StateWords missing;
    missing.header().emptyMapAndName("Nowhere").currentTail();
    setChunkBytes(*c, missing.bytes());
    EXPECT_EQ(c->presetPath, "");

    // Without updatePath the path stays as it was.
    c->presetPath = "old";
    const std::vector<uint8_t> b = s.bytes();
    ZuChunk chunk(b.data(), b.size());
    EXPECT_TRUE(c->readState(chunk, false, true, false));
    EXPECT_EQ(c->presetPath, "old");
}

TEST(ChunkControllerMap, RemovingATargetTakesItFromEveryListAndTheExtras) {
    ControllerMap m;
    m.lists[7] = {{5, 0}, {6, 2}};
    m.lists[64] = {{5, 1}};
    m.extraAssignments = {{5, 3}, {9, 0}};
    m.removeTarget(5);
    EXPECT_EQ(m.lists[7], (ControllerList{{6, 2}}));
    EXPECT_TRUE(m.lists[64].empty());
    EXPECT_EQ(m.extraAssignments, (ControllerList{{9, 0}}));
    m.removeTarget(6);
    m.removeTarget(9);
    EXPECT_TRUE(m.empty());
}
