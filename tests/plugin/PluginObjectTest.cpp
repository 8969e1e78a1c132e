// The plug-in object created directly, for what the host cannot observe.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "plugin/ZuUniClient.h"
#include "support/MessageCapture.h"

namespace {

std::string g_vendor;
std::string g_product;

VstIntPtr VSTCALLBACK identityHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
    switch (opcode) {
    case audioMasterVersion: return 2400;
    case audioMasterGetVendorString: std::strcpy(static_cast<char*>(ptr), g_vendor.c_str()); return 1;
    case audioMasterGetProductString: std::strcpy(static_cast<char*>(ptr), g_product.c_str()); return 1;
    default: return 0;
    }
}

std::unique_ptr<ZuUniClient> clientFor(const std::string& vendor, const std::string& product) {
    g_vendor = vendor;
    g_product = product;
    return std::unique_ptr<ZuUniClient>(static_cast<ZuUniClient*>(createEffectInstance(identityHost)));
}

} // namespace

TEST(HostIdentity, OwnHostNeedsTheExactMakerName) {
    EXPECT_TRUE(clientFor("Tamblor", "x")->isOwnHost());
    EXPECT_FALSE(clientFor("Tamblor Studio", "x")->isOwnHost());
    EXPECT_FALSE(clientFor("tamblor", "x")->isOwnHost());
    EXPECT_FALSE(clientFor("", "x")->isOwnHost());
    EXPECT_TRUE(clientFor("x", "Sony ACID Pro")->isAcidHost());
    EXPECT_FALSE(clientFor("x", "sony acid pro")->isAcidHost());
}

TEST(HostIdentity, NullCallbackStillCreatesAPluginThatAsksNothing) {
    std::unique_ptr<ZuUniClient> c(static_cast<ZuUniClient*>(createEffectInstance(nullptr)));
    ASSERT_NE(c, nullptr);
    EXPECT_FALSE(c->isOwnHost());
    EXPECT_FALSE(c->beginEdit(0)) << "every host call answers 0 without a host";
    EXPECT_EQ(c->callHost(audioMasterGetTime), 0);
    c->setParameterAutomated(2, 0.5f); // must not crash
    EXPECT_FLOAT_EQ(c->getParameter(2), 0.5f);
}

TEST(EffectReports, ReachTheUserThroughThePlugin) {
    auto client = clientFor("x", "x");
    MessageCapture capture;
    const float room = client->reverb().room();
    client->reverb().setParameter(5, 1.0f);
    client->reverb().setParameter(-1, 1.0f);
    EXPECT_EQ(client->reverb().room(), room) << "an unknown index changes nothing";
    EXPECT_EQ(capture.texts(), std::vector<std::string>(2, "unknown parameter called in ZuBreverb"));
}

TEST(HostTexts, NamesAndDisplaysNeverOverrunA64ByteBuffer) {
    std::unique_ptr<ZuUniClient> c = clientFor("x", "y");
    for (int i = 0; i < 38; ++i) {
        char buf[80];
        std::memset(buf, 0x7F, sizeof(buf));
        c->getParameterDisplay(i, buf);
        EXPECT_LT(std::strlen(buf), 64u);
        EXPECT_EQ(buf[64], 0x7F) << "wrote beyond 64 bytes for " << i;
    }
    // A huge value still fits.
    c->setParameter(4, -3.4e38f);
    char buf[80];
    std::memset(buf, 0x7F, sizeof(buf));
    c->getParameterDisplay(4, buf);
    EXPECT_LE(std::strlen(buf), 63u);
    EXPECT_EQ(buf[0], '-');
    EXPECT_EQ(buf[64], 0x7F);
}

TEST(HostTexts, ProgramNamesAreCutTo24Characters) {
    std::unique_ptr<ZuUniClient> c = clientFor("x", "y");
    char buf[64];
    std::memset(buf, 0x7F, sizeof(buf));
    EXPECT_TRUE(c->getProgramNameIndexed(0, 5, buf));
    EXPECT_LE(std::strlen(buf), 24u);
    EXPECT_EQ(buf[25], 0x7F);
}

TEST(EditGestures, OnlyHostParametersReachTheHost) {
    std::unique_ptr<ZuUniClient> c = clientFor("x", "y");
    EXPECT_FALSE(c->beginEdit(38));
    EXPECT_FALSE(c->endEdit(41));
    EXPECT_FALSE(c->beginEdit(-1));
}
