// The editor through the host boundary: the instance driven by its dispatcher
// and effect record, its editor opened headless, mouse input fed to the
// frame's window and every call into the host recorded; its life through the
// opcodes, and what the meters show.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "editor/EditorReadouts.h"
#include "editor/ZuButton.h"
#include "editor/ZuOptionMenu.h"
#include "gui/CBitmap.h"
#include "gui/SkinBitmaps.h"
#include "params/ParameterTags.h"
#include "support/EditorRig.h"
#include "support/SettingsSandbox.h"
#include "support/StateWords.h"

TEST(EditorShell, KnobDragsAndButtonClicksReachTheHostAsOneGestureInTheParameterRange) {
    EditorRig rig;
    ASSERT_TRUE(rig.open());
    rig.host.setParameter(kTagPreampGain, 0.5f);
    rig.idle();
    rig.host.clearCalls();
    rig.drag(kTagPreampGain, 0, -10);
    EXPECT_NEAR(rig.host.getParameter(kTagPreampGain), 0.55f, 1e-6f);
    EXPECT_NEAR(rig.oneGesture(kTagPreampGain), 0.55f, 1e-6f);

    rig.drag(kTagPreampGain, 0, -10, kShift);
    EXPECT_NEAR(rig.host.getParameter(kTagPreampGain), 0.5525f, 1e-6f);
    // Clamped at either end, never wrapped, by the knob itself.
    for (auto [dy, end] : {std::pair{-100, 1.0f}, {401, 0.0f}}) {
        rig.drag(kTagPreampGain, 0, dy);
        EXPECT_EQ(rig.control(kTagPreampGain)->getValue(), end);
        EXPECT_EQ(rig.host.getParameter(kTagPreampGain), end);
    }
    // The horizontal split slider moves by the distance to the right; the
    // response slider has twice the sensitivity.
    for (auto [tag, expected] : {std::pair{kTagSplitFreq, 0.55f}, {kTagEqResponse, 0.6f}}) {
        rig.host.setParameter(tag, 0.5f);
        rig.idle();
        rig.drag(tag, 10, 0);
        EXPECT_NEAR(rig.host.getParameter(tag), expected, 1e-6f) << tag;
    }

    // A button's state 1 of n reaches the host as 1/n.
    for (auto [tag, expected] : {std::pair{kTagLfoSync, 0.5f}, {kTagFilterType, 1.0f / 3.0f}, {kTagDelayPower, 0.5f}}) {
        rig.host.setParameter(tag, 0.0f);
        rig.idle();
        rig.host.clearCalls();
        rig.clickTag(tag);
        EXPECT_FLOAT_EQ(rig.oneGesture(tag), expected) << tag;
    }
    // From band-pass, the next click wraps the filter type to high-pass.
    rig.host.setParameter(kTagFilterType, 2.0f / 3.0f);
    rig.idle();
    rig.clickTag(kTagFilterType);
    EXPECT_FLOAT_EQ(rig.host.getParameter(kTagFilterType), 0.0f);
    EXPECT_FLOAT_EQ(rig.client->engine().cell[kTagFilterType], 0.0f);
}

// The preset buttons have one picture for both states: held down, each
// still shows it whole, not its lower half.
TEST(EditorShell, ThePresetButtonsShowTheirWholePictureWhileHeld) {
    EditorRig rig;
    ASSERT_TRUE(rig.open());
    rig.idle();
    const COffscreenContext& screen = rig.editor()->getFrame()->offscreen();
    for (int32_t tag : {kTagNextPreset, kTagPreviousPreset}) {
        const CRect r = rig.control(tag)->getViewSize();
        const auto pixels = [&] {
            std::vector<uint32_t> p;
            for (CCoord y = r.top; y < r.bottom; ++y)
                for (CCoord x = r.left; x < r.right; ++x) p.push_back(screen.getPixel(x, y));
            return p;
        };
        const std::vector<uint32_t> released = pixels();
        rig.press(EditorRig::centre(r));
        rig.idle();
        EXPECT_EQ(pixels(), released) << tag;
        rig.release(EditorRig::centre(r));
    }
}

