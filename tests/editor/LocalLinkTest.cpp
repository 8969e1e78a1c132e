// The manual link: the document path from the settings, and opening it on a
// release inside the link only.
#include <gtest/gtest.h>

#include "ControlRig.h"
#include "editor/ZuLocalLink.h"
#include "gui/ShellOpen.h"
#include "state/SettingsKey.h"
#include "support/SettingsSandbox.h"

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
    auto* link = rig.add(new ZuLocalLink(CRect(145, 25, 164, 44), &rig.log, 99));
    rig.press(CPoint(150, 30), kLButton);
    EXPECT_TRUE(link->isPressed());
    rig.release(CPoint(150, 30), kLButton);
    EXPECT_FALSE(link->isPressed());
    EXPECT_EQ(opened, std::vector<std::string>{"/opt/orvel/Manual/Manual.htm"});
    // released outside: nothing opens
    rig.press(CPoint(150, 30), kLButton, 5000);
    rig.release(CPoint(300, 300), kLButton);
    EXPECT_EQ(opened.size(), 1u);
    // hidden: not handled
    link->setGroup(12);
    rig.press(CPoint(150, 30), kLButton, 9000);
    rig.release(CPoint(150, 30), kLButton);
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_TRUE(rig.log.entries.empty());
    setShellOpenHandler(previous);
}
