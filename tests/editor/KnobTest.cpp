// Knobs in a headless frame: visibility and the bound engine cells.
#include <gtest/gtest.h>

#include <cmath>

#include "ControlRig.h"
#include "editor/ZuKnob.h"
#include "gui/CBitmap.h"

namespace {

const CPoint kInside(120, 120);

ZuKnob* addKnob(ControlRig& rig, float value) {
    auto* k = rig.add(new ZuKnob(CRect(100, 100, 152, 152), &rig.log, 7, nullptr, 96, 52));
    k->setValue(value);
    k->setDefaultValue(0.3f);
    return k;
}

} // namespace

TEST(Knob, InvisibleOrDisabledKnobIgnoresAClick) {
    ControlRig rig;
    ZuKnob* k = addKnob(rig, 0.5f);
    k->setGroup(15);
    EXPECT_FALSE(k->isVisible()); // bit 15 clear in the mask
    rig.press(kInside, kLButton);
    rig.move(CPoint(120, 100), kLButton);
    rig.release(CPoint(120, 100), kLButton);
    rig.press(kInside, kLButton | kControl, 5000);
    EXPECT_TRUE(rig.log.entries.empty());
    EXPECT_FLOAT_EQ(k->getValue(), 0.5f);

    rig.mask[0] |= 1u << 15;
    EXPECT_TRUE(k->isVisible());
    k->setEnabled(false);
    CPoint p = kInside;
    EXPECT_EQ(k->onMouseDown(p, kLButton), kMouseEventNotHandled);
    k->setEnabled(true);
    k->setGroup(70); // groups above 31 use the later mask words
    EXPECT_FALSE(k->isVisible());
    rig.mask[2] = 1u << 6;
    EXPECT_TRUE(k->isVisible());
    k->setGroup(500); // out of range: the always-shown group
    EXPECT_EQ(k->getGroup(), 0);
}

TEST(Knob, FollowsItsBoundCellsUnlessHiddenOrHeld) {
    ControlRig rig;
    float cell = 0.25f;
    ZuKnob* k = addKnob(rig, 0.0f);
    EXPECT_FALSE(k->bindValue(&cell, 0.5f, 0.5f)); // an empty range is refused
    EXPECT_FALSE(k->bindValue(&cell, 0.0f, INFINITY));
    rig.frame().refreshControls();
    EXPECT_EQ(k->getValue(), 0.0f);

    ASSERT_TRUE(k->bindValue(&cell, 0.0f, 0.5f));
    rig.frame().idle();
    rig.frame().refreshControls();
    EXPECT_EQ(k->getValue(), 0.5f);
    rig.frame().idle();
    rig.frame().refreshControls();
    EXPECT_FALSE(k->isDirty()); // unchanged: no redraw

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
    auto* strip = new CBitmap(52, 52 * 96);
    ASSERT_TRUE(k->bindSecondValue(&second, strip));
    strip->forget();
    rig.frame().idle();
    second = 0.7f;
    rig.frame().refreshControls();
    EXPECT_TRUE(k->isDirty());
}
