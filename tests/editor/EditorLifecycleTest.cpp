// The editor's life through the host's opcodes: opened and closed again and
// again, its share of the skin and the idle hook's pacing. (Its size is the
// info command's check.)
#include <gtest/gtest.h>

#include <vector>

#include "gui/CBitmap.h"
#include "gui/SkinBitmaps.h"
#include "params/ParameterTags.h"
#include "support/EditorRig.h"

namespace {

class FakeClock : public EditorClock {
public:
    uint64_t now = 1000;
    int sleeps = 0;
    uint64_t nowMs() override { return now; }
    void sleepMs(int ms) override {
        ++sleeps;
        now += uint64_t(ms);
    }
};

} // namespace

TEST(EditorLifecycle, InstancesShareOneSkinAndClosingLeavesNoViewsOrBitmapReferencesBehind) {
    EditorRig keeper, rig; // the keeper holds the skin so its counts can be watched
    ASSERT_TRUE(keeper.open());
    CBitmap* knob = keeper.editor()->getBitmap(1044);
    CBitmap* background = keeper.editor()->getBitmap(1000);
    const int32_t knobRefs = knob->getNbReference(), backgroundRefs = background->getNbReference();
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(rig.open());
        ASSERT_NE(rig.editor()->findControl(kTagMaster), nullptr);
        if (i == 0) {
            CFrame* frame = rig.editor()->getFrame();
            ASSERT_TRUE(rig.open()); // open again: nothing more
            EXPECT_EQ(rig.editor()->getFrame(), frame);
            EXPECT_EQ(skin::bitmapUsers(), 2);
            EXPECT_EQ(rig.editor()->getBitmap(1000), background);
            EXPECT_EQ(rig.editor()->getFrame()->getBackground(), keeper.editor()->getFrame()->getBackground());
            EXPECT_EQ(knob->getNbReference(), knobRefs + 1); // the master knob of the second editor
        }
        rig.idle();
        rig.close();
        rig.close(); // only the clean-up again
        rig.idle();  // closed: nothing to do
        ASSERT_EQ(rig.editor()->getFrame(), nullptr);
        ASSERT_EQ(rig.editor()->findControl(kTagMaster), nullptr);
        ASSERT_TRUE(rig.editor()->presetMenus().empty());
    }
    EXPECT_EQ(knob->getNbReference(), knobRefs);
    EXPECT_EQ(background->getNbReference(), backgroundRefs);
    EXPECT_EQ(skin::bitmapUsers(), 1);
    keeper.idle();
    EXPECT_TRUE(keeper.editor()->getBitmap(1044)->isLoaded()); // the other's close took nothing away
    keeper.close();
    EXPECT_EQ(skin::bitmapUsers(), 0);
    EXPECT_EQ(keeper.editor()->getBitmap(1000), nullptr);
}

TEST(EditorLifecycle, TheIdleHookRunsAtMostEvery100MsAndTellsTheHost) {
    EditorRig rig;
    ASSERT_TRUE(rig.open());
    FakeClock clock;
    rig.editor()->setClock(&clock);
    rig.host.clearCalls();
    const int redraws = rig.editor()->getFrame()->redrawCount();
    rig.editor()->doIdleStuff(); // due at once
    EXPECT_EQ(rig.host.countCalls(audioMasterIdle), 1);
    EXPECT_EQ(clock.sleeps, 0);
    EXPECT_GT(rig.editor()->getFrame()->redrawCount(), redraws);

    clock.now += 20; // 80 ms early: waits 4 ms, still too early
    rig.editor()->doIdleStuff();
    EXPECT_EQ(rig.host.countCalls(audioMasterIdle), 1);
    EXPECT_EQ(clock.sleeps, 1);
    clock.now = 1000 + 46; // 54 ms early: after 4 ms exactly 50 early, which runs
    rig.editor()->doIdleStuff();
    EXPECT_EQ(rig.host.countCalls(audioMasterIdle), 2);
    EXPECT_EQ(clock.sleeps, 2);
    // The next is due 100 ms after that one.
    clock.now = 1050 + 99 - 55;
    rig.editor()->doIdleStuff();
    EXPECT_EQ(rig.host.countCalls(audioMasterIdle), 2);
    clock.now = 1050 + 100;
    rig.editor()->doIdleStuff();
    EXPECT_EQ(rig.host.countCalls(audioMasterIdle), 3);
    EXPECT_EQ(clock.sleeps, 3);
    rig.editor()->setClock(nullptr);
}
