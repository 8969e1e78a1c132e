// The state layout written by getChunk and read by setChunk/readState: the
// word layout, round trips, older versions, the controller numbers, and
// every rejection leaving the state as it was; and the word cursor's reads
// and writes never leaving the buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "params/ParameterTags.h"
#include "state/ZuChunk.h"
#include "support/MessageCapture.h"
#include "support/SettingsSandbox.h"
#include "support/StateWords.h"

namespace {

// Record ids in the order the parameter table creates the stored records.
const int32_t kStoredIds[47] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
                                17, 18, 19, 20, 21, 22, 23, 24, 32, 25, 26, 31, 27, 28, 29, 30,
                                33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 46, 47, 45};

std::vector<int32_t> chunkWords(ZuUniClient& c) {
    const std::vector<uint8_t> b = chunkBytes(c);
    return wordsOf(b.data(), static_cast<int32_t>(b.size()));
}

int32_t bitsOf(float v) { return StateWords().addFloat(v).w[0]; }

float valueOf(ZuUniClient& c, int32_t recordId) { return *c.parameters().byRecordId(recordId)->value; }

// The preset road: quiet, and the path left alone.
bool load(ZuUniClient& c, const StateWords& s, bool force, bool fixCount = true) {
    const std::vector<uint8_t> b = s.bytes(fixCount);
    ZuChunk chunk(b.data(), b.size());
    return c.readState(chunk, force, true, false);
}

// The host's own buffer, exactly as long as it says.
int32_t setChunkBytes(ZuUniClient& c, std::vector<uint8_t> b) {
    return c.setChunk(b.data(), static_cast<VstInt32>(b.size()), false);
}

} // namespace

TEST(ChunkLayout, ReadThenWrittenWordForWordAndReadBackTheSame) {
    auto a = DirectHost::create();
    std::vector<int32_t> w = chunkWords(*a);
    ASSERT_EQ(w.size(), 163u);
    EXPECT_EQ(std::vector<int32_t>(w.begin() + 150, w.end()),
              (std::vector<int32_t>{-1, -3, 1, 0, 16, 0, 0, 0, -4, 0, 0, 4, 0x74736f48})); // "Host"

    StateWords s;
    s.header(4, 97.5f);
    for (int i = 0; i < 47; ++i) s.record(kStoredIds[i], 0.01f * static_cast<float>(i) + 0.003f);
    s.add({-1, 0, 9, -7, -1, -300, -2, 127, 4, 0, -2, -3, 1}).addString("Warm Pad 2");
    s.add({16, 5, 2, 2, 30, 1, 31, 0, -4, 0, 0}).addString("Host");
    EXPECT_EQ(setChunkBytes(*a, s.bytes()), 1);
    for (int i = 0; i < 47; ++i) EXPECT_FLOAT_EQ(valueOf(*a, kStoredIds[i]), 0.01f * static_cast<float>(i) + 0.003f);
    EXPECT_EQ(a->ccMap.lists[0], (ControllerList{{9, -7}, {-1, -300}}));
    EXPECT_EQ(a->ccMap.lists[127], (ControllerList{{4, 0}}));
    EXPECT_EQ(a->ccMap.extraAssignments, (ControllerList{{30, 1}, {31, 0}}));
    EXPECT_EQ(std::tuple(a->presetName, a->getProgram(), a->presetFolderIndex), std::tuple("Warm Pad 2", 5, 2));
    // Values go through the parameter model: `master` 0.103 gives 4v^2.
    EXPECT_FLOAT_EQ(a->engine().controls.masterGain, 4.0f * 0.103f * 0.103f);

    // Written back: the same words, with the engine's tempo and rate and the
    // values as the model holds them; the buffer is replaced at each call.
    a->setSampleRate(48000.0f);
    w = chunkWords(*a);
    std::vector<int32_t> expected = s.w;
    expected[0] = static_cast<int32_t>(expected.size()), expected[2] = bitsOf(120.0f), expected[3] = bitsOf(48000.0f);
    for (size_t i = 0; i < 47; ++i) expected[11 + 3 * i] = bitsOf(valueOf(*a, kStoredIds[i]));
    EXPECT_EQ(w, expected);
}

TEST(ChunkVersions, OlderLayoutsOneWordEntriesAndUnknownRecords) {
    auto c = DirectHost::create();
    StateWords v1, v2, unknown;
    v1.header(1).record(11, 0.25f).add({-1, 4, 8, -2, -3, 0, 9}); // no product code
    EXPECT_TRUE(load(*c, v1, true) && c->getParameter(kTagMaster) == 0.25f);
    EXPECT_EQ(c->ccMap.lists[4], (ControllerList{{8, 0}}));

    v2.header(2).record(11, 0.5f).add({-1, 7, 5, 6, -2, -3, 0, 9});
    EXPECT_TRUE(load(*c, v2, true) && c->getParameter(kTagMaster) == 0.5f);
    EXPECT_EQ(c->ccMap.lists[7], (ControllerList{{5, 0}, {6, 0}}));
    EXPECT_TRUE(c->ccMap.lists[4].empty()) << "a load replaces the whole map";

    // A record is consumed whole by its length, whether its id is known or not.
    unknown.header().add({999, 3}).addFloat(0.9f).add({-1, -1}).record(11, 0.75f).record(-7, 0.1f);
    EXPECT_TRUE(load(*c, unknown.emptyMapAndName("x").currentTail(), true));
    EXPECT_TRUE(c->getParameter(kTagMaster) == 0.75f && c->presetName == "x") << c->presetName;
}

