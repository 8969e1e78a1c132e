// Buttons and value displays in a headless frame.
#include <gtest/gtest.h>

#include <cmath>

#include "ControlRig.h"
#include "editor/ZuButton.h"
#include "editor/ZuDisplay.h"
#include "gui/CBitmap.h"

namespace {

const CRect kButtonRect(488, 143, 542, 156);
const CPoint kOnButton(500, 150);

} // namespace

TEST(Button, ThreeStatesStepAroundAndRightClickResets) {
    ControlRig rig;
    auto* b = rig.add(new ZuButton(kButtonRect, &rig.log, 19, nullptr, 3, ZuButton::kStepping));
    for (int i = 0; i < 3; ++i) {
        rig.press(kOnButton, kLButton, 1000u + 1000u * unsigned(i));
        EXPECT_TRUE(b->isPressed());
        rig.release(kOnButton, kLButton);
        EXPECT_FALSE(b->isPressed());
    }
    EXPECT_EQ(rig.log.values, (std::vector<float>{1.0f, 2.0f, 0.0f}));
    EXPECT_EQ(rig.log.entries, (std::vector<std::string>{"b19", "v19", "e19", "b19", "v19", "e19", "b19", "v19", "e19"}));

    rig.press(kOnButton, kLButton, 9000);
    rig.release(kOnButton, kLButton);
    rig.press(kOnButton, kLButton, 11000);
    rig.release(kOnButton, kLButton);
    EXPECT_EQ(b->getState(), 2);
    rig.log.clear();
    rig.press(kOnButton, kRButton, 13000);
    rig.release(kOnButton, kRButton);
    EXPECT_EQ(b->getState(), 0);
    EXPECT_EQ(rig.log.entries, (std::vector<std::string>{"b19", "v19", "e19"}));
    EXPECT_EQ(rig.log.values, std::vector<float>{0.0f});
    // already 0: nothing to report
    rig.press(kOnButton, kRButton, 15000);
    EXPECT_EQ(rig.log.values.size(), 1u);

    // two states: a right click is not the button's
    ControlRig rig2;
    auto* two = rig2.add(new ZuButton(kButtonRect, &rig2.log, 23));
    two->setValue(1.0f);
    CPoint p = kOnButton;
    EXPECT_EQ(two->onMouseDown(p, kRButton), kMouseEventNotHandled);
    EXPECT_EQ(two->getState(), 1);
    rig2.press(kOnButton, kLButton);
    EXPECT_EQ(rig2.log.values, std::vector<float>{0.0f});
}

TEST(Button, MomentaryIsOneWhileHeld) {
    ControlRig rig;
    auto* b = rig.add(new ZuButton(CRect(11, 25, 30, 44), &rig.log, 103, nullptr, 2, ZuButton::kMomentary));
    rig.press(CPoint(20, 30), kLButton);
    EXPECT_EQ(b->getValue(), 1.0f);
    rig.move(CPoint(200, 300), kLButton);
    rig.release(CPoint(200, 300), kLButton); // released anywhere
    EXPECT_EQ(b->getValue(), 0.0f);
    EXPECT_EQ(rig.log.entries, (std::vector<std::string>{"b103", "v103", "v103", "e103"}));
    EXPECT_EQ(rig.log.values, (std::vector<float>{1.0f, 0.0f}));
    // hidden: not handled
    b->setGroup(40);
    CPoint p(20, 30);
    EXPECT_EQ(b->onMouseDown(p, kLButton), kMouseEventNotHandled);
}

TEST(Button, StateFromTheBoundCellAndImageOfTheState) {
    ControlRig rig;
    // images 54 x 13, state i filled with colour i + 1
    auto* images = new CBitmap(54, 39);
    for (CCoord y = 0; y < 39; ++y)
        for (CCoord x = 0; x < 54; ++x) images->pixels()[size_t(y * 54 + x)] = 0xFF000000u | uint32_t(y / 13 + 1);
    auto* b = rig.add(new ZuButton(kButtonRect, &rig.log, 19, images, 3));
    images->forget();
    float cell = 2.0f / 3.0f; // what the editor sends for state 2
    ASSERT_TRUE(b->bindValue(&cell));
    rig.frame().refreshControls();
    EXPECT_EQ(b->getState(), 2);
    rig.frame().idle();
    EXPECT_EQ(rig.frame().offscreen().getPixel(500, 150), 3u);
    cell = 1.0f / 3.0f;
    rig.frame().refreshControls();
    EXPECT_EQ(b->getState(), 1);
    cell = 1.0f;
    rig.frame().refreshControls();
    EXPECT_EQ(b->getState(), 2);
    EXPECT_EQ(ZuButton::stateOf(0.5f, 2), 1);
    EXPECT_EQ(ZuButton::stateOf(0.49f, 2), 0);
    EXPECT_EQ(ZuButton::stateOf(0.0f, 2), 0);
    EXPECT_EQ(ZuButton::stateOf(NAN, 3), 0);
}