TEST(EditorShell, SectionSwitchesSwapCoversAndSectionsWithoutTellingTheHost) {
    EditorRig rig;
    rig.client->setParameter(kTagComp, 0.0f); // compressor off while closed
    rig.editor()->mask().set(17, true);       // a stale mask: opening pushes the switches into it
    ASSERT_TRUE(rig.open());
    EXPECT_TRUE(rig.editor()->mask().test(12));
    EXPECT_FALSE(rig.editor()->mask().test(17));
    rig.idle();
    const struct {
        int32_t click; // -1: as opened
        std::vector<int32_t> shown, hidden;
    } steps[] = {
        // gate, preamp, multiband and effects on, the compressor's cover; the LFO page
        {-1,
         {kTagGateThreshold, kTagPreampGain, 94, kTagSplitFreq, kTagFilterCutoff, kTagLfoAmount, 54},
         {92, 93, kTagCompression, 95, 98, kTagFollowerAmount}},
        // gate off: its cover
        {kTagGate, {92}, {kTagGateThreshold, 43}},
        // the envelope-follower page, its sign lamp for "+"
        {kTagModulationPage, {kTagFollowerAmount, 57}, {58, kTagLfoAmount, 54}},
        // inverted: the other lamp
        {kTagFollowerInvert, {58}, {57}},
        // effects off: the cover, neither page; the master stays
        {kTagFxSwitch, {98, kTagMaster}, {kTagFilterCutoff, kTagLfoAmount, kTagFollowerAmount, kTagModulationPage}},
        // the switch is shown above its own cover
        {kTagFxSwitch, {kTagFilterCutoff, kTagFollowerAmount, 58}, {98}},
    };
    auto told = [&] { return rig.callsOf(audioMasterAutomate).size() + rig.callsOf(audioMasterBeginEdit).size(); };
    for (const auto& step : steps) {
        const size_t before = told();
        if (step.click >= 0) rig.clickTag(step.click);
        if (step.click >= 38) {
            EXPECT_EQ(told(), before) << "an editor switch is not the host's: " << step.click;
        }
        for (int32_t tag : step.shown) EXPECT_TRUE(rig.control(tag)->isVisible()) << step.click << ": " << tag;
        for (int32_t tag : step.hidden) EXPECT_FALSE(rig.control(tag)->isVisible()) << step.click << ": " << tag;
    }
    EXPECT_FLOAT_EQ(rig.client->engine().cell[kTagGate], 0.0f);
}

TEST(EditorShell, HostAutomationAndPresetLoadsShowAtTheNextIdle) {
    EditorRig rig;
    ASSERT_TRUE(rig.open());
    rig.host.setParameter(kTagPreampGain, 0.2f);
    rig.host.setParameter(kTagFilterType, 0.0f);
    rig.idle();
    const std::vector<uint8_t> saved = rig.host.chunk();
    ASSERT_FALSE(saved.empty());

    rig.host.setParameter(kTagPreampGain, 0.8f);
    rig.host.setParameter(kTagFilterType, 1.0f);
    EXPECT_FLOAT_EQ(rig.control(kTagPreampGain)->getValue(), 0.2f); // nothing is pushed
    rig.idle();
    EXPECT_FLOAT_EQ(rig.control(kTagPreampGain)->getValue(), 0.8f);
    EXPECT_EQ(dynamic_cast<ZuButton*>(rig.control(kTagFilterType))->getState(), 2);
    // Buttons and menus show the position the engine takes, with its rounding:
    // LFO power and the filter routing truncate plainly, the delay switch and
    // the destinations add a thousandth; the top of the range is the last entry.
    const std::tuple<int32_t, float, float> shown[] = {{kTagLfoPower, 0.4995f, 0.0f},  {kTagDelayPower, 0.4995f, 1.0f},
                                                       {kTagFilterFlow, 0.3332f, 0.0f}, {kTagLfoTarget, 0.8749f, 7.0f},
                                                       {kTagLfoTarget, 1.0f, 7.0f},     {kTagMeterSource, 1.0f, 5.0f}};
    for (const auto& [tag, v, position] : shown) {
        rig.client->setParameter(tag, v);
        rig.idle();
        EXPECT_EQ(rig.control(tag)->getValue(), position) << tag << " at " << v;
    }

    std::vector<uint8_t> bytes = saved;
    EXPECT_EQ(rig.host.dispatch(effSetChunk, 0, VstIntPtr(bytes.size()), bytes.data()), 1);
    rig.idle();
    EXPECT_FLOAT_EQ(rig.control(kTagPreampGain)->getValue(), 0.2f);
    EXPECT_EQ(dynamic_cast<ZuButton*>(rig.control(kTagFilterType))->getState(), 0);
}

