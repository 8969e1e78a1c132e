// The editor's controls in a headless frame: buttons, displays, knobs, the
// manual link and the option and preset menus.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>
#include <vector>

#include "editor/ZuButton.h"
#include "editor/ZuDisplay.h"
#include "editor/ZuFrame.h"
#include "editor/ZuKnob.h"
#include "editor/ZuLocalLink.h"
#include "editor/ZuMenuHelper.h"
#include "editor/ZuOptionMenu.h"
#include "editor/ZuPresetMenu.h"
#include "gui/AEffGUIEditor.h"
#include "gui/CBitmap.h"
#include "gui/CControl.h"
#include "gui/HeadlessWindow.h"
#include "gui/ShellOpen.h"
#include "state/SettingsKey.h"
#include "state/ZuFileio.h"
#include "support/SettingsSandbox.h"

namespace {

// A headless editor frame whose gestures and reported values land in one log, in order.
struct ControlRig : CControlListener, AEffGUIEditor {
    ControlRig() : AEffGUIEditor(nullptr) { AEffGUIEditor::frame = new ZuFrame(CRect(0, 0, 682, 425), nullptr, this); }
    void valueChanged(CControl* c) override {
        entries.push_back("v" + std::to_string(c->getTag()));
        values.push_back(c->getValue());
    }
    void beginEdit(VstInt32 index) override { entries.push_back("b" + std::to_string(index)); }
    void endEdit(VstInt32 index) override { entries.push_back("e" + std::to_string(index)); }
    std::vector<std::string> entries; // "b<tag>", "v<tag>", "e<tag>"
    std::vector<float> values;        // one per "v" entry
    std::atomic<uint32_t> mask[4] = {1u, 0u, 0u, 0u};

    ZuFrame& frame() { return *static_cast<ZuFrame*>(getFrame()); }
    HeadlessWindow& window() { return *static_cast<HeadlessWindow*>(frame().getPlatformWindow()); }
    template <typename T> T* add(T* control) {
        control->setMask(mask);
        frame().addView(control);
        return control;
    }
    void press(CPoint p, CButtonState b, uint32_t t = 1000) { window().mouseDown(p, b, t); }
    void release(CPoint p, CButtonState b) { window().mouseUp(p, b); }
    // Pixels of the area that are not black.
    int litPixels(const CRect& r) {
        int lit = 0;
        for (CCoord y = r.top; y < r.bottom; ++y)
            for (CCoord x = r.left; x < r.right; ++x) lit += frame().offscreen().getPixel(x, y) != 0;
        return lit;
    }
};

const CPoint kInside(120, 120);

const CRect kMenuRect(628, 106, 663, 118);

ZuOptionMenu* addMenu(ControlRig& rig, int entries, int32_t tag = 32) {
    auto* m = rig.add(new ZuOptionMenu(kMenuRect, &rig, tag));
    for (int i = 0; i < entries; ++i) m->addEntry("entry " + std::to_string(i), i * 10);
    return m;
}

// The centre of an entry's row in the open pop-up.
CPoint rowPoint(ZuMenuPanel* panel, int32_t entry) {
    const CRect r = panel->rowRect(entry);
    return CPoint(r.left + 5, r.top + r.height() / 2);
}

const CRect kPresetRect(30, 25, 120, 43);

struct Entry {
    std::string text;
    int32_t value;
    bool sub;
    bool operator==(const Entry&) const = default;
};

std::vector<Entry> entriesOf(const ZuOptionMenu& m) {
    std::vector<Entry> out;
    for (int32_t i = 0; i < m.getNbEntries(); ++i)
        out.push_back({m.getEntry(i)->text, m.getEntry(i)->value, m.getEntry(i)->subMenu != nullptr});
    return out;
}

ZuOptionMenu* subMenuNamed(const ZuOptionMenu& m, const std::string& text) {
    for (int32_t i = 0; i < m.getNbEntries(); ++i)
        if (m.getEntry(i)->text == text) return m.getEntry(i)->subMenu.get();
    return nullptr;
}

std::vector<Entry> fixedAnd(std::vector<Entry> more) {
    std::vector<Entry> all = {
        {"Select Folder", 0, false}, {"Save Preset", 1, false}, {"Load Preset", 2, false}, {"--Presets--", 3, false}};
    all.insert(all.end(), more.begin(), more.end());
    return all;
}

} // namespace

