// Knobs in a headless frame: visibility, drags with and without Shift,
// one-step resets, clamping, strip images and the bound engine cell.
#include <gtest/gtest.h>

#include <cmath>

#include "ControlRig.h"
#include "editor/ZuKnob.h"
#include "gui/CBitmap.h"

namespace {

const CRect kKnobRect(100, 100, 152, 152);
const CPoint kInside(120, 120);

// A strip of count images, image i filled with the colour 0x0000ii (ii = i + 1).
CBitmap* makeStrip(CCoord w, CCoord h, int count) {
    auto* b = new CBitmap(w, h * count);
    for (int i = 0; i < count; ++i)
        for (CCoord y = 0; y < h; ++y)
            for (CCoord x = 0; x < w; ++x) b->pixels()[size_t((i * h + y) * w + x)] = 0xFF000000u | uint32_t(i + 1);
    return b;
}

ZuKnob* addKnob(ControlRig& rig, float value, float def = 0.3f, ZuKnob::Orientation o = ZuKnob::kVertical) {
    auto* k = rig.add(new ZuKnob(kKnobRect, &rig.log, 7, nullptr, 96, 52, o));
    k->setValue(value);
    k->setDefaultValue(def);
    return k;
}

} // namespace

TEST(Knob, InvisibleOrDisabledKnobIgnoresAClick) {
    ControlRig rig;
    ZuKnob* k = addKnob(rig, 0.5f);
    k->setGroup(15);
    EXPECT_FALSE(k->isVisible()); // bit 15 clear in the mask
    CPoint p = kInside;
    EXPECT_EQ(k->onMouseDown(p, kLButton | kControl), kMouseEventNotHandled);
    rig.press(kInside, kLButton);
    rig.move(CPoint(120, 100), kLButton);
    rig.release(CPoint(120, 100), kLButton);
    EXPECT_TRUE(rig.log.entries.empty());
    EXPECT_FLOAT_EQ(k->getValue(), 0.5f);

    rig.mask[0] |= 1u << 15;
    EXPECT_TRUE(k->isVisible());
    k->setEnabled(false);
    EXPECT_EQ(k->onMouseDown(p, kLButton), kMouseEventNotHandled);
    k->setEnabled(true);
    // groups above 31 use the later mask words
    k->setGroup(70);
    EXPECT_FALSE(k->isVisible());
    rig.mask[2] = 1u << 6;
    EXPECT_TRUE(k->isVisible());
    k->setGroup(500); // out of range: the always-shown group
    EXPECT_EQ(k->getGroup(), 0);
    // outside the rectangle
    CPoint outside(10, 10);
    EXPECT_EQ(k->onMouseDown(outside, kLButton), kMouseEventNotHandled);
}

TEST(Knob, ControlClickAndDoubleClickResetInOneStep) {
    for (CButtonState how : {CButtonState(kLButton | kControl), CButtonState(kLButton | kDoubleClick)}) {
        ControlRig rig;
        ZuKnob* k = addKnob(rig, 0.8f, 0.3f);
        CPoint p = kInside;
        EXPECT_EQ(k->onMouseDown(p, how), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
        EXPECT_FALSE(k->isTracking());
        EXPECT_FLOAT_EQ(k->getValue(), 0.3f);
        EXPECT_EQ(rig.log.entries, (std::vector<std::string>{"b7", "v7", "e7"}));
        EXPECT_EQ(rig.log.values, std::vector<float>{0.3f});
    }
    // through the frame: two quick presses
    ControlRig rig;
    ZuKnob* k = addKnob(rig, 0.8f, 0.3f);
    rig.press(kInside, kLButton, 1000);
    rig.release(kInside, kLButton);
    rig.log.clear();
    rig.press(kInside, kLButton, 1200);
    rig.move(CPoint(120, 50), kLButton); // no drag after a reset
    rig.release(CPoint(120, 50), kLButton);
    EXPECT_FLOAT_EQ(k->getValue(), 0.3f);
    EXPECT_EQ(rig.log.entries, (std::vector<std::string>{"b7", "v7", "e7"}));
}

TEST(Knob, ValueIsClampedNeverWrapped) {
    ControlRig rig;
    ZuKnob* k = addKnob(rig, 0.98f);
    rig.press(kInside, kLButton);
    rig.move(CPoint(120, 20), kLButton); // 100 px up: +0.5
    EXPECT_EQ(k->getValue(), 1.0f);
    rig.move(CPoint(120, 19), kLButton); // already at the top: nothing more to report
    EXPECT_EQ(rig.log.values.size(), 1u);
    rig.move(CPoint(120, 420), kLButton); // 401 px down
    EXPECT_EQ(k->getValue(), 0.0f);
    rig.release(CPoint(120, 420), kLButton);
    EXPECT_EQ(rig.log.values, (std::vector<float>{1.0f, 0.0f}));
}

TEST(Knob, FollowsItsBoundCellAtEveryRefresh) {
    ControlRig rig;
    float cell = 0.25f;
    ZuKnob* k = addKnob(rig, 0.0f);
    EXPECT_FALSE(k->bindValue(&cell, 0.5f, 0.5f)); // an empty range is refused
    EXPECT_FALSE(k->bindValue(&cell, 0.0f, INFINITY));
    EXPECT_EQ(k->getBoundValue(), nullptr);
    rig.frame().refreshControls();
    EXPECT_EQ(k->getValue(), 0.0f);

    ASSERT_TRUE(k->bindValue(&cell));
    rig.frame().idle();
    rig.frame().refreshControls();
    EXPECT_EQ(k->getValue(), 0.25f);
    EXPECT_TRUE(k->isDirty());
    rig.frame().idle();
    rig.frame().refreshControls();
    EXPECT_FALSE(k->isDirty()); // unchanged: no redraw

    ASSERT_TRUE(k->bindValue(&cell, 0.0f, 0.5f));
    rig.frame().refreshControls();
    EXPECT_EQ(k->getValue(), 0.5f);

    // hidden or tracking controls keep their value
    cell = 0.1f;
    k->setGroup(3);
    rig.frame().refreshControls();
    EXPECT_EQ(k->getValue(), 0.5f);
    k->setGroup(0);
    rig.press(kInside, kLButton);
    rig.frame().refreshControls();
    EXPECT_EQ(k->getValue(), 0.5f);
    rig.release(kInside, kLButton);
    rig.frame().refreshControls();
    EXPECT_EQ(k->getValue(), 0.2f);

    // a second cell marks the knob dirty on its own
    float second = 0.0f;
    CBitmap* strip = makeStrip(52, 52, 96);
    ASSERT_TRUE(k->bindSecondValue(&second, strip));
    strip->forget();
    rig.frame().idle();
    second = 0.7f;
    rig.frame().refreshControls();
    EXPECT_TRUE(k->isDirty());
}