TEST(Display, FormatRules) {
    EXPECT_EQ(ZuDisplay::format(0.5f, "Gain", 3, 1, "db", false), "Gain 0.5db");
    EXPECT_EQ(ZuDisplay::format(0.5f, "", 3, 1, " ", false), "0.5 ");
    EXPECT_EQ(ZuDisplay::format(0.5f, "", 6, 2, "ms", false), "  0.50ms");
    EXPECT_EQ(ZuDisplay::format(-12.25f, "", 3, 0, "hz", false), "-12hz");
    EXPECT_EQ(ZuDisplay::format(12.7f, "x", 3, 1, "db", true), "12db");
    EXPECT_EQ(ZuDisplay::format(-3.9f, "", 3, 1, "", true), "-3");
    EXPECT_EQ(ZuDisplay::format(1e30f, "", 3, 1, "", true), "2147483647");
    EXPECT_EQ(ZuDisplay::format(NAN, "", 3, 1, "", true), "0");
    // a percent sign in the prefix stays text
    EXPECT_EQ(ZuDisplay::format(0.5f, "50%d%s", 3, 1, "", false), "50%d%s 0.5");
}

TEST(Display, BoundValueScaleOffsetAndRedrawOnChange) {
    ControlRig rig;
    auto* d = rig.add(new ZuDisplay(CRect(20, 318, 71, 334), &rig.log, 43));
    float cell = 0.5f;
    d->bindDisplay(&cell, 100.0f, -20.0f);
    d->setPrefix("");
    d->setUnit("ms");
    d->setFieldFormat(3, 1);
    EXPECT_EQ(d->text(), "30.0ms");
    rig.frame().idle();
    rig.frame().refreshControls();
    EXPECT_FALSE(d->isDirty());
    cell = 0.25f;
    rig.frame().refreshControls();
    EXPECT_TRUE(d->isDirty());
    EXPECT_EQ(d->text(), "5.0ms");
    rig.frame().idle();
    cell = NAN;
    rig.frame().refreshControls();
    rig.frame().idle();
    rig.frame().refreshControls();
    EXPECT_FALSE(d->isDirty()); // NaN is shown once, not redrawn forever
    d->setMode(ZuDisplay::kInteger);
    cell = 0.999f;
    EXPECT_EQ(d->text(), "79ms");
    // drawn: some text pixels in the rectangle
    rig.frame().idle();
    EXPECT_GT(rig.litPixels(CRect(20, 318, 71, 334)), 5);
}

TEST(Display, InfoModeShowsTheControlUnderTheMouse) {
    ControlRig rig;
    auto* info = rig.add(new ZuDisplay(CRect(170, 25, 436, 44), &rig.log, 100));
    info->setMode(ZuDisplay::kInfo);
    auto* b = rig.add(new ZuButton(kButtonRect, &rig.log, 19));
    b->setInfoText("filter type");
    rig.add(new ZuButton(CRect(0, 0, 10, 10), &rig.log, 20));
    EXPECT_EQ(info->text(), "no info");
    rig.move(kOnButton, 0);
    EXPECT_EQ(info->text(), "filter type");
    rig.frame().idle();
    rig.frame().refreshControls();
    EXPECT_TRUE(info->isDirty());
    rig.move(CPoint(5, 5), 0);
    EXPECT_EQ(info->text(), "no info"); // a control without its own text
    b->setGroup(9);
    rig.move(kOnButton, 0);
    EXPECT_EQ(info->text(), "no info"); // hidden controls are not under the mouse
}

TEST(Display, ImageModePicksTheStripImage) {
    ControlRig rig;
    auto* strip = new CBitmap(10, 3400);
    for (CCoord y = 0; y < 3400; ++y)
        for (CCoord x = 0; x < 10; ++x) strip->pixels()[size_t(y * 10 + x)] = 0xFF000000u | uint32_t(y / 100 + 1);
    auto* d = rig.add(new ZuDisplay(CRect(189, 99, 199, 199), &rig.log, 40));
    d->setMode(ZuDisplay::kImage);
    d->setImageStrip(strip, 34);
    strip->forget();
    float meter = 1.0f;
    d->bindDisplay(&meter);
    EXPECT_EQ(d->imageIndex(), 33);
    meter = 0.5f;
    EXPECT_EQ(d->imageIndex(), 16);
    meter = -3.0f;
    EXPECT_EQ(d->imageIndex(), 0);
    meter = 0.5f;
    rig.frame().idle();
    EXPECT_EQ(rig.frame().offscreen().getPixel(190, 150), 17u);
}