TEST(Button, StateFromTheBoundCellAndImageOfTheState) {
    ControlRig rig;
    auto* images = new CBitmap(54, 39); // three images of 54 x 13, state i filled with colour i + 1
    for (CCoord y = 0; y < 39; ++y)
        for (CCoord x = 0; x < 54; ++x) images->pixels()[size_t(y * 54 + x)] = 0xFF000000u | uint32_t(y / 13 + 1);
    auto* b = rig.add(new ZuButton(CRect(488, 143, 542, 156), &rig, 19, images, 3));
    images->forget();
    float cell = 2.0f / 3.0f; // what the editor sends for state 2
    ASSERT_TRUE(b->bindValue(&cell));
    rig.frame().refreshControls();
    rig.frame().idle();
    EXPECT_EQ(rig.frame().offscreen().getPixel(500, 150), 3u);
    for (auto [v, state] : {std::pair{1.0f / 3.0f, 1}, {1.0f, 2}, {NAN, 0}, {7.0f, 2}, {-1.0f, 0}}) {
        cell = v;
        rig.frame().refreshControls();
        EXPECT_EQ(b->getState(), state) << v;
    }
}

TEST(Display, BoundValueScaleOffsetAndRedrawOnChange) {
    ControlRig rig;
    auto* d = rig.add(new ZuDisplay(CRect(20, 318, 71, 334), &rig, 43));
    float cell = 0.5f;
    d->bindDisplay(&cell, 100.0f, -20.0f);
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
}

TEST(Knob, ShownByItsMaskGroupAndFollowsItsBoundCellUnlessHiddenOrHeld) {
    ControlRig rig;
    auto* k = rig.add(new ZuKnob(CRect(100, 100, 152, 152), &rig, 7, nullptr, 96, 52));
    k->setValue(0.5f);
    k->setGroup(15);
    EXPECT_FALSE(k->isVisible()); // bit 15 clear in the mask
    rig.mask[0] |= 1u << 15;
    EXPECT_TRUE(k->isVisible());
    k->setGroup(500); // out of range: the always-shown group
    EXPECT_EQ(k->getGroup(), 0);

    float cell = 0.4f; // bound as the panel binds every control, over 0 to 1
    ASSERT_TRUE(k->bindValue(&cell, 0.0f, 1.0f));
    rig.frame().idle();
    rig.frame().refreshControls();
    EXPECT_EQ(k->getValue(), 0.4f);
    rig.frame().idle();
    rig.frame().refreshControls();
    EXPECT_FALSE(k->isDirty()); // unchanged: no redraw

    cell = 0.1f;
    k->setGroup(3);
    rig.frame().refreshControls();
    EXPECT_EQ(k->getValue(), 0.4f);
    k->setGroup(0);
    rig.press(kInside, kLButton);
    rig.frame().refreshControls();
    EXPECT_EQ(k->getValue(), 0.4f);
    rig.release(kInside, kLButton);
    rig.frame().refreshControls();
    EXPECT_EQ(k->getValue(), 0.1f);
}

TEST(LocalLink, ReleaseInsideOpensTheManualUnderTheInstallFolder) {
    SettingsSandbox sandbox;
    EXPECT_EQ(ZuLocalLink::manualPath(), "emptyManual.htm");
    writeSettingString("installpath", "/opt/orvel/");
    EXPECT_EQ(ZuLocalLink::manualPath(), "/opt/orvel/Manual/Manual.htm");
    writeSettingString("installpath", "/opt/orvel");
    std::vector<std::string> opened;
    auto previous = setShellOpenHandler([&](const std::string& p) {
        opened.push_back(p);
        return true;
    });
    ControlRig rig;
    auto* link = rig.add(new ZuLocalLink(CRect(145, 25, 164, 44), &rig, 99));
    rig.press(CPoint(150, 30), kLButton);
    EXPECT_TRUE(link->isPressed());
    rig.release(CPoint(150, 30), kLButton);
    EXPECT_FALSE(link->isPressed());
    EXPECT_EQ(opened, std::vector<std::string>{"/opt/orvel/Manual/Manual.htm"});
    // released outside: nothing opens
    rig.press(CPoint(150, 30), kLButton, 5000);
    rig.release(CPoint(300, 300), kLButton);
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_TRUE(rig.entries.empty());
    setShellOpenHandler(previous);
}

