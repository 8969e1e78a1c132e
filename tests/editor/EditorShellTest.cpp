// The editor shell through the host boundary: the instance is driven by its
// dispatcher and effect record, its editor opened headless, mouse input fed to
// the frame's window, and every call into the host recorded.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "editor/ZuButton.h"
#include "editor/ZuControl.h"
#include "editor/ZuDisplay.h"
#include "editor/ZuKnob.h"
#include "editor/ZuOptionMenu.h"
#include "editor/ZuPresetMenu.h"
#include "state/SettingsKey.h"
#include "support/TempDir.h"
#include "support/EditorRig.h"

namespace {

// The panel: tag, left, top, right, bottom. The readouts whose design boxes
// met other controls sit in boxes of their own beside them.
constexpr const char* kControlPlaces =
    "0 490 344 542 396  1 20 265 72 317  2 20 344 72 396  3 100 184 152 236  4 100 265 152 317 "
    "5 100 344 152 396  6 180 265 232 317  7 180 344 232 396  8 260 89 386 120  9 306 125 394 151 "
    "10 260 184 312 236  11 330 184 382 236  12 260 265 312 317  13 330 265 382 317 "
    "14 260 344 312 396  15 330 344 382 396  16 412 99 436 181  17 451 99 475 181 "
    "18 488 105 542 118  19 488 143 542 156  20 412 211 436 293  21 451 211 475 293 "
    "22 490 211 514 293  23 483 189 518 201  24 559 211 583 293  25 598 211 622 293 "
    "26 637 211 661 293  27 630 189 665 201  28 410 344 462 396  29 559 100 583 182 "
    "30 598 100 622 182  31 628 90 663 102  32 628 106 663 118  33 628 122 663 134 "
    "41 481 304 516 316  45 559 304 594 316  46 520 304 555 316  59 0 0 40 20 "
    "71 628 106 663 118  72 597 75 663 87  79 586 402 646 414  80 652 403 664 415 "
    "81 568 403 580 415  96 598 304 633 316  97 637 304 672 316  101 420 403 455 415 "
    "102 120 25 139 44  103 11 25 30 44  76 30 25 120 43  99 145 25 164 44";
// Controls 34..37 share their places with 29..33 on the other modulation page.
constexpr const char* kSharedPlaces = "34 559 100 583 182  35 598 100 622 182  36 628 90 663 102  37 628 122 663 134";
constexpr const char* kDisplayPlaces =
    "38 182 318 233 334  39 181 398 232 414  42 32 94 60 122  43 20 318 71 334  44 21 398 72 414 "
    "47 102 318 153 334  48 102 239 153 255  49 101 398 152 414  50 113 94 141 122  51 492 398 543 414 "
    "52 553 184 588 200  53 588 184 630 200  54 628 138 666 176  55 588 184 630 200  56 553 184 588 200 "
    "57 627 138 665 176  58 628 138 666 176  61 454 293 478 304  62 402 296 453 312  63 408 299 448 310 "
    "64 591 293 629 304  65 552 293 590 304  66 629 293 672 304  67 480 293 530 304  68 456 400 489 416 "
    "69 404 185 444 201  70 445 185 481 201  78 574 343 658 390  82 261 398 312 414  83 261 318 312 334 "
    "84 262 238 313 254  85 332 318 383 334  86 332 398 383 414  87 331 238 382 254  88 290 335 330 344 "
    "89 290 256 330 265  90 290 175 330 184  91 258 127 309 143  92 11 71 83 403  93 91 71 164 403 "
    "94 171 71 244 403  95 251 71 395 403  98 403 71 672 298  100 170 25 436 44";

struct Place {
    int32_t tag;
    CRect rect;
};

std::vector<Place> places(const char* text) {
    std::vector<Place> out;
    std::istringstream in(text);
    Place p;
    while (in >> p.tag >> p.rect.left >> p.rect.top >> p.rect.right >> p.rect.bottom) out.push_back(p);
    return out;
}

// Every view of the frame with this tag.
std::vector<CControl*> withTag(ZuUniClientEditor* editor, int32_t tag) {
    std::vector<CControl*> out;
    editor->getFrame()->forEachView([&](CView* v) {
        if (auto* c = dynamic_cast<CControl*>(v); c && c->getTag() == tag) out.push_back(c);
    });
    return out;
}

bool hasControlAt(ZuUniClientEditor* editor, int32_t tag, const CRect& r) {
    for (CControl* c : withTag(editor, tag))
        if (c->getViewSize() == r && dynamic_cast<ZuControl*>(c)) return true;
    return false;
}

} // namespace

