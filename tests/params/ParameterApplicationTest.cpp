// setParameter's mappings, side effects, visibility rules and cascades.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <vector>

#include "params/Mappings.h"
#include "params/ParameterTags.h"
#include "support/StateWords.h"

namespace {

class ParameterApplication : public ::testing::Test {
protected:
    EngineControls& controls() { return client->engine().controls; }
    VisibilityMask& mask() { return client->uniEditor()->mask(); }
    float cell(int tag) { return client->engine().cell[tag]; }

    std::unique_ptr<ZuUniClient> client = DirectHost::create();
};

} // namespace

TEST(Mappings, SwitchKindsDifferAt0_4995AndSelectorsRoundUpFromAThousandth) {
    using namespace mapping;
    // selectorUp: 8v + 0.001 = 0.626 stays 0; 0.9992 + 0.001 reaches 1
    const float rows[][2] = {{onOffUp(0.4995f), 1},         {onOffUp(0.4994f), 0},
                             {onOff(0.4995f), 0},           {onOff(0.5f), 1},
                             {selector(0.3333f, 3, 2), 0},  {selector(0.3334f, 3, 2), 1},
                             {selector(1, 3, 2), 2},        {selectorUp(0.875f, 8, 7), 7},
                             {selectorUp(0.078125f, 8, 7), 0}, {selectorUp(0.1249f, 8, 7), 1}};
    for (size_t i = 0; i < std::size(rows); ++i) EXPECT_EQ(rows[i][0], rows[i][1]) << "row " << i;
}

TEST_F(ParameterApplication, OutOfRangeValuesAreStoredButMapInsideTheRange) {
    client->setParameter(kTagFilterFlow, 0.5f);
    EXPECT_EQ(controls().filterFlow, 1.0f) << "a host's middle step selects the middle routing";
    client->setParameter(kTagFilterFlow, 7.0f);
    EXPECT_EQ(cell(kTagFilterFlow), 7.0f);
    EXPECT_EQ(controls().filterFlow, 2.0f);
    client->setParameter(kTagMaster, -3.4e38f);
    EXPECT_EQ(client->getParameter(kTagMaster), -3.4e38f);
    EXPECT_EQ(controls().masterGain, 0.0f);

    client->setParameter(kTagMeterSource, std::nanf(""));
    EXPECT_EQ(controls().meterSource, 0);
}

TEST_F(ParameterApplication, EfInvertFollowsIntoItsEditorCopyOnlyOnChange) {
    client->setParameter(kTagFollowerInvert, 1.0f);
    EXPECT_EQ(cell(kTagFollowerInvertLamp), 1.0f);
    client->setParameter(kTagFollowerInvertLamp, 0.0f); // the copy moved behind efinvert's back
    client->setParameter(kTagFollowerInvert, 0.9f);     // same state
    EXPECT_EQ(cell(kTagFollowerInvertLamp), 0.0f) << "an unchanged state does not set the lamp";
    client->setParameter(kTagFollowerInvert, 0.0f);
    EXPECT_EQ(cell(kTagFollowerInvertLamp), 0.0f);
    client->setParameter(kTagFollowerInvert, 0.5f);
    EXPECT_EQ(cell(kTagFollowerInvertLamp), 1.0f);
}

// Each stage switch drives its pair of groups from the same threshold, the
// gate's "on" group only under a visible parent. (The effects switch's
// cascade to the pages shows in the editor's own tests.)
TEST_F(ParameterApplication, SwitchesDriveTheirGroups) {
    struct Row { int tag, off, on; };
    for (Row r : {Row{kTagGate, 10, 15}, Row{kTagComp, 12, 17}, Row{kTagPreamp, 11, 16}, Row{kTagDyn, 13, 18},
                  Row{kTagFxSwitch, 14, 19}}) {
        client->setParameter(r.tag, 0.4995f);
        EXPECT_FALSE(mask().test(r.off)) << r.tag;
        EXPECT_TRUE(mask().test(r.on)) << r.tag;
        client->setParameter(r.tag, 0.4994f);
        EXPECT_TRUE(mask().test(r.off)) << r.tag;
        EXPECT_FALSE(mask().test(r.on)) << r.tag;
    }
    mask().set(0, false);
    client->setParameter(kTagGate, 1.0f);
    EXPECT_FALSE(mask().test(10));
    EXPECT_FALSE(mask().test(15)) << "no gate group under a hidden parent";
    for (int b = 11; b <= 14; ++b) EXPECT_TRUE(mask().test(b)) << "bit " << b << " is not the gate's";
}

TEST_F(ParameterApplication, FilterFlowWaitsForTheEffectsSectionAlsoInARecompute) {
    client->setParameter(kTagFxSwitch, 0.0f);
    client->setParameter(kTagFilterFlow, 1.0f);
    EXPECT_EQ(controls().flowIndex, 0.0f);
    EXPECT_FALSE(controls().mainFiltered) << "the main path stays unfiltered";
    EXPECT_TRUE(controls().sendFiltered);
    client->setParameter(kTagFxSwitch, 1.0f);
    EXPECT_EQ(controls().flowIndex, 2.0f);
    EXPECT_TRUE(controls().mainFiltered);
    client->setParameter(kTagFilterFlow, 0.5f);
    EXPECT_FALSE(controls().mainFiltered);
    EXPECT_TRUE(controls().sendFiltered);
    client->setParameter(kTagFilterFlow, 0.0f);
    EXPECT_FALSE(controls().sendFiltered);

    // Rebuilt from the cells: the flow must read the effects switch first.
    Engine& e = client->engine();
    e.cell[kTagFxSwitch] = 0.0f;
    e.cell[kTagFilterFlow] = 1.0f;
    e.cell[kTagMaster] = 1.0f;
    client->recompute();
    EXPECT_EQ(controls().fxSwitch, 0.0f);
    EXPECT_FALSE(controls().mainFiltered);
    EXPECT_EQ(controls().masterGain, 4.0f);
    EXPECT_TRUE(mask().test(14));
}

TEST(RecomputeOrder, CoversEveryStoredValueAndTheInvertCopy) {
    Engine engine;
    ParameterTable table(engine.cell);
    std::set<int> expected{kTagFollowerInvertLamp};
    for (const ParameterRecord* r : table.stored()) expected.insert(r->tag);
    std::multiset<int> order(std::begin(ParameterModel::kRecomputeOrder), std::end(ParameterModel::kRecomputeOrder));
    EXPECT_EQ(std::set<int>(order.begin(), order.end()), expected);
    EXPECT_EQ(order.size(), expected.size()) << "no tag twice";
    const int* o = ParameterModel::kRecomputeOrder;
    auto pos = [&](int tag) { return std::find(o, o + 48, tag) - o; };
    EXPECT_LT(pos(kTagFollowerTarget), pos(kTagFollowerPower));
    EXPECT_LT(pos(kTagLfoTarget), pos(kTagLfoPower));
}