TEST(OptionMenu, ClickOpensTheListAndChoosingReportsTheEntryValue) {
    ControlRig rig;
    ZuOptionMenu* m = addMenu(rig, 4);
    m->addEntry("title", 99, kZuEntryTitle);
    rig.press(CPoint(630, 110), kLButton);
    rig.release(CPoint(630, 110), kLButton);
    ASSERT_TRUE(m->isPopupOpen());
    EXPECT_EQ(rig.frame().getModalView(), m->getPopup());
    ZuMenuPanel* panel = m->getPopup()->level(0);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->getViewSize().top, kMenuRect.bottom); // below the menu
    EXPECT_EQ(panel->visibleRows(), 5);

    // every click goes to the pop-up now, even one on another control
    rig.press(rowPoint(panel, 4), kLButton, 5000); // the title cannot be chosen
    EXPECT_TRUE(m->isPopupOpen());
    EXPECT_TRUE(rig.values.empty());
    rig.press(rowPoint(panel, 2), kLButton, 7000);
    EXPECT_FALSE(m->isPopupOpen());
    EXPECT_EQ(rig.frame().getModalView(), nullptr);
    EXPECT_EQ(rig.values, std::vector<float>{20.0f});
    EXPECT_EQ(m->getChosenIndex(), 2);
    EXPECT_EQ(m->getShownText(), "entry 2");
    EXPECT_FALSE(m->choose(4));
    EXPECT_FALSE(m->choose(17));

    // a press outside the list closes it without a choice
    rig.press(CPoint(630, 110), kLButton, 9000);
    ASSERT_TRUE(m->isPopupOpen());
    rig.press(CPoint(5, 400), kLButton, 11000);
    EXPECT_FALSE(m->isPopupOpen());
    EXPECT_EQ(rig.values.size(), 1u);
    rig.frame().idle(); // the closed pop-up is kept until the next opening and draws nothing

    // a rebuild while the list is open closes it; an empty menu still opens an (empty) list
    ASSERT_TRUE(m->popup(&rig.frame(), CPoint(10, 10)));
    m->removeAllEntries();
    EXPECT_FALSE(m->isPopupOpen());
    EXPECT_EQ(rig.frame().getModalView(), nullptr);
    EXPECT_EQ(m->getChosenIndex(), -1);
    ASSERT_TRUE(m->popup(&rig.frame(), CPoint(10, 10)));
    rig.press(CPoint(12, 12), kLButton, 13000);
    EXPECT_EQ(rig.values.size(), 1u);
}

TEST(OptionMenu, SubMenusOpenAsNestedListsAndReportThroughTheTopMenu) {
    ControlRig rig;
    ZuOptionMenu* m = addMenu(rig, 2);
    auto sub = std::make_unique<ZuOptionMenu>(kMenuRect, &rig, 32);
    sub->addEntry("inner a", 0);
    sub->addEntry("inner b", 1);
    auto deeper = std::make_unique<ZuOptionMenu>(kMenuRect, &rig, 32);
    deeper->addEntry("deep", 5);
    ZuOptionMenu* deep = sub->addSubMenu("more", std::move(deeper), 2);
    ZuOptionMenu* inner = m->addSubMenu("folder", std::move(sub), 40);
    EXPECT_FALSE(m->choose(2)); // a sub-menu entry opens, it is not chosen

    ASSERT_TRUE(m->popup(&rig.frame(), CPoint(100, 100)));
    ZuMenuHelper* helper = m->getPopup();
    rig.press(rowPoint(helper->level(0), 2), kLButton, 1000);
    ASSERT_EQ(helper->levelCount(), 2);
    ZuMenuPanel* second = helper->level(1);
    EXPECT_EQ(second->getMenu(), inner);
    EXPECT_EQ(second->getViewSize().left, helper->level(0)->getViewSize().right); // beside the first level
    rig.press(rowPoint(second, 2), kLButton, 3000);
    ASSERT_EQ(helper->levelCount(), 3);
    rig.press(rowPoint(helper->level(2), 0), kLButton, 5000);
    EXPECT_FALSE(m->isPopupOpen());
    EXPECT_EQ(deep->getValue(), 5.0f);
    EXPECT_EQ(inner->getChosenIndex(), 2);
    EXPECT_EQ(m->getValue(), 40.0f); // the entry that leads to the choice
    EXPECT_EQ(rig.entries, std::vector<std::string>{"v32"}); // reported once, by the top menu
}