TEST(ChunkVersions, TailVersionsDecideWhatOfTheProgramIsTaken) {
    struct Case {
        std::vector<int32_t> tail;
        bool force;
        int32_t program, folder;
        ControllerList extras;
    };
    const ControllerList before{{1, 1}};
    const Case cases[] = {
        {{9}, true, 0, 0, before},
        {{10, 2}, true, 0, 0, before},    // a program word, never taken
        {{12, 7, 3}, true, 0, 0, before}, // and a folder word
        {{13, 7, 3}, true, 7, 3, before}, // taken from 13 on, with no extra assignments yet
        {{14, 9, 4, 1, 6, 0, -4}, true, 9, 4, {{6, 0}}},
        {{16, 9, 4, 1, 2, 5, -4, 0, 0, 0}, false, 0, 0, {{2, 5}}}, // only a host restore takes the program
        {{17, 1, 8, 8, -4, 0, 0, 0}, true, 0, 0, {{8, 8}}},        // no program words from 17 on
        // a matrix block is skipped whole; a program position no writer makes is not taken
        {{16, 200, 1, 0, -4, 2, 3, 1, 2, 3, 4, 5, 6, 0}, true, 0, 0, {}},
    };
    for (const Case& k : cases) {
        auto c = DirectHost::create();
        c->ccMap.extraAssignments = before;
        StateWords s;
        s.header().record(11, 0.5f).emptyMapAndName("t");
        s.w.insert(s.w.end(), k.tail.begin(), k.tail.end());
        SCOPED_TRACE(k.tail[0]);
        EXPECT_TRUE(load(*c, s, k.force));
        EXPECT_EQ(std::pair(c->getProgram(), c->presetFolderIndex), std::pair(k.program, k.folder));
        EXPECT_EQ(c->ccMap.extraAssignments, k.extras);
    }
}

TEST(ChunkControllerMap, NumbersOutside0To127AndUnwritableTargetsAreDropped) {
    auto c = DirectHost::create();
    StateWords s;
    s.header().add({-1, 128, 1, 1, -2, -5, 2, 2, -2, 0, 4, 4, -2, 127, 6, 6, -2, -3, 0, 9});
    EXPECT_TRUE(load(*c, s, true));
    EXPECT_EQ(c->ccMap.lists[0], (ControllerList{{4, 4}})) << "0 and 127 are the ends of the range";
    EXPECT_EQ(c->ccMap.lists[127], (ControllerList{{6, 6}}));
    c->ccMap.lists[0].clear(), c->ccMap.lists[127].clear();
    EXPECT_TRUE(c->ccMap.empty());

    // A target word whose low 16 bits are -2, written back, would end its list.
    StateWords odd;
    odd.header().add({-1, 7, 5, 0, static_cast<int32_t>(0xff9efffe), 4, 6, 1, -2, -3, 0, 9});
    EXPECT_TRUE(load(*c, odd, true));
    EXPECT_EQ(c->ccMap.lists[7], (ControllerList{{5, 0}, {6, 1}}));
    c->ccMap.lists[7].push_back({-2, 0});
    const std::vector<int32_t> w = chunkWords(*c);
    EXPECT_EQ((std::vector<int32_t>(w.begin() + 150, w.begin() + 158)),
              (std::vector<int32_t>{-1, 7, 5, 0, 6, 1, -2, -3}));

    // Removing a target takes it from every list and from the extras.
    ControllerMap m;
    m.lists[7] = {{5, 0}, {6, 2}}, m.lists[64] = {{5, 1}}, m.extraAssignments = {{5, 3}, {9, 0}};
    m.removeTarget(5);
    EXPECT_EQ(m.lists[7], (ControllerList{{6, 2}}));
    EXPECT_TRUE(m.lists[64].empty());
    EXPECT_EQ(m.extraAssignments, (ControllerList{{9, 0}}));
}

