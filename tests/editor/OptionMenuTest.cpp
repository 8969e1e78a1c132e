// Option menus: the pop-up as the frame's modal view, choosing, titles and
// nested sub-menus.
#include <gtest/gtest.h>

#include "ControlRig.h"
#include "editor/ZuMenuHelper.h"
#include "editor/ZuOptionMenu.h"

namespace {

const CRect kMenuRect(628, 106, 663, 118);

ZuOptionMenu* addMenu(ControlRig& rig, int entries, int32_t tag = 32) {
    auto* m = rig.add(new ZuOptionMenu(kMenuRect, &rig.log, tag));
    for (int i = 0; i < entries; ++i) m->addEntry("entry " + std::to_string(i), i * 10);
    return m;
}

// The centre of an entry's row in the open pop-up.
CPoint rowPoint(ZuMenuPanel* panel, int32_t entry) {
    const CRect r = panel->rowRect(entry);
    return CPoint(r.left + 5, r.top + r.height() / 2);
}

} // namespace

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
    EXPECT_TRUE(rig.log.values.empty());
    rig.press(rowPoint(panel, 2), kLButton, 7000);
    EXPECT_FALSE(m->isPopupOpen());
    EXPECT_EQ(rig.frame().getModalView(), nullptr);
    EXPECT_EQ(rig.log.values, std::vector<float>{20.0f});
    EXPECT_EQ(m->getChosenIndex(), 2);
    EXPECT_EQ(m->getShownText(), "entry 2");
    EXPECT_FALSE(m->choose(4));
    EXPECT_FALSE(m->choose(17));

    // a press outside the list closes it without a choice
    rig.press(CPoint(630, 110), kLButton, 9000);
    ASSERT_TRUE(m->isPopupOpen());
    rig.press(CPoint(5, 400), kLButton, 11000);
    EXPECT_FALSE(m->isPopupOpen());
    EXPECT_EQ(rig.log.values.size(), 1u);
    rig.frame().idle(); // the closed pop-up is kept until the next opening and draws nothing

    // a rebuild while the list is open closes it; an empty menu still opens an (empty) list
    ASSERT_TRUE(m->popup(&rig.frame(), CPoint(10, 10)));
    m->removeAllEntries();
    EXPECT_FALSE(m->isPopupOpen());
    EXPECT_EQ(rig.frame().getModalView(), nullptr);
    EXPECT_EQ(m->getChosenIndex(), -1);
    ASSERT_TRUE(m->popup(&rig.frame(), CPoint(10, 10)));
    rig.press(CPoint(12, 12), kLButton, 13000);
    EXPECT_EQ(rig.log.values.size(), 1u);
}

TEST(OptionMenu, SubMenusOpenAsNestedListsAndReportThroughTheTopMenu) {
    ControlRig rig;
    ZuOptionMenu* m = addMenu(rig, 2);
    auto sub = std::make_unique<ZuOptionMenu>(kMenuRect, &rig.log, 32);
    sub->addEntry("inner a", 0);
    sub->addEntry("inner b", 1);
    auto deeper = std::make_unique<ZuOptionMenu>(kMenuRect, &rig.log, 32);
    deeper->addEntry("deep", 5);
    ZuOptionMenu* deep = sub->addSubMenu("more", std::move(deeper), 2);
    ZuOptionMenu* inner = m->addSubMenu("folder", std::move(sub), 40);
    EXPECT_EQ(inner->getParentMenu(), m);
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
    EXPECT_EQ(rig.log.entries, std::vector<std::string>{"v32"}); // reported once, by the top menu
}
