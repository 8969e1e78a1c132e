// MIDI learn in the editor: the context menus of the controls and the
// panel, the information line, and what a learned controller then moves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/ZuDisplay.h"
#include "editor/ZuMenuHelper.h"
#include "editor/ZuOptionMenu.h"
#include "gui/TextLayout.h"
#include "params/ParameterTags.h"
#include "support/EditorRig.h"
#include "support/MidiEvents.h"
#include "support/SettingsSandbox.h"

namespace {

std::string infoLine(EditorRig& rig) { return dynamic_cast<ZuDisplay*>(rig.control(100))->text(); }

std::vector<std::string> menuTexts(EditorRig& rig) {
    std::vector<std::string> texts;
    ZuOptionMenu* menu = rig.editor()->midiMenu();
    if (!menu || !menu->isPopupOpen()) return texts;
    for (int32_t i = 0; i < menu->getNbEntries(); ++i) texts.push_back(menu->getEntry(i)->text);
    return texts;
}

void controller(EditorRig& rig, uint8_t number, uint8_t value) {
    MidiEvents cc;
    cc.midi(0xb0, number, value, 3);
    rig.host.dispatch(effProcessEvents, 0, 0, cc.get());
    std::vector<float> l(64, 0.1f), r(64, 0.1f);
    float* io[2] = {l.data(), r.data()};
    rig.host.processReplacing(io, io, 64);
    rig.idle();
}

const CPoint kEmptyPanel(300, 8);

} // namespace

TEST(MidiLearn, AControlLearnsTheNextControllerAndForgetsIt) {
    SettingsSandbox sandbox;
    EditorRig rig;
    ASSERT_TRUE(rig.open());
    ZuOptionMenu* menu = rig.editor()->midiMenu();
    rig.clickTag(kTagFilterCutoff, kRButton);
    ASSERT_EQ(menuTexts(rig), (std::vector<std::string>{"Learn MIDI CC", "Forget MIDI CC"}));
    EXPECT_FALSE(menu->choose(1)) << "nothing to forget yet";
    ASSERT_TRUE(menu->choose(0));
    EXPECT_EQ(infoLine(rig), "Move a MIDI controller\u2026");

    controller(rig, 74, 10);
    EXPECT_EQ(rig.client->ccMap.lists[74], (ControllerList{{kTagFilterCutoff, 0}}));
    EXPECT_EQ(infoLine(rig), "CC 74 \u2192 filter_cutoff");
    const fontatlas::FaceInfo& face = textlayout::faceFor(CFontDesc{"Arial", 12, kNormalFace});
    for (int code : {0x2026, 0x2192}) EXPECT_GT(textlayout::glyph(face, code).advance, 0) << "the arrows have glyphs";
    EXPECT_FLOAT_EQ(rig.client->engine().cell[kTagFilterCutoff], 0.0f) << "the learning message moves nothing";
    controller(rig, 74, 127);
    EXPECT_EQ(rig.client->engine().cell[kTagFilterCutoff], 1.0f);

    // Learning again replaces the control's controller; a command click
    // opens the menu too, at the mouse.
    rig.clickTag(kTagFilterCutoff, kLButton | kApple);
    ASSERT_TRUE(menu->isPopupOpen());
    EXPECT_EQ(menu->getPopup()->level(0)->getViewSize().left,
              EditorRig::centre(rig.control(kTagFilterCutoff)->getViewSize()).x);
    ASSERT_TRUE(menu->choose(0));
    controller(rig, 75, 0);
    EXPECT_TRUE(rig.client->ccMap.lists[74].empty());
    rig.clickTag(kTagFilterCutoff, kRButton);
    ASSERT_EQ(menuTexts(rig), (std::vector<std::string>{"Learn MIDI CC", "Forget MIDI CC 75"}));
    ASSERT_TRUE(menu->choose(1));
    EXPECT_TRUE(rig.client->ccMap.empty());
    controller(rig, 75, 20);
    EXPECT_EQ(rig.client->engine().cell[kTagFilterCutoff], 1.0f) << "forgotten";
}

TEST(MidiLearn, ASectionSwitchFollowsItsControllerOnThePanelAndForgetAllClearsTheMap) {
    SettingsSandbox sandbox;
    EditorRig rig;
    ASSERT_TRUE(rig.open());
    ZuOptionMenu* menu = rig.editor()->midiMenu();
    rig.clickTag(kTagFxSwitch, kRButton); // the effects section switch
    ASSERT_TRUE(menu->choose(0));
    controller(rig, 80, 127);
    rig.clickTag(kTagMaster, kRButton); // and the master knob
    ASSERT_TRUE(menu->choose(0));
    controller(rig, 81, 127);
    ASSERT_EQ(rig.client->ccMap.lists[80], (ControllerList{{kTagFxSwitch, 0}}));

    rig.host.clearCalls();
    controller(rig, 80, 0);
    EXPECT_EQ(rig.client->engine().cell[kTagFxSwitch], 0.0f);
    EXPECT_TRUE(rig.control(98)->isVisible()) << "the cover of the switched-off section";
    EXPECT_FALSE(rig.control(kTagFilterCutoff)->isVisible());
    controller(rig, 81, 64);
    EXPECT_TRUE(rig.callsOf(audioMasterAutomate).empty()) << "not recorded unless asked for";

    rig.click(kEmptyPanel, kRButton);
    ASSERT_EQ(menuTexts(rig), (std::vector<std::string>{"Forget all MIDI assignments",
                                                        "MIDI moves recorded by the host: off"}));
    ASSERT_TRUE(menu->choose(1));
    controller(rig, 81, 32);
    const std::vector<HostCall> automated = rig.callsOf(audioMasterAutomate);
    ASSERT_EQ(automated.size(), 1u);
    EXPECT_EQ(automated[0].index, kTagMaster);
    EXPECT_FLOAT_EQ(automated[0].opt, 32.0f / 127.0f);

    rig.click(kEmptyPanel, kRButton);
    EXPECT_EQ(menuTexts(rig)[1], "MIDI moves recorded by the host: on");
    ASSERT_TRUE(menu->choose(0));
    EXPECT_TRUE(rig.client->ccMap.empty());
}