TEST(EditorShell, EveryControlAndDisplayIsInPlaceWithItsKindAndGroup) {
    EditorRig rig;
    ASSERT_TRUE(rig.open());
    ZuUniClientEditor* e = rig.editor();
    for (const char* list : {kControlPlaces, kSharedPlaces, kDisplayPlaces})
        for (const Place& p : places(list)) EXPECT_TRUE(hasControlAt(e, p.tag, p.rect)) << "tag " << p.tag;
    // The reduction meter is as large as one image of its strip.
    EXPECT_TRUE(hasControlAt(e, 40, CRect(189, 99, 199, 199)));

    for (int32_t tag : {0, 1, 7, 8, 9, 16, 29, 34})
        EXPECT_NE(dynamic_cast<ZuKnob*>(rig.control(tag)), nullptr) << tag;
    EXPECT_EQ(dynamic_cast<ZuKnob*>(rig.control(8))->getOrientation(), ZuKnob::kHorizontal);
    EXPECT_EQ(dynamic_cast<ZuKnob*>(rig.control(9))->getOrientation(), ZuKnob::kHorizontal);
    EXPECT_EQ(dynamic_cast<ZuKnob*>(rig.control(9))->getSensitivity(), 1.0f);
    EXPECT_EQ(dynamic_cast<ZuKnob*>(rig.control(3))->getSensitivity(), 0.5f);
    EXPECT_EQ(dynamic_cast<ZuKnob*>(rig.control(0))->getImageCount(), 96);
    EXPECT_EQ(dynamic_cast<ZuKnob*>(rig.control(0))->getImageHeight(), 52);
    EXPECT_EQ(dynamic_cast<ZuKnob*>(rig.control(16))->getImageCount(), 128);
    EXPECT_EQ(dynamic_cast<ZuKnob*>(rig.control(16))->getImageHeight(), 82);
    EXPECT_EQ(dynamic_cast<ZuKnob*>(rig.control(8))->getImageHeight(), 31);

    auto* flow = dynamic_cast<ZuButton*>(rig.control(18));
    ASSERT_NE(flow, nullptr);
    EXPECT_EQ(flow->getStates(), 3);
    EXPECT_EQ(dynamic_cast<ZuButton*>(rig.control(19))->getStates(), 3);
    EXPECT_EQ(dynamic_cast<ZuButton*>(rig.control(41))->getStates(), 2);
    EXPECT_EQ(dynamic_cast<ZuButton*>(rig.control(41))->getMode(), ZuButton::kStepping);
    for (int32_t tag : {80, 81, 102, 103})
        EXPECT_EQ(dynamic_cast<ZuButton*>(rig.control(tag))->getMode(), ZuButton::kMomentary) << tag;
    for (int32_t tag : {32, 59, 71, 79}) EXPECT_NE(dynamic_cast<ZuOptionMenu*>(rig.control(tag)), nullptr) << tag;
    EXPECT_EQ(dynamic_cast<ZuOptionMenu*>(rig.control(32))->getNbEntries(), 8);
    EXPECT_EQ(dynamic_cast<ZuOptionMenu*>(rig.control(79))->getNbEntries(), 6);

    auto group = [&](int32_t tag) { return dynamic_cast<ZuControl*>(rig.control(tag))->getGroup(); };
    EXPECT_EQ(group(0), 0);
    EXPECT_EQ(group(1), 15);
    EXPECT_EQ(group(3), 16);
    EXPECT_EQ(group(6), 17);
    EXPECT_EQ(group(8), 18);
    EXPECT_EQ(group(16), 19);
    EXPECT_EQ(group(29), 2);
    EXPECT_EQ(group(34), 1);
    EXPECT_EQ(group(72), 19);
    EXPECT_EQ(group(57), 5);
    EXPECT_EQ(group(58), 6);
    EXPECT_EQ(group(92), 10);
    EXPECT_EQ(group(98), 14);
    EXPECT_EQ(group(88), 18);
    EXPECT_EQ(group(40), 0);
    EXPECT_EQ(group(100), 0);
    EXPECT_EQ(rig.editor()->getFrame()->getBackground(), rig.editor()->getBitmap(1000));
}

