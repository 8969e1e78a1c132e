// setParameter's mappings, side effects, visibility rules and cascades.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "params/Mappings.h"
#include "plugin/ZuUniClient.h"
#include "support/EngineRig.h"
#include "support/TestHost.h"

namespace {

std::vector<HostCall> g_calls;

VstIntPtr VSTCALLBACK recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*, float opt) {
    g_calls.push_back({opcode, index, value, opt});
    return opcode == audioMasterVersion ? 2400 : 0;
}

class ParameterApplication : public ::testing::Test {
protected:
    void SetUp() override {
        g_calls.clear();
        client.reset(static_cast<ZuUniClient*>(createEffectInstance(recordingHost)));
        ASSERT_NE(client, nullptr);
        g_calls.clear();
    }
    EngineControls& controls() { return client->engine().controls; }
    VisibilityMask& mask() { return client->uniEditor()->mask(); }
    float cell(int tag) { return client->engine().cell[tag]; }

    std::unique_ptr<ZuUniClient> client;
};

int countAutomate() {
    return static_cast<int>(std::count_if(g_calls.begin(), g_calls.end(),
                                          [](const HostCall& c) { return c.opcode == audioMasterAutomate; }));
}

} // namespace

TEST(Mappings, SwitchKindsDifferAt0_4995AndSelectorsRoundUpFromAThousandth) {
    struct Row {
        float mapped, expected;
    };
    // selectorUp: 8v + 0.001 = 0.626 stays 0; 0.9992 + 0.001 reaches 1
    const Row rows[] = {{mapping::onOffUp(0.4995f), 1.0f},          {mapping::onOffUp(0.4994f), 0.0f},
                        {mapping::onOff(0.4995f), 0.0f},            {mapping::onOff(0.5f), 1.0f},
                        {mapping::onOff(1.0f), 1.0f},               {mapping::selector(0.3333f, 3.0f, 2.0f), 0.0f},
                        {mapping::selector(0.3334f, 3.0f, 2.0f), 1.0f}, {mapping::selector(1.0f, 3.0f, 2.0f), 2.0f},
                        {mapping::selectorUp(0.875f, 8.0f, 7.0f), 7.0f}, {mapping::selectorUp(0.078125f, 8.0f, 7.0f), 0.0f},
                        {mapping::selectorUp(0.1249f, 8.0f, 7.0f), 1.0f}};
    for (size_t i = 0; i < std::size(rows); ++i) EXPECT_EQ(rows[i].mapped, rows[i].expected) << "row " << i;
}

TEST_F(ParameterApplication, OutOfRangeValuesAreStoredButMapInsideTheRange) {
    client->setParameter(18, 0.5f);
    EXPECT_EQ(controls().filterFlow, 1.0f) << "a host's middle step selects the middle routing";
    client->setParameter(18, 7.0f);
    EXPECT_EQ(cell(18), 7.0f);
    EXPECT_EQ(controls().filterFlow, 2.0f);
    client->setParameter(0, -3.4e38f);
    EXPECT_EQ(client->getParameter(0), -3.4e38f);
    EXPECT_EQ(controls().masterGain, 0.0f);
    client->setParameter(79, std::nanf(""));
    EXPECT_EQ(controls().meterSource, 0);
}

TEST_F(ParameterApplication, UnknownTagsAreIgnored) {
    std::vector<float> before(client->engine().cell, client->engine().cell + kMaxTag);
    const float gain = controls().masterGain, flow = controls().filterFlow;
    for (int tag : {38, 39, 40, 42, 104, -1, 1000}) client->setParameter(tag, 1.0f);
    EXPECT_EQ(std::vector<float>(client->engine().cell, client->engine().cell + kMaxTag), before);
    EXPECT_EQ(controls().masterGain, gain);
    EXPECT_EQ(controls().filterFlow, flow);
    EXPECT_EQ(client->getParameter(38), 0.0f);
    EXPECT_EQ(client->getParameter(41), 0.0f) << "editor switches are not host parameters";
}

TEST_F(ParameterApplication, OnlyHostParametersAreAutomated) {
    const float gate = cell(41);
    client->setParameterAutomated(40, 1.0f);
    client->setParameterAutomated(41, 1.0f - gate);
    EXPECT_EQ(cell(41), gate) << "not even setParameter runs";
    EXPECT_EQ(countAutomate(), 0);
    client->setParameterAutomated(3, 0.25f);
    EXPECT_EQ(cell(3), 0.25f);
    ASSERT_EQ(countAutomate(), 1);
    EXPECT_EQ(g_calls.back().index, 3);
    EXPECT_EQ(g_calls.back().opt, 0.25f);
    client->setParameter(5, 0.5f);
    EXPECT_EQ(countAutomate(), 1) << "setParameter itself tells the host nothing";
}

TEST_F(ParameterApplication, EfInvertFollowsIntoItsEditorCopyOnlyOnChange) {
    client->setParameter(33, 1.0f);
    EXPECT_EQ(cell(59), 1.0f);
    client->setParameter(59, 0.0f); // the copy moved behind efinvert's back
    client->setParameter(33, 0.9f); // same state
    EXPECT_EQ(cell(59), 0.0f) << "an unchanged state does not call setParameter(59)";
    client->setParameter(33, 0.0f);
    EXPECT_EQ(cell(59), 0.0f);
    client->setParameter(33, 0.5f);
    EXPECT_EQ(cell(59), 1.0f);
}

