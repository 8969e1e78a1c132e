// Editors of two plug-in instances share one skin; it goes with the last.
#include <gtest/gtest.h>

#include "gui/CBitmap.h"
#include "gui/SkinBitmaps.h"
#include "plugin/ZuUniClient.h"
#include "support/SettingsSandbox.h"
#include "support/StateWords.h"

TEST(EditorBitmaps, TwoOpenEditorsShareOneSet) {
    SettingsSandbox box;
    auto a = DirectHost::create();
    auto b = DirectHost::create();
    ZuUniClientEditor* ea = a->uniEditor();
    ZuUniClientEditor* eb = b->uniEditor();
    EXPECT_EQ(ea->getBitmap(1000), nullptr);
    ea->open(nullptr);
    ea->open(nullptr); // a second open changes nothing
    EXPECT_EQ(skin::bitmapUsers(), 1);
    eb->open(nullptr);
    ASSERT_NE(ea->getBitmap(1000), nullptr);
    EXPECT_EQ(ea->getBitmap(1000), eb->getBitmap(1000));
    EXPECT_EQ(ea->getBitmap(1068)->getWidth(), 266);
    EXPECT_EQ(ea->getBitmap(999), nullptr);
    EXPECT_EQ(ea->getBitmap(1069), nullptr);
    ea->close();
    ea->close(); // only the clean-up again
    EXPECT_NE(eb->getBitmap(1044), nullptr);
    EXPECT_EQ(eb->getBitmap(1044)->getHeight(), 4992);
    b.reset(); // destroying a plug-in with its editor open releases its share
    EXPECT_EQ(skin::bitmapUsers(), 0);
    EXPECT_EQ(ea->getBitmap(1000), nullptr);
}