TEST(EditorShell, AKnobDragReachesTheHostBetweenBeginAndEndEdit) {
    EditorRig rig;
    ASSERT_TRUE(rig.open());
    rig.host.setParameter(3, 0.5f);
    rig.idle();
    rig.host.clearCalls();
    rig.drag(3, 0, -10);
    EXPECT_NEAR(rig.host.getParameter(3), 0.55f, 1e-6f);
    const std::vector<HostCall> calls = rig.host.calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front().opcode, audioMasterBeginEdit);
    EXPECT_EQ(calls.front().index, 3);
    EXPECT_EQ(calls.back().opcode, audioMasterEndEdit);
    EXPECT_EQ(calls.back().index, 3);
    const std::vector<HostCall> automated = rig.callsOf(audioMasterAutomate);
    ASSERT_EQ(automated.size(), 1u);
    EXPECT_EQ(automated[0].index, 3);
    EXPECT_NEAR(automated[0].opt, 0.55f, 1e-6f);

    rig.host.clearCalls();
    rig.drag(3, 0, -10, kShift);
    EXPECT_NEAR(rig.host.getParameter(3), 0.5525f, 1e-6f);
    // The horizontal split slider moves by the distance to the right.
    rig.host.setParameter(8, 0.5f);
    rig.idle();
    rig.drag(8, 10, 0);
    EXPECT_NEAR(rig.host.getParameter(8), 0.55f, 1e-6f);
    // The response slider has twice the sensitivity.
    rig.host.setParameter(9, 0.5f);
    rig.idle();
    rig.drag(9, 10, 0);
    EXPECT_NEAR(rig.host.getParameter(9), 0.6f, 1e-6f);
}

TEST(EditorShell, ButtonsSendTheirStatesScaledIntoTheParameterRange) {
    EditorRig rig;
    ASSERT_TRUE(rig.open());
    rig.host.setParameter(19, 1.0f / 3.0f); // band-pass: state 1
    rig.host.setParameter(23, 0.0f);        // delay off
    rig.idle();
    rig.host.clearCalls();
    rig.clickTag(19);
    rig.clickTag(23);
    std::vector<HostCall> automated = rig.callsOf(audioMasterAutomate);
    ASSERT_EQ(automated.size(), 2u);
    EXPECT_EQ(automated[0].index, 19);
    EXPECT_FLOAT_EQ(automated[0].opt, 2.0f / 3.0f);
    EXPECT_EQ(automated[1].index, 23);
    EXPECT_FLOAT_EQ(automated[1].opt, 0.5f);
    EXPECT_EQ(rig.callsOf(audioMasterBeginEdit).size(), 2u);
    EXPECT_EQ(rig.callsOf(audioMasterEndEdit).size(), 2u);

    // A third click wraps the filter type to high-pass.
    rig.idle();
    rig.clickTag(19);
    EXPECT_FLOAT_EQ(rig.host.getParameter(19), 0.0f);
    EXPECT_FLOAT_EQ(rig.client->engine().cell[19], 0.0f);
}

TEST(EditorShell, SectionSwitchesSwapCoversAndSectionsWithoutTellingTheHost) {
    EditorRig rig;
    ASSERT_TRUE(rig.open());
    rig.idle();
    auto shown = [&](int32_t tag) { return rig.control(tag)->isVisible(); };
    // Gate, preamp, compressor, multiband and effects start switched on.
    for (int32_t tag : {1, 3, 6, 8, 16}) EXPECT_TRUE(shown(tag)) << tag;
    for (int32_t tag : {92, 93, 94, 95, 98}) EXPECT_FALSE(shown(tag)) << tag;
    EXPECT_TRUE(shown(34)); // the LFO page
    EXPECT_TRUE(shown(54));
    EXPECT_FALSE(shown(29));

    rig.host.clearCalls();
    rig.clickTag(41); // gate off
    EXPECT_FALSE(shown(1));
    EXPECT_FALSE(shown(43));
    EXPECT_TRUE(shown(92));
    EXPECT_FLOAT_EQ(rig.client->engine().cell[41], 0.0f);
    EXPECT_EQ(rig.callsOf(audioMasterAutomate).size(), 0u);
    EXPECT_EQ(rig.callsOf(audioMasterBeginEdit).size(), 0u);

    rig.clickTag(72); // the envelope-follower page, its sign lamp for "+"
    EXPECT_TRUE(shown(29));
    EXPECT_TRUE(shown(57));
    EXPECT_FALSE(shown(58));
    EXPECT_FALSE(shown(34));
    EXPECT_FALSE(shown(54));
    rig.clickTag(33); // inverted: the other lamp
    EXPECT_TRUE(shown(58));
    EXPECT_FALSE(shown(57));

    rig.clickTag(97); // effects off: the cover, and neither modulation page
    EXPECT_TRUE(shown(98));
    EXPECT_FALSE(shown(16));
    EXPECT_FALSE(shown(34));
    EXPECT_FALSE(shown(29));
    EXPECT_FALSE(shown(72));
    EXPECT_TRUE(shown(0)); // the master stays
    // The effects switch is shown above its own cover and switches back on.
    rig.clickTag(97);
    EXPECT_TRUE(shown(16));
    EXPECT_TRUE(shown(29));
    EXPECT_TRUE(shown(58));
    EXPECT_FALSE(shown(98));
}

