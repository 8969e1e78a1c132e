// The plug-in object created directly, for what the host cannot observe.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/StateWords.h"

TEST(HostIdentity, OwnHostNeedsTheExactMakerName) {
    EXPECT_TRUE(DirectHost::createAs("Tamblor")->isOwnHost());
    for (const char* other : {"Tamblor Studio", "tamblor", "Tambl", ""})
        EXPECT_FALSE(DirectHost::createAs(other)->isOwnHost()) << other;
}

TEST(HostBounds, OnlyHostParametersHaveEditGesturesAndProgramNamesAreCut) {
    auto c = DirectHost::create();
    EXPECT_TRUE(c->beginEdit(0));
    EXPECT_TRUE(c->endEdit(37));
    EXPECT_FALSE(c->beginEdit(38));
    EXPECT_FALSE(c->endEdit(41));
    EXPECT_FALSE(c->beginEdit(-1));
    c->presetName = std::string(40, 'n');
    char buf[64];
    std::memset(buf, 0x7F, sizeof(buf));
    EXPECT_TRUE(c->getProgramNameIndexed(0, -1, buf));
    EXPECT_EQ(std::string(buf), std::string(24, 'n')) << "program names are cut to 24 characters";
    EXPECT_EQ(buf[25], 0x7F);
}