TEST(EditorShell, EditorSwitchMenusAndKeysAreNotReportedToTheHost) {
    EditorRig rig;
    ASSERT_TRUE(rig.open());
    rig.host.clearCalls();
    // The meter source and LFO target are the editor's; the follower's destination is a host parameter.
    for (auto [tag, entry, cell, automated] : {std::tuple{kTagMeterSource, 5, 5 * 0.16667667f, 0u},
                                               {kTagLfoTarget, 3, 0.375f, 0u}, {kTagFollowerTarget, 7, 0.875f, 1u}}) {
        auto* menu = dynamic_cast<ZuOptionMenu*>(rig.control(tag));
        ASSERT_TRUE(menu->choose(menu->findValue(entry))) << tag;
        EXPECT_FLOAT_EQ(rig.client->engine().cell[tag], cell) << tag;
        ASSERT_EQ(rig.callsOf(audioMasterAutomate).size(), automated) << tag;
    }
    EXPECT_EQ(rig.client->engine().controls.meterSource, 5);
    EXPECT_EQ(rig.callsOf(audioMasterAutomate)[0].index, kTagFollowerTarget);
    EXPECT_FLOAT_EQ(rig.callsOf(audioMasterAutomate)[0].opt, 0.875f);
    // Nor does the automated path itself take a switch or a negative index.
    rig.host.clearCalls();
    rig.client->setParameterAutomated(kTagMeterSource, 0.0f);
    rig.client->setParameterAutomated(-1, 0.0f);
    EXPECT_EQ(rig.callsOf(audioMasterAutomate).size(), 0u);
    EXPECT_EQ(rig.client->engine().controls.meterSource, 5);

    // F2 through the dispatcher: every value applied again, none changed, the host not told.
    for (VstInt32 tag = 0; tag < 38; ++tag) rig.host.setParameter(tag, 0.01f * float(tag + 1));
    rig.host.clearCalls();
    EXPECT_EQ(rig.host.dispatch(effEditKeyDown, 0, VKEY_F2, nullptr, 0.0f), 1);
    for (VstInt32 tag = 0; tag < 38; ++tag) EXPECT_FLOAT_EQ(rig.host.getParameter(tag), 0.01f * float(tag + 1));
    EXPECT_EQ(rig.callsOf(audioMasterAutomate).size(), 0u);
    EXPECT_EQ(rig.host.dispatch(effEditKeyDown, 'a', 0, nullptr, 0.0f), 0);
    EXPECT_EQ(rig.host.dispatch(effEditKeyUp, 0, VKEY_F2, nullptr, 0.0f), 0);
    for (int mode : {2, 0}) EXPECT_EQ(rig.host.dispatch(effSetEditKnobMode, 0, mode), 1); // no control reads it
}

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

// A square wave of the given level, every 8 frames up and down (no DC for the high-pass to take).
void runSamples(ZuUniClient& c, int n, float level = 0.0f) {
    const size_t count = size_t(n);
    std::vector<float> l(count), r(count), ol(count), orr(count);
    for (size_t i = 0; i < count; ++i) l[i] = r[i] = (i / 4) % 2 ? -level : level;
    float* ins[2] = {l.data(), r.data()};
    float* outs[2] = {ol.data(), orr.data()};
    c.processReplacing(ins, outs, n);
}

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
    EXPECT_GT(rig.editor()->getFrame()->redrawCount(), redraws);
    // The clock's time before each call, and the host's idles and the sleeps after it.
    const struct {
        uint64_t now;
        int idles, sleeps;
    } steps[] = {
        {1000, 1, 0},
        {1020, 1, 1}, // 80 ms early: waits 4 ms, still too early
        {1046, 2, 2}, // 54 ms early: after 4 ms exactly 50 early, which runs
        {1095, 2, 3}, // the next is due 100 ms after that one: 51 ms early after the wait
        {1150, 3, 3},
    };
    for (const auto& step : steps) {
        if (step.now > 1000) {
            clock.now = step.now;
            rig.editor()->doIdleStuff();
        }
        EXPECT_EQ(rig.host.countCalls(audioMasterIdle), step.idles) << step.now;
        EXPECT_EQ(clock.sleeps, step.sleeps) << step.now;
    }
    rig.editor()->setClock(nullptr);
}

using namespace layout;

TEST(EditorReadouts, TheMetersFollowTheirLevelsAndTheReductionFillsItsMeterAtItsLimitAndNoneWhenOff) {
    SettingsSandbox box;
    auto c = DirectHost::create();
    EditorReadouts r;
    c->setParameter(kTagComp, 0.0f); // compressor off: no reduction
    runSamples(*c, 256, 0.9f);
    r.derive(c->engine());
    EXPECT_EQ(r[kReductionFraction], 0.0f);
    EXPECT_EQ(r[kReductionComplement], 1.0f);

    c->setParameter(kTagComp, 1.0f);
    c->setParameter(kTagCompression, 1.0f); // full amount on a loud signal reaches the 0.8 limit
    for (int i = 0; i < 200; ++i) runSamples(*c, 512, 1.5f);
    // The gain settles at 0.2: a reduction of 0.8, whose 1.25 * 0.8 * 34 fills all 34 steps.
    ASSERT_EQ(c->engine().dynamics.compressorReduction(), 0.8f);
    r.derive(c->engine());
    EXPECT_EQ(r[kReductionFraction], 1.0f);
    EXPECT_EQ(r[kReductionComplement], 0.0f);

    // Meters of hand-set levels: the output sqrt(0.25) * 64 at unity master, the compressor input 0.5^0.8 * 31.9.
    Engine& e = c->engine();
    e.meters.selectableDisplay = 0.25f;
    e.controls.masterGain = 1.0f;
    e.meters.compressorInput = 0.5f;
    r.derive(e);
    EXPECT_FLOAT_EQ(r[kOutputMeter], 32.0f);
    EXPECT_NEAR(r[kCompressorInputMeter], 18.3217f, 1e-3f);

    // The free LFO at full speed: s = 0.999, 12 s^2 Hz, its indicator s^2 of the way.
    c->setParameter(kTagLfoSpeed, 1.0f);
    r.derive(e);
    EXPECT_NEAR(r[kLfoRateHz], 11.976f, 1e-3f);
    EXPECT_NEAR(r[kLfoRateIndicator], 0.998f, 1e-4f);
}
