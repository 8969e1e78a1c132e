// The effect record and entry point as a host sees them.
#include <gtest/gtest.h>

#include <vector>

#include "support/TestHost.h"

TEST(EntryPoint, OneFunctionUnderBothNamesPublishesTheRecordAndAsksTheHostOnce) {
    TestHost host;
    ASSERT_NE(host.entry(), nullptr);
    EXPECT_EQ(host.legacyEntry(), host.entry()) << "main must be exported too, as the same function";
    AEffect* e = host.open();
    ASSERT_NE(e, nullptr);
    // magic, programs, parameters, inputs, outputs, flags, unique id, version, initial delay
    EXPECT_EQ((std::vector<VstInt32>{e->magic, e->numPrograms, e->numParams, e->numInputs, e->numOutputs, e->flags,
                                     e->uniqueID, e->version, e->initialDelay}),
              (std::vector<VstInt32>{0x56737450, 128, 38, 2, 2, 561, 0x7A756F72, 1, 0}));
    EXPECT_EQ(e->ioRatio, 1.0f);
    EXPECT_NE(e->object, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(e->object) % 32, 0u) << "plug-in object must be 32-byte aligned";
    EXPECT_EQ(host.countCalls(audioMasterVersion), 1);
    EXPECT_EQ(host.countCalls(audioMasterGetVendorString), 1);
    EXPECT_EQ(host.countCalls(audioMasterGetProductString), 1);

    EXPECT_EQ(host.close(), 1);
    // Instances are independent: a new one starts from scratch.
    ASSERT_NE(host.open(), nullptr);
    EXPECT_EQ(host.dispatch(effGetVstVersion), 2400);
}

TEST(EntryPoint, RefusesAHostWithoutVersion) {
    TestHost host;
    host.masterVersion = 0;
    EXPECT_EQ(host.open(), nullptr);
    EXPECT_EQ(host.entry()(nullptr), nullptr) << "a null callback cannot even answer the version";
}
