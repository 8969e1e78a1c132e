// Bitmap decoding: refusal of malformed data.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "gui/CBitmap.h"
#include "gui/DibImage.h"

namespace {

void put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + size_t(i)] = uint8_t(x >> (8 * i));
}

// A 3 x 2 image of 24 bits, rows padded to 12 bytes.
std::vector<uint8_t> dib() {
    std::vector<uint8_t> v(40 + 24, 0x80);
    std::fill(v.begin(), v.begin() + 40, 0);
    put32(v, 0, 40);
    put32(v, 4, 3);
    put32(v, 8, 2);
    v[12] = 1;
    v[14] = 24;
    return v;
}

} // namespace

TEST(DibImage, MalformedDataIsRefused) {
    DecodedImage img;
    const std::vector<uint8_t> good = dib();
    EXPECT_FALSE(decodeDib(good.data(), good.size() - 1, img)); // one byte short
    EXPECT_FALSE(decodeDib(good.data(), 39, img));
    EXPECT_FALSE(decodeDib(nullptr, 0, img));
    const std::pair<size_t, uint32_t> damage[] = {
        {14, 8},          // a palette (the compression after it stays 0)
        {16, 1},          // compressed
        {4, 0x7FFFFFFF},  // an absurd width
        {8, 0x80000000u}, // INT32_MIN height
        {0, 0xFFFFFFF0u}, // a header beyond the data
        {32, 1000}};      // a colour table beyond the data
    for (const auto& [at, value] : damage) {
        std::vector<uint8_t> v = good;
        put32(v, at, value);
        EXPECT_FALSE(decodeDib(v.data(), v.size(), img)) << at;
    }

    // the file form checks its magic and pixel offset
    std::vector<uint8_t> file(14 + good.size(), 0);
    std::copy(good.begin(), good.end(), file.begin() + 14);
    file[0] = 'B';
    file[1] = 'M';
    put32(file, 10, 54);
    EXPECT_TRUE(decodeBmpFile(file.data(), file.size(), img));
    EXPECT_EQ(img.width, 3);
    put32(file, 10, 5000);
    EXPECT_FALSE(decodeBmpFile(file.data(), file.size(), img));
    file[0] = 'X';
    EXPECT_FALSE(decodeBmpFile(file.data(), file.size(), img));

    EXPECT_EQ(CBitmap::fromDib(good.data(), 10), nullptr);
    CBitmap* b = CBitmap::fromDib(good.data(), good.size());
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->getWidth(), 3);
    b->forget();
}