TEST(EditorShell, OpenPushesTheSectionSwitchesIntoTheMask) {
    EditorRig rig;
    rig.host.setParameter(0, 0.5f);
    rig.client->setParameter(45, 0.0f); // compressor off while closed
    rig.editor()->mask().set(17, true);  // a stale mask
    ASSERT_TRUE(rig.open());
    EXPECT_TRUE(rig.editor()->mask().test(12));
    EXPECT_FALSE(rig.editor()->mask().test(17));
    EXPECT_TRUE(rig.control(94)->isVisible());
    EXPECT_FALSE(rig.control(6)->isVisible());
}

TEST(EditorShell, HostAutomationAndPresetLoadsShowAtTheNextIdle) {
    EditorRig rig;
    ASSERT_TRUE(rig.open());
    rig.host.setParameter(3, 0.2f);
    rig.host.setParameter(19, 0.0f);
    rig.idle();
    void* data = nullptr;
    const VstIntPtr size = rig.host.dispatch(effGetChunk, 0, 0, &data);
    ASSERT_GT(size, 0);
    const std::vector<uint8_t> saved(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);

    rig.host.setParameter(3, 0.8f);
    rig.host.setParameter(19, 1.0f);
    EXPECT_FLOAT_EQ(rig.control(3)->getValue(), 0.2f); // nothing is pushed
    rig.idle();
    EXPECT_FLOAT_EQ(rig.control(3)->getValue(), 0.8f);
    EXPECT_EQ(dynamic_cast<ZuButton*>(rig.control(19))->getState(), 2);

    std::vector<uint8_t> bytes = saved;
    EXPECT_EQ(rig.host.dispatch(effSetChunk, 0, VstIntPtr(bytes.size()), bytes.data()), 1);
    rig.idle();
    EXPECT_FLOAT_EQ(rig.control(3)->getValue(), 0.2f);
    EXPECT_EQ(dynamic_cast<ZuButton*>(rig.control(19))->getState(), 0);
}

TEST(EditorShell, DisplaysShowTheirEngineValuesInTheirUnits) {
    EditorRig rig;
    ASSERT_TRUE(rig.open());
    rig.host.setParameter(2, 0.5f);  // gate hold 400 - 195 ms
    rig.host.setParameter(24, 0.5f); // room 0.9 x 0.5 + 0.1
    rig.host.setParameter(0, 0.5f);  // master at unity
    rig.host.setParameter(28, 0.25f);
    rig.idle();
    auto text = [&](int32_t tag) { return dynamic_cast<ZuDisplay*>(rig.control(tag))->text(); };
    EXPECT_EQ(text(44), "205ms");
    EXPECT_EQ(text(65), " 55 ");
    EXPECT_EQ(text(51), "0.0db");
    EXPECT_EQ(text(68), " 25 ");
    rig.host.setParameter(0, 1.0f); // 4: +12.04 dB
    rig.idle();
    EXPECT_EQ(text(51), "12.0db");
    EXPECT_EQ(dynamic_cast<ZuDisplay*>(rig.control(100))->getMode(), ZuDisplay::kInfo);
    EXPECT_EQ(dynamic_cast<ZuDisplay*>(rig.control(92))->getMode(), ZuDisplay::kImage);
}

