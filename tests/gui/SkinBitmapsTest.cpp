// The skin as the module carries it: every id of 1000..1068, strips that line
// up with the panel, and images that differ from state to state.
#include <gtest/gtest.h>

#include "gui/CBitmap.h"
#include "gui/SkinBitmaps.h"

namespace {

bool sameImage(const CBitmap& b, int imageA, int imageB, int imageHeight) {
    for (int y = 0; y < imageHeight; ++y)
        for (int x = 0; x < b.getWidth(); ++x)
            if (b.pixel(x, imageA * imageHeight + y) != b.pixel(x, imageB * imageHeight + y)) return false;
    return true;
}

} // namespace

TEST(SkinBitmaps, EveryIdLoadsAndItsImagesDifferAndLineUpWithThePanel) {
    skin::acquireBitmaps();
    for (int id = 1000; id <= 1068; ++id) {
        const CBitmap* b = skin::getBitmap(id);
        ASSERT_TRUE(b && b->isLoaded() && b->getWidth() > 0 && b->getHeight() > 0) << id;
        EXPECT_FALSE(b->hasAlpha()) << id; // 24-bit images
    }
    for (int id : {999, 1069, -1}) EXPECT_EQ(skin::getBitmap(id), nullptr) << id;
    CBitmap* none = new CBitmap(1069);
    EXPECT_FALSE(none->isLoaded());
    none->forget();

    const CBitmap& panel = *skin::getBitmap(1000);
    EXPECT_EQ(panel.getWidth(), 682);
    EXPECT_EQ(panel.getHeight(), 425);
    // the master knob at (490, 344): 96 images of 52 x 52 drawn over the panel there
    const CBitmap& knob = *skin::getBitmap(1044);
    EXPECT_FALSE(sameImage(knob, 0, 95, 52));
    EXPECT_FALSE(sameImage(knob, 47, 48, 52));
    EXPECT_EQ(knob.pixel(0, 0), panel.pixel(490, 344));
    EXPECT_EQ(knob.pixel(51, 95 * 52 + 51), panel.pixel(541, 395));
    // a fader (the filter frequency at 412, 99): 128 images of 24 x 82
    const CBitmap& fader = *skin::getBitmap(1021);
    EXPECT_FALSE(sameImage(fader, 0, 127, 82));
    EXPECT_EQ(fader.pixel(0, 127 * 82 + 81), panel.pixel(412, 180));
    // two-state and three-state buttons and the output meter's 65 images: each unlike the one before
    const struct {
        int id, images;
    } strips[] = {{1002, 2}, {1003, 2}, {1005, 2}, {1015, 2}, {1024, 2}, {1028, 2}, {1037, 2},
                  {1052, 2}, {1060, 2}, {1049, 2}, {1032, 2}, {1001, 3}, {1036, 3}, {1043, 65}};
    for (const auto& s : strips) {
        const CBitmap& b = *skin::getBitmap(s.id);
        const int height = b.getHeight() / s.images;
        EXPECT_EQ(height * s.images, b.getHeight()) << s.id;
        for (int i = 1; i < s.images; ++i) EXPECT_FALSE(sameImage(b, i - 1, i, height)) << s.id << " image " << i;
    }
    skin::releaseBitmaps();
}