TEST_F(ParameterApplication, GateShowsItsGroupOnlyUnderAVisibleParent) {
    mask().set(0, false);
    for (int b = 11; b <= 14; ++b) mask().set(b, true);
    client->setParameter(41, 1.0f);
    EXPECT_FALSE(mask().test(10));
    EXPECT_FALSE(mask().test(15));
    for (int b = 11; b <= 14; ++b) EXPECT_TRUE(mask().test(b)) << "bit " << b << " is not the gate's";
    mask().set(0, true);
    client->setParameter(41, 1.0f);
    EXPECT_FALSE(mask().test(10));
    EXPECT_TRUE(mask().test(15));
    client->setParameter(41, 0.0f);
    EXPECT_TRUE(mask().test(10));
    EXPECT_FALSE(mask().test(15));
}

TEST_F(ParameterApplication, StageSwitchesEachDriveTheirPairOfGroups) {
    struct Row { int tag, off, on; };
    for (Row r : {Row{45, 12, 17}, Row{46, 11, 16}, Row{96, 13, 18}, Row{97, 14, 19}}) {
        client->setParameter(r.tag, 0.4995f);
        EXPECT_FALSE(mask().test(r.off)) << r.tag;
        EXPECT_TRUE(mask().test(r.on)) << r.tag;
        client->setParameter(r.tag, 0.4994f);
        EXPECT_TRUE(mask().test(r.off)) << r.tag;
        EXPECT_FALSE(mask().test(r.on)) << r.tag;
    }
}

TEST_F(ParameterApplication, EffectsSwitchCascadesThroughThePageSwitchToTheInvertCopy) {
    client->setParameter(72, 1.0f); // follower page
    EXPECT_FALSE(mask().test(1));
    EXPECT_TRUE(mask().test(2));
    EXPECT_TRUE(mask().test(5)) << "efinvertbmp re-applied under its now visible parent";
    EXPECT_FALSE(mask().test(6));

    client->setParameter(97, 0.0f); // effects section off hides the whole chain below bit 19
    EXPECT_TRUE(mask().test(14));
    EXPECT_FALSE(mask().test(19));
    EXPECT_FALSE(mask().test(1));
    EXPECT_FALSE(mask().test(2));
    EXPECT_FALSE(mask().test(5));
    EXPECT_FALSE(mask().test(6));
    EXPECT_EQ(controls().fxSwitch, 0.0f);

    client->setParameter(97, 1.0f);
    EXPECT_TRUE(mask().test(2));
    EXPECT_TRUE(mask().test(5));
}

TEST_F(ParameterApplication, FilterFlowWaitsForTheEffectsSection) {
    client->setParameter(97, 0.0f);
    client->setParameter(18, 1.0f);
    EXPECT_EQ(controls().flowIndex, 0.0f);
    EXPECT_FALSE(controls().mainFiltered) << "the main path stays unfiltered";
    EXPECT_TRUE(controls().sendFiltered);
    client->setParameter(97, 1.0f);
    EXPECT_EQ(controls().flowIndex, 2.0f);
    EXPECT_TRUE(controls().mainFiltered);
    client->setParameter(18, 0.5f);
    EXPECT_FALSE(controls().mainFiltered);
    EXPECT_TRUE(controls().sendFiltered);
    client->setParameter(18, 0.0f);
    EXPECT_FALSE(controls().sendFiltered);
}

TEST_F(ParameterApplication, RecomputeRebuildsFromTheCellsInDependencyOrder) {
    Engine& e = client->engine();
    e.cell[97] = 0.0f; // effects off, flow 2: tag 18 must read the fxSwitch of tag 97
    e.cell[18] = 1.0f;
    e.cell[0] = 1.0f;
    client->recompute();
    EXPECT_EQ(controls().fxSwitch, 0.0f);
    EXPECT_FALSE(controls().mainFiltered);
    EXPECT_EQ(controls().masterGain, 4.0f);
    EXPECT_TRUE(mask().test(14));
}

TEST(RecomputeOrder, CoversEveryStoredValueAndTheInvertCopy) {
    Engine engine;
    ParameterTable table(engine.cell);
    std::set<int> expected{59};
    for (const ParameterRecord* r : table.stored()) expected.insert(r->tag);
    std::multiset<int> order(std::begin(ParameterModel::kRecomputeOrder), std::end(ParameterModel::kRecomputeOrder));
    EXPECT_EQ(std::set<int>(order.begin(), order.end()), expected);
    EXPECT_EQ(order.size(), expected.size()) << "no tag twice";
    const int* o = ParameterModel::kRecomputeOrder;
    auto pos = [&](int tag) { return std::find(o, o + 48, tag) - o; };
    EXPECT_LT(pos(97), pos(18));
    EXPECT_LT(pos(32), pos(31));
    EXPECT_LT(pos(71), pos(36));
}

TEST(ReverbSettings, RoomAndDecayGoStraightToTheReverb) {
    EngineRig rig;
    rig.set(24, 0.5f);
    EXPECT_FLOAT_EQ(rig.reverb.lastSet[1], 0.55f);
    rig.set(25, 0.3f);
    EXPECT_EQ(rig.reverb.lastSet[3], 0.3f);
    EXPECT_EQ(rig.log, (std::vector<std::string>{"reverb.set(1)", "reverb.set(3)"}));
}