TEST(EditorShell, KeysAndKnobModeGoThroughTheDispatcher) {
    EditorRig rig;
    ASSERT_TRUE(rig.open());
    for (VstInt32 tag = 0; tag < 38; ++tag) rig.host.setParameter(tag, 0.01f * float(tag + 1));
    rig.host.clearCalls();
    // F2: every value applied again, none changed, the host not told.
    EXPECT_EQ(rig.host.dispatch(effEditKeyDown, 0, VKEY_F2, nullptr, 0.0f), 1);
    for (VstInt32 tag = 0; tag < 38; ++tag) EXPECT_FLOAT_EQ(rig.host.getParameter(tag), 0.01f * float(tag + 1));
    EXPECT_EQ(rig.callsOf(audioMasterAutomate).size(), 0u);
    EXPECT_EQ(rig.host.dispatch(effEditKeyDown, 'a', 0, nullptr, 0.0f), 0);
    EXPECT_EQ(rig.host.dispatch(effEditKeyUp, 0, VKEY_F2, nullptr, 0.0f), 0);
    EXPECT_EQ(rig.host.dispatch(effEditKeyDown, 0, VKEY_F2, nullptr, std::nanf("")), 1); // no modifiers
    EXPECT_EQ(rig.host.dispatch(effEditKeyUp, 0, VKEY_F2, nullptr, -1e30f), 0);

    EXPECT_EQ(rig.host.dispatch(effSetEditKnobMode, 0, 2), 1);
    EXPECT_EQ(ZuControl::getKnobMode(), 2);
    EXPECT_EQ(rig.host.dispatch(effSetEditKnobMode, 0, 0), 1);
    EXPECT_EQ(ZuControl::getKnobMode(), 0);
    EXPECT_EQ(rig.host.dispatch(effEditMouse, 1, 2), 0);
    EXPECT_EQ(rig.host.dispatch(effEditKey, 1), 0);
}

TEST(EditorShell, EditorSwitchMenusAreNotReportedToTheHost) {
    EditorRig rig;
    ASSERT_TRUE(rig.open());
    rig.host.clearCalls();
    auto* meter = dynamic_cast<ZuOptionMenu*>(rig.control(79));
    ASSERT_TRUE(meter->choose(meter->findValue(5)));
    EXPECT_FLOAT_EQ(rig.client->engine().cell[79], 5 * 0.16667667f);
    EXPECT_EQ(rig.client->engine().controls.meterSource, 5);
    auto* lfo = dynamic_cast<ZuOptionMenu*>(rig.control(71));
    ASSERT_TRUE(lfo->choose(lfo->findValue(3)));
    EXPECT_FLOAT_EQ(rig.client->engine().cell[71], 0.375f);
    EXPECT_EQ(rig.callsOf(audioMasterAutomate).size(), 0u);
    // The follower's destination is a host parameter.
    auto* follower = dynamic_cast<ZuOptionMenu*>(rig.control(32));
    ASSERT_TRUE(follower->choose(follower->findValue(7)));
    const std::vector<HostCall> automated = rig.callsOf(audioMasterAutomate);
    ASSERT_EQ(automated.size(), 1u);
    EXPECT_EQ(automated[0].index, 32);
    EXPECT_FLOAT_EQ(automated[0].opt, 0.875f);
}

TEST(EditorShell, PresetMenuListsPresetFolderSlotZeroAndLoadsTheChosenFile) {
    TempDir folder("orvel-menu");
    {
        EditorRig maker;
        maker.effect->setParameter(maker.effect, 0, 0.8f); // master
        ASSERT_TRUE(maker.client->savePresetFile(folder.file("Loud.zuo").c_str()));
    }
    std::ofstream(folder.file("notes.txt")) << "not a preset";
    ASSERT_TRUE(writeSettingString("presetpath0", (folder.path() + "/").c_str()));

    EditorRig rig;
    ASSERT_TRUE(rig.open());
    auto* menu = dynamic_cast<ZuPresetMenu*>(rig.control(76));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->getShownText(), "default");
    EXPECT_EQ(rig.editor()->presetMenus().size(), 1u);
    // Four fixed entries, then the one preset file; the text file is left out.
    ASSERT_EQ(menu->getNbEntries(), 5);
    EXPECT_EQ(menu->getEntry(4)->text, "Loud");

    rig.effect->setParameter(rig.effect, 0, 0.2f);
    ASSERT_TRUE(menu->choose(4));
    EXPECT_FLOAT_EQ(rig.effect->getParameter(rig.effect, 0), 0.8f);
    EXPECT_FALSE(rig.callsOf(audioMasterUpdateDisplay).empty());

    rig.close();
    EXPECT_TRUE(rig.editor()->presetMenus().empty());
    writeSettingString("presetpath0", "");
}
