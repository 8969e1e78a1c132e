// The skin as the module carries it: every id of 1000..1068 with its size,
// strips that line up with the panel, sharing and reference counting.
#include <gtest/gtest.h>

#include <map>

#include "gui/CBitmap.h"
#include "gui/SkinBitmaps.h"

namespace {

struct Size {
    int w, h;
};

// The bitmap table the editor is built on.
std::map<int, Size> expectedSizes() {
    std::map<int, Size> m;
    m[1000] = {682, 425};
    for (int id : {1008, 1009, 1023, 1026, 1027, 1033, 1034, 1035, 1041, 1042, 1044, 1045, 1046, 1051, 1053})
        m[id] = {52, 4992};
    for (int id : {1010, 1011, 1012, 1017, 1018, 1021, 1022, 1039, 1040, 1056, 1057, 1058}) m[id] = {24, 10496};
    m[1061] = {126, 3968};
    m[1014] = {88, 3328};
    m[1004] = {51, 16};
    m[1043] = {84, 3055};
    for (int id : {1006, 1029, 1054}) m[id] = {72, 333};
    m[1016] = {144, 333};
    for (int id : {1019, 1020, 1038}) m[id] = {38, 1482};
    for (int id : {1030, 1059}) m[id] = {28, 896};
    m[1007] = {10, 3400};
    m[1025] = {268, 227};
    m[1068] = {266, 76};
    m[1013] = {40, 154};
    for (int id : {1064, 1065}) m[id] = {60, 72};
    for (int id : {1047, 1048}) m[id] = {35, 96};
    for (int id : {1002, 1003, 1005, 1015, 1024, 1028, 1037, 1052, 1060}) m[id] = {35, 24};
    for (int id : {1001, 1036}) m[id] = {54, 39};
    m[1050] = {51, 16};
    m[1049] = {66, 24};
    m[1032] = {19, 38};
    for (int id : {1066, 1067}) m[id] = {19, 19};
    m[1055] = {16, 32};
    m[1031] = {24, 12};
    for (int id : {1062, 1063}) m[id] = {12, 24};
    return m;
}

bool sameImage(const CBitmap& b, int imageA, int imageB, int imageHeight) {
    for (int y = 0; y < imageHeight; ++y)
        for (int x = 0; x < b.getWidth(); ++x)
            if (b.pixel(x, imageA * imageHeight + y) != b.pixel(x, imageB * imageHeight + y)) return false;
    return true;
}

} // namespace

TEST(SkinBitmaps, AllSixtyNineAreThereWithTheirSizes) {
    auto sizes = expectedSizes();
    ASSERT_EQ(sizes.size(), 69u);
    skin::acquireBitmaps();
    for (const auto& [id, size] : sizes) {
        CBitmap* b = skin::getBitmap(id);
        ASSERT_NE(b, nullptr) << id;
        EXPECT_EQ(b->getWidth(), size.w) << id;
        EXPECT_EQ(b->getHeight(), size.h) << id;
        EXPECT_EQ(b->getResourceId(), id);
        EXPECT_FALSE(b->hasAlpha()) << id; // 24-bit images
    }
    EXPECT_EQ(skin::getBitmap(999), nullptr);
    EXPECT_EQ(skin::getBitmap(1069), nullptr);
    EXPECT_EQ(skin::getBitmap(-1), nullptr);
    // ids outside the skin are not resources either
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

TEST(SkinBitmaps, SharedByOpenEditorsAndFreedWithTheLast) {
    ASSERT_EQ(skin::bitmapUsers(), 0);
    EXPECT_EQ(skin::getBitmap(1000), nullptr); // nothing loaded while no editor is open
    skin::acquireBitmaps();
    CBitmap* first = skin::getBitmap(1000);
    skin::acquireBitmaps(); // a second editor opens: the same set
    EXPECT_EQ(skin::getBitmap(1000), first);
    EXPECT_EQ(skin::bitmapUsers(), 2);
    // a control holding a bitmap keeps it alive past the set
    first->remember();
    skin::releaseBitmaps();
    EXPECT_EQ(skin::getBitmap(1000), first); // the other editor still has it
    skin::releaseBitmaps();
    EXPECT_EQ(skin::bitmapUsers(), 0);
    EXPECT_EQ(skin::getBitmap(1000), nullptr);
    EXPECT_EQ(first->getNbReference(), 1);
    EXPECT_EQ(first->getWidth(), 682);
    first->forget();
    skin::releaseBitmaps(); // one release too many changes nothing
    EXPECT_EQ(skin::bitmapUsers(), 0);
}
