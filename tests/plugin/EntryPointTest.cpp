// The effect record and entry point as a host sees them.
#include <gtest/gtest.h>

#include "support/TestHost.h"

TEST(EntryPoint, EffectRecordAsPublished) {
    TestHost host;
    ASSERT_NE(host.legacyEntry(), nullptr) << "main must be exported too";
    AEffect* e = host.open();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->magic, 0x56737450);
    EXPECT_EQ(e->numPrograms, 128);
    EXPECT_EQ(e->numParams, 38);
    EXPECT_EQ(e->numInputs, 2);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->flags, 561);
    EXPECT_EQ(e->uniqueID, 0x7A756F72);
    EXPECT_EQ(e->version, 1);
    EXPECT_EQ(e->ioRatio, 1.0f);
    EXPECT_EQ(e->initialDelay, 0);
    EXPECT_EQ(e->realQualities, 0);
    EXPECT_EQ(e->offQualities, 0);
    EXPECT_EQ(e->resvd1, 0);
    EXPECT_EQ(e->resvd2, 0);
    EXPECT_NE(e->object, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(e->object) % 32, 0u) << "plug-in object must be 32-byte aligned";
}

TEST(EntryPoint, MainIsVSTPluginMainAndTheHostIsAskedWhoItIsOnce) {
    TestHost host;
    ASSERT_NE(host.entry(), nullptr);
    EXPECT_EQ(host.legacyEntry(), host.entry()) << "one function under two exported names";
    ASSERT_NE(host.open(), nullptr);
    EXPECT_EQ(host.countCalls(audioMasterVersion), 1);
    EXPECT_EQ(host.countCalls(audioMasterGetVendorString), 1);
    EXPECT_EQ(host.countCalls(audioMasterGetProductString), 1);
}

TEST(EntryPoint, RefusesAHostWithoutVersion) {
    TestHost host;
    host.masterVersion = 0;
    EXPECT_EQ(host.open(), nullptr);
    EXPECT_EQ(host.entry()(nullptr), nullptr) << "a null callback cannot even answer the version";
}
