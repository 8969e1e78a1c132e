// The word cursor's reads and writes never leave the buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "state/ZuChunk.h"
#include "support/StateWords.h"

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