TEST(PresetMenu, ListingsGiveSortedEntriesWhoseValuesCountSkippedNames) {
    const struct {
        std::vector<std::string> names;
        uint32_t style;
        std::vector<Entry> expected;
    } cases[] = {
        {{"A.zuo", "notes.txt", "C.zuo"}, ZuPresetMenu::kEditorStyle, fixedAnd({{"A", 4, false}, {"C", 6, false}})},
        // names that are not "<name>.zuo" are skipped but still counted
        {{"zuo", ".zuo", "bzuo", "A.ZUO", "x.zuo.bak", "D.zuo"}, ZuPresetMenu::kEditorStyle, fixedAnd({{"D", 9, false}})},
        // a sub-menu sorts case folded; '_' (0x5F) sorts after the folded letters
        {{"beta.zuo", "Alpha.zuo", "gamma.zuo", "_x.zuo"}, ZuPresetMenu::kSubMenuStyle,
         {{"Alpha", 0, false}, {"beta", 1, false}, {"gamma", 2, false}, {"_x", 3, false}}},
    };
    for (const auto& c : cases) {
        ZuCharList files;
        for (const std::string& n : c.names) files.add(n, false);
        ZuPresetMenu m(kPresetRect, nullptr, 76, nullptr, c.style);
        m.buildEntries(files, ZuCharList());
        EXPECT_EQ(entriesOf(m), c.expected) << c.names[0];
    }
    // only the first 128 names are considered
    ZuCharList many;
    for (int i = 0; i < 130; ++i) many.add("p" + std::to_string(1000 + i) + ".zuo", false);
    ZuPresetMenu m(kPresetRect, nullptr, 76);
    m.buildEntries(many, ZuCharList());
    ASSERT_EQ(m.getNbEntries(), 4 + 128);
    EXPECT_EQ(entriesOf(m).back(), (Entry{"p1127", 131, false}));
    EXPECT_FALSE(m.getEntry(3)->canBeChosen()); // the title
}

TEST(PresetMenu, BuildFromDiskPutsSortedSubFoldersAfterTheFiles) {
    SettingsSandbox sandbox;
    const std::string root = sandbox.root() + "/Bank";
    for (const char* f : {"one.zuo", "two.zuo", "S1/gamma.zuo", "S1/beta.zuo", "S1/Alpha.zuo", "S1/read.txt", "S2/Deep/z.zuo"})
        writeBytes(root + "/" + f, {'x'});
    ControlRig rig;
    auto* m = rig.add(new ZuPresetMenu(kPresetRect, &rig, 76));
    m->build(root.c_str(), "zuo");
    EXPECT_EQ(m->getFolderPath(), root + "/");

    // the files, then the folders, each sorted
    EXPECT_EQ(entriesOf(*m), fixedAnd({{"one", 4, false}, {"two", 5, false}, {"S1", 6, true}, {"S2", 7, true}}));
    ZuOptionMenu* sub = subMenuNamed(*m, "S1");
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(entriesOf(*sub), (std::vector<Entry>{{"Alpha", 0, false}, {"beta", 1, false}, {"gamma", 2, false}}));

    // a file chosen in a sub-menu, two levels down, or at the top is the top menu's chosen file
    std::string path;
    ASSERT_TRUE(sub->choose(1));
    ASSERT_TRUE(m->chosenFilePath(path, "zuo"));
    EXPECT_EQ(path, root + "/S1/beta.zuo");
    EXPECT_EQ(rig.entries, std::vector<std::string>{"v76"});
    ASSERT_NE(subMenuNamed(*m, "S2"), nullptr);
    ASSERT_TRUE(subMenuNamed(*m, "S2")->getEntry(0)->subMenu->choose(0));
    ASSERT_TRUE(m->chosenFilePath(path, "zuo"));
    EXPECT_EQ(path, root + "/S2/Deep/z.zuo");
    ASSERT_TRUE(m->choose(m->findValue(5)));
    ASSERT_TRUE(m->chosenFilePath(path, "zuo"));
    EXPECT_EQ(path, root + "/two.zuo");

    // a folder that cannot be listed, or none at all: only the commands
    m->build((root + "/missing").c_str(), "zuo");
    EXPECT_EQ(entriesOf(*m), fixedAnd({}));
    EXPECT_FALSE(m->chosenFilePath(path, "zuo"));
    m->build("", "zuo");
    EXPECT_EQ(m->getFolderPath(), ""); // not the root
}
