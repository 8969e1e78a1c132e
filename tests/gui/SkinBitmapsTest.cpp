// The skin as the module carries it: every id of 1000..1068 with its size,
// strips that line up with the panel, sharing and reference counting.
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

TEST(SkinBitmaps, EveryIdOfTheSkinLoadsAndNoOther) {
    skin::acquireBitmaps();
    for (int id = 1000; id <= 1068; ++id) {
        const CBitmap* b = skin::getBitmap(id);
        ASSERT_NE(b, nullptr) << id;
        EXPECT_TRUE(b->isLoaded() && b->getWidth() > 0 && b->getHeight() > 0) << id;
        EXPECT_FALSE(b->hasAlpha()) << id; // 24-bit images
    }
    EXPECT_EQ(skin::getBitmap(1000)->getWidth(), 682);
    EXPECT_EQ(skin::getBitmap(1000)->getHeight(), 425);
    for (int id : {999, 1069, -1}) EXPECT_EQ(skin::getBitmap(id), nullptr) << id;
    CBitmap* none = new CBitmap(1069);
    EXPECT_FALSE(none->isLoaded());
    none->forget();
    skin::releaseBitmaps();
}

TEST(SkinBitmaps, StripsMoveWithTheValueAndMatchThePanel) {
    skin::acquireBitmaps();
    CBitmap* panel = skin::getBitmap(1000);
    ASSERT_NE(panel, nullptr);
    // the master knob (490, 344): its images are drawn over the panel there
    CBitmap* knob = skin::getBitmap(1044);
    ASSERT_NE(knob, nullptr);
    EXPECT_FALSE(sameImage(*knob, 0, 95, 52));
    EXPECT_FALSE(sameImage(*knob, 47, 48, 52));
    EXPECT_EQ(knob->pixel(0, 0), panel->pixel(490, 344));
    EXPECT_EQ(knob->pixel(51, 95 * 52 + 51), panel->pixel(541, 395));
    // a fader (the filter frequency at 412, 99): 128 images of 24 x 82
    CBitmap* fader = skin::getBitmap(1021);
    EXPECT_FALSE(sameImage(*fader, 0, 127, 82));
    EXPECT_EQ(fader->pixel(0, 127 * 82 + 81), panel->pixel(412, 180));
    // two-state buttons: unlit and lit differ
    for (int id : {1002, 1003, 1005, 1015, 1024, 1028, 1037, 1052, 1060, 1049, 1032})
        EXPECT_FALSE(sameImage(*skin::getBitmap(id), 0, 1, skin::getBitmap(id)->getHeight() / 2)) << id;
    // three-state buttons: all three differ
    for (int id : {1001, 1036}) {
        CBitmap* b = skin::getBitmap(id);
        EXPECT_FALSE(sameImage(*b, 0, 1, 13));
        EXPECT_FALSE(sameImage(*b, 1, 2, 13));
    }
    // the output meter's 65 images
    EXPECT_FALSE(sameImage(*skin::getBitmap(1043), 0, 64, 47));
    skin::releaseBitmaps();
}
