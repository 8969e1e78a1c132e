// What the panel tells a musician: the loaded preset's name in the preset
// menu and the information line after every load, program change and save;
// the control under the mouse with its value; and where a one-step reset
// takes each knob.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <utility>

#include "editor/ZuDisplay.h"
#include "editor/ZuPresetMenu.h"
#include "gui/FileDialog.h"
#include "params/ParameterTags.h"
#include "state/SettingsKey.h"
#include "support/EditorRig.h"
#include "support/StateWords.h"
#include "support/TempDir.h"

namespace {

std::string shownPreset(EditorRig& rig) { return dynamic_cast<ZuPresetMenu*>(rig.control(76))->getShownText(); }
std::string infoLine(EditorRig& rig) { return dynamic_cast<ZuDisplay*>(rig.control(100))->text(); }

} // namespace

TEST(PanelText, PresetNameFollowsEveryLoadProgramChangeAndSave) {
    TempDir root("orvel-names");
    const std::string bank = root.file("Bank");
    std::filesystem::create_directories(bank);
    for (auto [name, master] : {std::pair{"Alpha", 0.1f}, {"Beta", 0.2f}, {"Gamma", 0.3f}}) {
        EditorRig maker;
        maker.client->presetName = name;
        maker.client->setParameter(kTagMaster, master);
        ASSERT_TRUE(maker.client->savePresetFile((bank + "/" + name + ".zuo").c_str()));
    }
    std::ofstream(bank + "/notes.txt") << "not a preset";
    ASSERT_TRUE(writeSettingString("presetpath0", (root.path() + "/").c_str()));

    EditorRig rig;
    ASSERT_TRUE(rig.open());
    EXPECT_EQ(shownPreset(rig), "default"); // no default preset in the folder
    EXPECT_EQ(infoLine(rig), "default");

    // The program buttons step on the press only, back from the first preset
    // round to the last, and automate nothing.
    rig.host.clearCalls();
    for (auto [tag, name] : {std::pair{kTagNextPreset, "Beta"}, {kTagPreviousPreset, "Alpha"}, {kTagPreviousPreset, "Gamma"}}) {
        const int updates = rig.host.countCalls(audioMasterUpdateDisplay);
        rig.clickTag(tag);
        EXPECT_EQ(rig.host.countCalls(audioMasterUpdateDisplay), updates + 1) << name;
        rig.window().mouseMoved(CPoint(5, 200), 0); // the information line shows the preset away from the controls
        rig.idle();
        EXPECT_EQ(rig.client->presetName, name);
        EXPECT_EQ(shownPreset(rig), name);
        EXPECT_EQ(infoLine(rig), name);
    }
    EXPECT_FLOAT_EQ(rig.control(kTagMaster)->getValue(), 0.3f);
    EXPECT_TRUE(rig.callsOf(audioMasterAutomate).empty());

    // a file chosen in the menu keeps the name the file holds, not the entry's
    auto* menu = dynamic_cast<ZuPresetMenu*>(rig.control(76));
    rig.editor()->presetMenus()[0]->build((bank + "/").c_str(), "zuo");
    ASSERT_EQ(menu->getNbEntries(), 4 + 3); // the commands, then the presets but not the notes
    ASSERT_EQ(menu->getEntry(5)->text, "Beta");
    rig.host.clearCalls();
    ASSERT_TRUE(menu->choose(5));
    EXPECT_FLOAT_EQ(rig.host.getParameter(kTagMaster), 0.2f);
    EXPECT_GT(rig.host.countCalls(audioMasterUpdateDisplay), 0);
    rig.idle();
    EXPECT_EQ(shownPreset(rig), "Beta");

    // saved under a new name, the preset is that name, also in the file
    const FileDialogHandler previous = setFileDialogHandler([&](const FileDialogRequest&, std::string& out) {
        out = bank + "/Mine.zuo";
        return true;
    });
    ASSERT_TRUE(menu->choose(1));
    rig.window().mouseMoved(CPoint(5, 200), 0);
    rig.idle();
    EXPECT_EQ(shownPreset(rig), "Mine");
    EXPECT_EQ(infoLine(rig), "Mine");

    // Select Folder makes the chosen folder the preset folder, and the menu lists it.
    setFileDialogHandler([&](const FileDialogRequest&, std::string& out) { return !(out = bank).empty(); });
    ASSERT_TRUE(menu->choose(0));
    std::string folder;
    ASSERT_TRUE(readSettingString("presetpath0", folder));
    EXPECT_EQ(folder, bank + "/");
    ASSERT_EQ(menu->getNbEntries(), 4 + 4);
    EXPECT_EQ(menu->getEntry(4)->text, "Alpha");
    setFileDialogHandler(previous);
    rig.close();
    writeSettingString("presetpath0", "");
}

