// Bitmap decoding: row order and padding, and refusal of malformed data.
#include <gtest/gtest.h>

#include <vector>

#include "gui/CBitmap.h"
#include "gui/DibImage.h"

namespace {

void put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + size_t(i)] = uint8_t(x >> (8 * i));
}

// A 3 x 2 image, 24-bit (rows padded to 12 bytes) or 32-bit.
std::vector<uint8_t> dib(int32_t height, int bits) {
    int stride = bits == 24 ? 12 : 12;
    std::vector<uint8_t> v(40 + size_t(stride) * 2, 0);
    put32(v, 0, 40);
    put32(v, 4, 3);
    put32(v, 8, uint32_t(height));
    v[12] = 1;
    v[14] = uint8_t(bits);
    int bytes = bits / 8;
    for (int row = 0; row < 2; ++row)
        for (int x = 0; x < 3; ++x) {
            uint8_t* p = &v[40 + size_t(row * stride + x * bytes)];
            p[0] = uint8_t(x);        // blue
            p[1] = uint8_t(row);      // green
            p[2] = uint8_t(0x80);     // red
            if (bytes == 4) p[3] = 255;
        }
    return v;
}

} // namespace

TEST(DibImage, MalformedDataIsRefused) {
    DecodedImage img;
    auto good = dib(2, 24);
    EXPECT_FALSE(decodeDib(good.data(), good.size() - 1, img)); // one byte short
    EXPECT_FALSE(decodeDib(good.data(), 39, img));
    EXPECT_FALSE(decodeDib(nullptr, 0, img));
    auto v = good;
    v[14] = 8; // palette images are not handled
    EXPECT_FALSE(decodeDib(v.data(), v.size(), img));
    v = good;
    put32(v, 16, 1); // compressed
    EXPECT_FALSE(decodeDib(v.data(), v.size(), img));
    v = good;
    put32(v, 4, 0x7FFFFFFF); // absurd width
    EXPECT_FALSE(decodeDib(v.data(), v.size(), img));
    v = good;
    put32(v, 8, 0x80000000u); // INT32_MIN height
    EXPECT_FALSE(decodeDib(v.data(), v.size(), img));
    v = good;
    put32(v, 0, 0xFFFFFFF0u); // header larger than the data
    EXPECT_FALSE(decodeDib(v.data(), v.size(), img));
    v = good;
    put32(v, 32, 1000); // colour table beyond the data
    EXPECT_FALSE(decodeDib(v.data(), v.size(), img));

    // the file form checks its magic and pixel offset
    std::vector<uint8_t> file(14, 0);
    file[0] = 'B';
    file[1] = 'M';
    put32(file, 10, 54);
    file.insert(file.end(), good.begin(), good.end());
    EXPECT_TRUE(decodeBmpFile(file.data(), file.size(), img));
    put32(file, 10, 5000);
    EXPECT_FALSE(decodeBmpFile(file.data(), file.size(), img));
    file[0] = 'X';
    EXPECT_FALSE(decodeBmpFile(file.data(), file.size(), img));

    EXPECT_EQ(CBitmap::fromDib(v.data(), 10), nullptr);
    CBitmap* b = CBitmap::fromDib(good.data(), good.size());
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->getWidth(), 3);
    b->forget();
}
