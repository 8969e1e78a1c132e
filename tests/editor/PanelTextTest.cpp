// What the panel tells a musician: the preset's name and the information line,
// where a one-step reset takes each knob, MIDI learn through the context
// menus, and every text whole and uncovered in every state.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "editor/ZuDisplay.h"
#include "editor/ZuMenuHelper.h"
#include "editor/ZuOptionMenu.h"
#include "editor/ZuPresetMenu.h"
#include "gui/FileDialog.h"
#include "gui/TextLayout.h"
#include "params/ParameterTags.h"
#include "state/SettingsKey.h"
#include "support/EditorRig.h"
#include "support/MidiEvents.h"
#include "support/SettingsSandbox.h"
#include "support/StateWords.h"
#include "support/TempDir.h"

namespace {

std::string shownPreset(EditorRig& rig) { return dynamic_cast<ZuPresetMenu*>(rig.control(76))->getShownText(); }
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

std::string describe(const CRect& r) {
    std::ostringstream s;
    s << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
    return s.str();
}

// Each text a visible display or menu draws lies inside its own box and under no other visible view.
void expectLegibleReadouts(EditorRig& rig, const std::string& state) {
    rig.idle();
    std::vector<CView*> views;
    rig.editor()->getFrame()->forEachView([&](CView* v) {
        if (v->isVisible() && !v->getViewSize().isEmpty()) views.push_back(v);
    });
    for (CView* v : views) {
        std::string text;
        const CFontDesc* font = nullptr;
        CHoriTxtAlign align = kCenterText;
        if (auto* d = dynamic_cast<ZuDisplay*>(v); d && d->getMode() != ZuDisplay::kImage) {
            text = d->text();
            font = &d->getFont();
            align = d->getAlignment();
        } else if (auto* m = dynamic_cast<ZuOptionMenu*>(v); m && m->showsText()) {
            text = m->getShownText();
            font = &m->getFont();
        } else {
            continue;
        }
        const fontatlas::FaceInfo& face = textlayout::faceFor(*font);
        const std::vector<int> codes = textlayout::decode(text.c_str());
        const CRect& box = v->getViewSize();
        const CRect ink = textlayout::inkBox(face, codes, textlayout::place(face, codes, box, align));
        if (ink.isEmpty()) continue;
        const std::string what = state + ": \"" + text + "\" of tag " +
                                 std::to_string(static_cast<const CControl*>(v)->getTag()) + " at " + describe(ink);
        EXPECT_TRUE(ink.left >= box.left && ink.right <= box.right && ink.top >= box.top && ink.bottom <= box.bottom)
            << what << " is clipped by its box " << describe(box);
        for (const CView* other : views)
            EXPECT_TRUE(other == v || !other->getViewSize().rectOverlap(ink))
                << what << " meets " << describe(other->getViewSize());
    }
}

} // namespace

TEST(PanelText, PresetNameFollowsEveryLoadProgramChangeAndSave) {
    TempDir root("orvel-names");
    const std::string bank = root.file("Bank");
    std::filesystem::create_directories(bank);
    // Beta's file holds another name than the file's: the program steps call it by the file
    for (auto [file, name, master] :
         {std::tuple{"Alpha", "Alpha", 0.1f}, {"Beta", "Beta Voice", 0.2f}, {"Gamma", "Gamma", 0.3f}}) {
        EditorRig maker;
        maker.client->presetName = name;
        maker.client->setParameter(kTagMaster, master);
        ASSERT_TRUE(maker.client->savePresetFile((bank + "/" + file + ".zuo").c_str()));
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
    ASSERT_EQ(menu->getEntry(5)->text, "Beta"); // after the four commands
    rig.host.clearCalls();
    ASSERT_TRUE(menu->choose(5));
    EXPECT_FLOAT_EQ(rig.host.getParameter(kTagMaster), 0.2f);
    EXPECT_GT(rig.host.countCalls(audioMasterUpdateDisplay), 0);
    rig.idle();
    EXPECT_EQ(shownPreset(rig), "Beta Voice");

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
    EXPECT_EQ(rig.oneGesture(kTagMaster), at(kTagMaster));
}

TEST(MidiLearn, AControlLearnsTheNextControllerAndForgetsItAndForgetAllClearsTheMap) {
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

    // A section switch follows its controller on the panel; forget all clears the map.
    rig.clickTag(kTagFxSwitch, kRButton);
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

TEST(PanelLegibility, EveryTextIsWholeAndUncoveredInEveryState) {
    EditorRig rig;
    ASSERT_TRUE(rig.open());
    expectLegibleReadouts(rig, "as opened");
    for (float sections : {0.0f, 1.0f})
        for (float page : {0.0f, 1.0f})
            for (float all : {0.0f, 0.5f, 1.0f}) {
                for (int32_t tag = 0; tag < 38; ++tag) rig.client->setParameter(tag, all);
                for (int32_t tag : {kTagGate, kTagComp, kTagPreamp, kTagDyn, kTagFxSwitch})
                    rig.client->setParameter(tag, sections);
                rig.client->setParameter(kTagModulationPage, page);
                std::ostringstream state;
                state << "sections " << sections << ", page " << page << ", parameters at " << all;
                expectLegibleReadouts(rig, state.str());
            }
}