TEST(PanelText, InfoLineNamesTheControlUnderTheMouseWithItsValue) {
    EditorRig rig;
    ASSERT_TRUE(rig.open());
    rig.host.setParameter(kTagMaster, 0.5f);
    rig.host.setParameter(kTagGateThreshold, 0.0f);
    rig.client->setParameter(kTagGate, 1.0f); // gate on
    rig.client->setParameter(kTagMeterSource, 0.0f);
    rig.client->presetName = "Vocal Plate";
    rig.idle();
    auto hover = [&](int32_t tag) {
        rig.window().mouseMoved(EditorRig::centre(rig.control(tag)->getViewSize()), 0);
        return infoLine(rig);
    };
    EXPECT_EQ(infoLine(rig), "Vocal Plate");
    EXPECT_EQ(hover(kTagMaster), "Master 0.0db");
    EXPECT_EQ(hover(kTagGateThreshold), "Gate threshold -100db");
    EXPECT_EQ(hover(kTagGate), "Gate on");
    EXPECT_EQ(hover(kTagMeterSource), "Meter source Input");
    EXPECT_EQ(hover(76), "Preset Vocal Plate");
    // the value follows the control while the mouse stays
    rig.host.setParameter(kTagMaster, 1.0f);
    rig.idle();
    EXPECT_EQ(hover(kTagMaster), "Master 12.0db");
    // away from every control: the preset again
    rig.window().mouseMoved(CPoint(5, 200), 0);
    EXPECT_EQ(infoLine(rig), "Vocal Plate");
    rig.close();
}

TEST(PanelText, OneStepResetsGiveUnityGainsAndTheFactoryStartValues) {
    std::vector<float> start;
    {
        auto factory = DirectHost::create();
        ASSERT_TRUE(factory->loadPresetFile(ORVEL_BINARY_DIR "/presets/default.zuo"));
        for (int32_t tag = 0; tag < 38; ++tag) start.push_back(factory->getParameter(tag));
        DirectHost::client = nullptr;
    }
    EditorRig rig;
    ASSERT_TRUE(rig.open());
    for (int32_t tag : {kTagGate, kTagComp, kTagPreamp, kTagDyn, kTagFxSwitch}) rig.client->setParameter(tag, 1.0f);
    const int32_t knobs[] = {kTagMaster,    kTagGateThreshold, kTagPreampGain, kTagCompressSpeed, kTagHighLevel,
                             kTagMidLevel,  kTagLowLevel,      kTagDelayTime,  kTagFollowerSpeed, kTagLfoSpeed};
    for (int32_t tag : knobs) {
        const bool followerPage = tag == kTagFollowerAmount || tag == kTagFollowerSpeed;
        rig.client->setParameter(kTagModulationPage, followerPage ? 1.0f : 0.0f); // the follower's page or the LFO's
        rig.host.setParameter(tag, 0.93f);
        rig.idle();
        rig.clickTag(tag, kLButton | kControl);
        // The gains go to unity (below); the default preset's master sits above it.
        const bool gain = tag == kTagMaster || tag == kTagPreampGain || tag == kTagHighLevel || tag == kTagMidLevel ||
                          tag == kTagLowLevel;
        if (!gain) {
            EXPECT_NEAR(rig.host.getParameter(tag), start[size_t(tag)], 5e-4f) << tag;
        }
    }
    // unity: master 4v^2, preamp gain 12v^4, band levels 2v
    auto at = [&](int32_t tag) { return rig.host.getParameter(tag); };
    EXPECT_FLOAT_EQ(4.0f * at(kTagMaster) * at(kTagMaster), 1.0f);
    EXPECT_NEAR(12.0f * std::pow(at(kTagPreampGain), 4.0f), 1.0f, 1e-5f);
    for (int32_t tag : {kTagHighLevel, kTagMidLevel, kTagLowLevel}) EXPECT_FLOAT_EQ(2.0f * at(tag), 1.0f) << tag;

    // A double click resets too, as one gesture, and the mouse moved after it drags nothing.
    rig.host.setParameter(kTagMaster, 0.93f);
    rig.idle();
    rig.host.clearCalls();
    const CPoint on = EditorRig::centre(rig.control(kTagMaster)->getViewSize());
    rig.press(on, kLButton | kDoubleClick);
    rig.window().mouseMoved(CPoint(on.x, on.y - 50), kLButton);
    rig.release(CPoint(on.x, on.y - 50));
    EXPECT_FLOAT_EQ(4.0f * at(kTagMaster) * at(kTagMaster), 1.0f);
    const std::vector<HostCall> calls = rig.host.calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().opcode, audioMasterBeginEdit);
    EXPECT_EQ(calls.back().opcode, audioMasterEndEdit);
    EXPECT_EQ(rig.callsOf(audioMasterAutomate).size(), 1u);
    rig.close();
}
