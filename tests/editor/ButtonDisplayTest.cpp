// Buttons and value displays in a headless frame.
#include <gtest/gtest.h>

#include <cmath>

#include "ControlRig.h"
#include "editor/ZuButton.h"
#include "editor/ZuDisplay.h"
#include "gui/CBitmap.h"

namespace {

const CRect kButtonRect(488, 143, 542, 156);

} // namespace

TEST(Button, StateFromTheBoundCellAndImageOfTheState) {
    ControlRig rig;
    auto* images = new CBitmap(54, 39); // three images of 54 x 13, state i filled with colour i + 1
    for (CCoord y = 0; y < 39; ++y)
        for (CCoord x = 0; x < 54; ++x) images->pixels()[size_t(y * 54 + x)] = 0xFF000000u | uint32_t(y / 13 + 1);
    auto* b = rig.add(new ZuButton(kButtonRect, &rig.log, 19, images, 3));
    images->forget();
    float cell = 2.0f / 3.0f; // what the editor sends for state 2
    ASSERT_TRUE(b->bindValue(&cell));
    rig.frame().refreshControls();
    rig.frame().idle();
    EXPECT_EQ(rig.frame().offscreen().getPixel(500, 150), 3u);
    for (auto [v, state] : {std::pair{1.0f / 3.0f, 1}, {1.0f, 2}}) {
        cell = v;
        rig.frame().refreshControls();
        EXPECT_EQ(b->getState(), state) << v;
    }
    EXPECT_EQ(ZuButton::stateOf(0.5f, 2), 1);
    EXPECT_EQ(ZuButton::stateOf(0.49f, 2), 0);
    EXPECT_EQ(ZuButton::stateOf(NAN, 3), 0);
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
    EXPECT_GT(rig.litPixels(CRect(20, 318, 71, 334)), 5); // drawn
    cell = NAN;
    rig.frame().refreshControls();
    rig.frame().idle();
    rig.frame().refreshControls();
    EXPECT_FALSE(d->isDirty()); // NaN is shown once, not redrawn forever
    d->setMode(ZuDisplay::kInteger);
    cell = 0.999f;
    EXPECT_EQ(d->text(), "79ms");
}