TEST(ChunkRejection, EachCheckHasItsMessageAndChangesNothing) {
    const char* invalid = "\t This is no valid Orvel format!";
    const char* notOurs = "This is not a Orvel file";
    StateWords good;
    good.header().record(11, 0.9f).emptyMapAndName("bad").currentTail(3, 1);
    auto changed = [&](size_t word, int32_t value) {
        StateWords s = good;
        s.w[word] = value;
        return s;
    };
    StateWords cut = good, noEnd, zeroLength, hugeLength;
    cut.w.resize(11); // inside the first record
    noEnd.header().record(11, 0.9f);
    zeroLength.header().add({11, 0, 0, 12, 1, 0}).emptyMapAndName("z").currentTail();
    hugeLength.header().add({11, 0x7fffffff, 0}).emptyMapAndName("z").currentTail();
    const std::vector<std::tuple<const char*, StateWords, const char*>> cases = {
        {"magic", changed(4, 26101978), invalid},
        {"state kind", changed(6, 2), "wrong plugin version"},
        {"layout version", changed(7, 0), notOurs},
        {"product code", changed(8, 40), notOurs},
        {"header only", StateWords{{0, 4, 0, 0, 26101977}}, invalid},
        {"three words", StateWords{{3, 4, 0}}, invalid},
        {"cut in a record", cut, invalid},
        {"no end of parameters", noEnd, invalid},
        {"record length 0", zeroLength, invalid},
        {"record longer than the data", hugeLength, invalid},
    };
    for (const auto& [what, layout, message] : cases) {
        auto c = DirectHost::create(true);
        c->ccMap.lists[1] = {{1, 1}};
        c->presetName = "kept";
        const std::vector<int32_t> before = chunkWords(*c);
        MessageCapture messages;
        SCOPED_TRACE(what);
        EXPECT_EQ(setChunkBytes(*c, layout.bytes()), 1);
        EXPECT_EQ(messages.texts(), std::vector<std::string>{message});
        EXPECT_EQ(chunkWords(*c), before);
        EXPECT_TRUE(DirectHost::tempoCalls.empty() && !c->loadInProgress.load()) << "no load ran";
        EXPECT_FALSE(load(*c, layout, false));
        EXPECT_EQ(messages.texts().size(), 1u) << "quiet shows nothing";
    }
}

TEST(ChunkRejection, ALayoutCutAfterItsParametersKeepsWhatDidNotArrive) {
    auto c = DirectHost::create();
    c->ccMap.lists[1] = {{1, 1}};
    c->presetName = "kept";
    StateWords s;
    s.header().record(11, 0.3f).add({-1, 2, 5}); // map cut inside a list
    EXPECT_TRUE(load(*c, s, true) && c->getParameter(kTagMaster) == 0.3f);
    EXPECT_EQ(c->ccMap.lists[1], (ControllerList{{1, 1}}));
    EXPECT_TRUE(c->ccMap.lists[2].empty());

    StateWords name;
    name.header().record(11, 0.4f).add({-1, 2, 5, 0, -2, -3, 1, 40, 0x41414141}); // name cut short
    EXPECT_TRUE(load(*c, name, true));
    EXPECT_TRUE(c->ccMap.lists[2] == (ControllerList{{5, 0}}) && c->presetName == "kept") << c->presetName;

    // The word count in the header is not what bounds the reader; the data is.
    StateWords wrongCount;
    wrongCount.header().record(11, 0.6f).emptyMapAndName("n").currentTail();
    wrongCount.w[0] = 3;
    EXPECT_TRUE(load(*c, wrongCount, true, false) && c->presetName == "n") << c->presetName;
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

TEST(ZuChunk, ReadsStopAtTheEndOfTheData) {
    // Borrowed and deliberately misaligned, as a host's buffer may be.
    std::vector<uint8_t> raw(1 + 4 * 3 + 2, 0);
    const int32_t words[3] = {7, 0x7fffffff, -1};
    std::memcpy(raw.data() + 1, words, sizeof(words));
    ZuChunk c(raw.data() + 1, raw.size() - 1); // 14 bytes: 3 whole words
    EXPECT_TRUE(c.measureOnly);
    EXPECT_EQ(c.capacityWords(), 3);
    EXPECT_EQ(c.readInt(), 7);
    EXPECT_EQ(c.readString(), "") << "a length beyond the data";
    EXPECT_TRUE(c.overrun());

    c.rewind();
    EXPECT_FALSE(c.skipWords(4) || c.skipWords(-1));
    EXPECT_TRUE(c.skipWords(2));
    EXPECT_EQ(c.readString(), "") << "a negative length";
    EXPECT_TRUE(c.overrun());
    c.rewind();
    EXPECT_TRUE(c.skipWords(3));
    EXPECT_EQ(c.readInt(), 0);
    EXPECT_TRUE(c.overrun() && c.cursor == 3) << c.cursor;

    ZuChunk empty(nullptr, 100);
    EXPECT_FALSE(empty.readHeader(true));
    ZuChunk small;
    small.allocate(1);
    small.writeInt(1);
    small.writeInt(2); // no room: stored nowhere
    EXPECT_TRUE(small.overrun());
    EXPECT_EQ(wordsOf(small.data(), 4), std::vector<int32_t>{1});
}
