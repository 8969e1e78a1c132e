// The editor's life through the host's opcodes on the built module, its
// share of the skin and the idle hook's pacing.
#include <gtest/gtest.h>

#include <vector>

#include "gui/CBitmap.h"
#include "gui/SkinBitmaps.h"
#include "params/ParameterTags.h"
#include "support/EditorRig.h"

namespace {

// The panel's size through the opcode, as top, left, bottom, right.
std::vector<int> editorRect(TestHost& host) {
    ERect* r = nullptr;
    EXPECT_EQ(host.dispatch(effEditGetRect, 0, 0, &r), 1);
    if (!r) return {};
    return {r->top, r->left, r->bottom, r->right};
}

const std::vector<int> kPanel = {0, 0, 425, 682};

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

TEST(EditorLifecycle, TheModuleReportsItsSizeOpenOrNotAndOpensAgainAfterClosing) {
    TestHost host;
    ASSERT_NE(host.open(), nullptr);
    EXPECT_TRUE(host.effect()->flags & effFlagsHasEditor);
    EXPECT_EQ(editorRect(host), kPanel);
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(host.dispatch(effEditOpen, 0, 0, nullptr), 1) << i;
        EXPECT_EQ(host.dispatch(effEditOpen, 0, 0, nullptr), 1); // open again: nothing more
        host.dispatch(effEditIdle);
        EXPECT_EQ(editorRect(host), kPanel);
        host.dispatch(effEditClose);
        host.dispatch(effEditClose); // only the clean-up again
    }
    host.dispatch(effEditIdle); // closed: nothing to do
    EXPECT_EQ(host.close(), 1);
}

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
            EXPECT_EQ(skin::bitmapUsers(), 2);
            EXPECT_EQ(rig.editor()->getBitmap(1000), background);
            EXPECT_EQ(rig.editor()->getFrame()->getBackground(), keeper.editor()->getFrame()->getBackground());
            EXPECT_EQ(knob->getNbReference(), knobRefs + 1); // the master knob of the second editor
        }
        rig.idle();
        rig.close();
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
