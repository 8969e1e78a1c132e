// The plug-in object created directly, for what the host cannot observe.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "plugin/ZuUniClient.h"

namespace {

std::string g_vendor;

// Answers who it is and agrees to every edit gesture, so only the plug-in's
// own checks can refuse one.
VstIntPtr VSTCALLBACK identityHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
    switch (opcode) {
    case audioMasterVersion: return 2400;
    case audioMasterGetVendorString: std::strcpy(static_cast<char*>(ptr), g_vendor.c_str()); return 1;
    case audioMasterGetProductString: std::strcpy(static_cast<char*>(ptr), "y"); return 1;
    case audioMasterBeginEdit:
    case audioMasterEndEdit: return 1;
    default: return 0;
    }
}

std::unique_ptr<ZuUniClient> clientFor(const std::string& vendor) {
    g_vendor = vendor;
    return std::unique_ptr<ZuUniClient>(static_cast<ZuUniClient*>(createEffectInstance(identityHost)));
}

} // namespace

TEST(HostIdentity, OwnHostNeedsTheExactMakerName) {
    EXPECT_TRUE(clientFor("Tamblor")->isOwnHost());
    for (const char* other : {"Tamblor Studio", "tamblor", "Tambl", ""})
        EXPECT_FALSE(clientFor(other)->isOwnHost()) << other;
}

TEST(HostBounds, OnlyHostParametersHaveEditGesturesAndProgramNamesAreCut) {
    std::unique_ptr<ZuUniClient> c = clientFor("x");
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
