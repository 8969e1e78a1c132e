// The word cursor: string encoding, the measuring mode, and reads and writes
// that never leave the buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "state/ZuChunk.h"
#include "support/StateWords.h"

TEST(ZuChunk, StringsTakeALengthWordAndZeroPaddedWords) {
    ZuChunk measure;
    measure.measureOnly = true;
    measure.writeString(nullptr);
    measure.writeString("");
    measure.writeString("abcd");
    measure.writeString("abcde");
    EXPECT_EQ(measure.cursor, 1 + 1 + 2 + 3);

    ZuChunk c;
    c.allocate(7);
    c.writeString(nullptr);
    c.writeString("");
    c.writeString("abcd");
    c.writeString("abcde");
    EXPECT_FALSE(c.overrun());
    EXPECT_EQ(wordsOf(c.data(), 28), (std::vector<int32_t>{0, 0, 4, 0x64636261, 5, 0x64636261, 0x65}));

    c.rewind();
    EXPECT_EQ(c.readString(), "");
    EXPECT_EQ(c.readString(), "");
    EXPECT_EQ(c.readString(), "abcd");
    EXPECT_EQ(c.readString(), "abcde");
    EXPECT_EQ(c.cursor, 7);
    EXPECT_FALSE(c.overrun());
}

TEST(ZuChunk, WordsFloatsAndQuads) {
    ZuChunk c;
    c.allocate(6);
    c.writeInt(-2);
    c.writeFloat(0.5f);
    const int32_t quad[4] = {1, 2, 3, 4};
    c.writeBytes(quad, 16);
    c.rewind();
    int32_t v = 0;
    EXPECT_EQ(c.readIntInto(v), -2);
    EXPECT_EQ(v, -2);
    EXPECT_EQ(c.readFloat(), 0.5f);
    c.stepBack();
    EXPECT_EQ(c.readIntOut(v), 0x3f000000);
    int32_t out[4] = {9, 9, 9, 9};
    c.readQuadCleared(out);
    EXPECT_EQ((std::vector<int32_t>(out, out + 4)), (std::vector<int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(c.remainingWords(), 0);
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
    EXPECT_FALSE(c.skipWords(4));
    EXPECT_FALSE(c.skipWords(-1));
    EXPECT_TRUE(c.skipWords(2));
    EXPECT_EQ(c.readString(), "") << "a negative length";
    EXPECT_TRUE(c.overrun());
    c.rewind();
    EXPECT_TRUE(c.skipWords(3));
    EXPECT_EQ(c.readInt(), 0);
    EXPECT_TRUE(c.overrun());
    EXPECT_EQ(c.cursor, 3);

    ZuChunk empty(nullptr, 100);
    EXPECT_FALSE(empty.readHeader(true));
    ZuChunk small;
    small.allocate(1);
    small.writeInt(1);
    small.writeInt(2); // no room: stored nowhere
    EXPECT_TRUE(small.overrun());
    EXPECT_EQ(wordsOf(small.data(), 4), std::vector<int32_t>{1});
}
