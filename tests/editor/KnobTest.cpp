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

TEST(Knob, TenPixelsUpRaiseByFiveHundredthsOrByAFortiethOfThatWithShift) {
    for (bool shift : {false, true}) {
        ControlRig rig;
        ZuKnob* k = addKnob(rig, 0.5f);
        const CButtonState fine = shift ? kShift : 0;
        rig.press(kInside, kLButton | fine);
        EXPECT_TRUE(k->isTracking());
        rig.move(CPoint(120, 110), kLButton | fine);
        rig.release(CPoint(120, 110), kLButton | fine);
        EXPECT_FALSE(k->isTracking());
        EXPECT_NEAR(k->getValue(), shift ? 0.5025f : 0.55f, 1e-6f);
        EXPECT_EQ(rig.log.entries, (std::vector<std::string>{"b7", "v7", "e7"}));
        ASSERT_EQ(rig.log.values.size(), 1u);
        EXPECT_NEAR(rig.log.values[0], shift ? 0.5025f : 0.55f, 1e-6f);
    }
}

TEST(Knob, DragDistanceAccumulatesAndFollowsOrientationAndSensitivity) {
    ControlRig rig;
    ZuKnob* k = addKnob(rig, 0.5f);
    rig.press(kInside, kLButton);
    for (int y = 119; y >= 110; --y) rig.move(CPoint(120, y), kLButton); // ten steps of one pixel
    rig.move(CPoint(300, 110), kLButton); // sideways does nothing on a vertical knob
    EXPECT_NEAR(k->getValue(), 0.55f, 1e-5f);
    rig.move(CPoint(300, 130), kLButton); // 20 down
    EXPECT_NEAR(k->getValue(), 0.45f, 1e-5f);
    rig.move(CPoint(300, 120), 0); // no button held: ignored
    EXPECT_NEAR(k->getValue(), 0.45f, 1e-5f);
    rig.release(CPoint(300, 120), kLButton);

    ControlRig rig2;
    ZuKnob* h = addKnob(rig2, 0.5f, 0.3f, ZuKnob::kHorizontal);
    h->setSensitivity(1.0f);
    rig2.press(kInside, kLButton);
    rig2.move(CPoint(130, 120), kLButton); // 10 right
    EXPECT_NEAR(h->getValue(), 0.6f, 1e-6f);
    rig2.move(CPoint(130, 60), kLButton); // vertical does nothing
    rig2.move(CPoint(125, 60), kRButton); // the right button drags too
    EXPECT_NEAR(h->getValue(), 0.55f, 1e-6f);
    rig2.release(CPoint(125, 60), kLButton);
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

TEST(Knob, AbsoluteModeResetOnReleaseAndGesturesOff) {
    ControlRig rig;
    ZuKnob* k = addKnob(rig, 0.2f);
    k->setAbsolute(true);
    rig.press(CPoint(120, 113), kLButton | kDoubleClick); // a double click is a plain press here
    EXPECT_NEAR(k->getValue(), 1.0f - 13.0f / 52.0f, 1e-6f);
    rig.move(CPoint(120, 300), kLButton);
    EXPECT_EQ(k->getValue(), 0.0f);
    rig.release(CPoint(120, 300), kLButton);

    ControlRig rig2;
    ZuKnob* h = addKnob(rig2, 0.2f, 0.3f, ZuKnob::kHorizontal);
    h->setAbsolute(true);
    h->setResetOnRelease(true);
    rig2.press(CPoint(113, 120), kLButton);
    EXPECT_NEAR(h->getValue(), 0.25f, 1e-6f);
    rig2.release(CPoint(113, 120), kLButton);
    EXPECT_EQ(h->getValue(), 0.5f);
    EXPECT_EQ(rig2.log.entries, (std::vector<std::string>{"b7", "v7", "v7", "e7"}));

    // without gestures nothing but the values
    ControlRig rig3;
    ZuKnob* q = addKnob(rig3, 0.5f);
    q->setEditGestures(false);
    rig3.press(kInside, kLButton | kControl);
    EXPECT_EQ(rig3.log.entries, (std::vector<std::string>{"v7"}));
}

TEST(Knob, StripIndexHandleAndTextFallback) {
    ControlRig rig;
    CBitmap* strip = makeStrip(52, 52, 96);
    auto* k = rig.add(new ZuKnob(kKnobRect, &rig.log, 7, strip, 96));
    strip->forget();
    EXPECT_EQ(k->getImageHeight(), 52);
    EXPECT_EQ(k->imageIndex(0.0f), 0);
    EXPECT_EQ(k->imageIndex(0.5f), 47);  // trunc(95 x 0.5)
    EXPECT_EQ(k->imageIndex(1.0f), 95);
    EXPECT_EQ(k->imageIndex(2.0f), 95);
    EXPECT_EQ(k->imageIndex(-1.0f), 0);
    EXPECT_EQ(k->imageIndex(NAN), 0);
    k->setAlternativeIndexing(true);
    EXPECT_EQ(k->imageIndex(0.5f), 48);  // trunc(96 x 0.5)
    EXPECT_EQ(k->imageIndex(1.0f), 95);
    EXPECT_EQ(k->imageIndex(0.999f), 95);
    k->setAlternativeIndexing(false);

    k->setValue(0.5f);
    rig.frame().idle();
    EXPECT_EQ(rig.frame().offscreen().getPixel(126, 126), 48u); // image 47
    k->setValue(1.0f);
    rig.frame().idle();
    EXPECT_EQ(rig.frame().offscreen().getPixel(101, 151), 96u);

    // handle mode: one 52 x 10 handle along a vertical track
    ControlRig rig2;
    CBitmap* handle = makeStrip(52, 10, 1);
    auto* s = rig2.add(new ZuKnob(kKnobRect, &rig2.log, 8, handle, 1));
    handle->forget();
    s->setHandleMode(true);
    s->setValue(0.0f);
    rig2.frame().idle();
    EXPECT_EQ(rig2.frame().offscreen().getPixel(120, 147), 1u); // at the bottom: y = 100 + 42
    EXPECT_NE(rig2.frame().offscreen().getPixel(120, 105), 1u);
    s->setValue(1.0f);
    rig2.frame().idle();
    EXPECT_EQ(rig2.frame().offscreen().getPixel(120, 105), 1u);

    // no strip: a frame and the value as text
    ControlRig rig3;
    rig3.frame().setBackgroundColor(kBlackCColor);
    rig3.add(new ZuKnob(kKnobRect, &rig3.log, 9, nullptr, 96))->setValue(0.25f);
    rig3.frame().idle();
    EXPECT_EQ(rig3.frame().offscreen().getPixel(100, 100), 0xFFFFFFu);
    EXPECT_GT(rig3.litPixels(CRect(105, 110, 147, 142)), 10);
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

TEST(Knob, KnobModeIsOneSettingForEveryControl) {
    const int32_t before = ZuControl::getKnobMode();
    ZuControl::setKnobMode(2);
    EXPECT_EQ(ZuControl::getKnobMode(), 2);
    ZuControl::setKnobMode(before);
}
