// setParameter's mappings, side effects, visibility rules and cascades.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

#include "params/Mappings.h"
#include "params/ParameterTags.h"
#include "params/SwitchPositions.h"
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
    // The delay switch and the LFO destination add the thousandth: 8v + 0.001 =
    // 0.626 stays 0; 0.9992 + 0.001 reaches 1. LFO power and the routing do not.
    const float rows[][2] = {{position(kTagDelayPower, 0.4995f, 2), 1},   {position(kTagDelayPower, 0.4994f, 2), 0},
                             {position(kTagLfoPower, 0.4995f, 2), 0},     {position(kTagLfoPower, 0.5f, 2), 1},
                             {position(kTagFilterFlow, 0.3333f, 3), 0},   {position(kTagFilterFlow, 0.3334f, 3), 1},
                             {position(kTagFilterFlow, 1, 3), 2},         {position(kTagLfoTarget, 0.875f, 8), 7},
                             {position(kTagLfoTarget, 0.078125f, 8), 0}, {position(kTagLfoTarget, 0.1249f, 8), 1}};
    for (size_t i = 0; i < std::size(rows); ++i) EXPECT_EQ(rows[i][0], rows[i][1]) << "row " << i;
}

TEST_F(ParameterApplication, OutOfRangeValuesAreStoredButMapInsideTheRange) {
    client->setParameter(kTagFilterFlow, 0.5f);
    EXPECT_EQ(controls().filterFlow, 1.0f) << "a host's middle step selects the middle routing";
    client->setParameter(kTagFilterFlow, 7.0f);
    EXPECT_EQ(std::pair(cell(kTagFilterFlow), controls().filterFlow), std::pair(7.0f, 2.0f));
    client->setParameter(kTagMaster, -3.4e38f);
    EXPECT_EQ(std::pair(client->getParameter(kTagMaster), controls().masterGain), std::pair(-3.4e38f, 0.0f));
    client->setParameter(kTagMeterSource, std::nanf(""));
    EXPECT_EQ(controls().meterSource, 0);
}

TEST_F(ParameterApplication, EfInvertFollowsIntoItsEditorCopyOnlyOnChange) {
    // (tag, value) then the lamp: the copy moved behind efinvert's back stays
    // while efinvert keeps its state, whatever its value
    const std::tuple<int, float, float> steps[] = {{kTagFollowerInvert, 1.0f, 1.0f},
                                                   {kTagFollowerInvertLamp, 0.0f, 0.0f},
                                                   {kTagFollowerInvert, 0.9f, 0.0f},
                                                   {kTagFollowerInvert, 0.0f, 0.0f},
                                                   {kTagFollowerInvert, 0.5f, 1.0f}};
    for (const auto& [tag, value, lamp] : steps) {
        client->setParameter(tag, value);
        EXPECT_EQ(cell(kTagFollowerInvertLamp), lamp) << tag << " at " << value;
    }
}

// Each stage switch drives its pair of groups from the same threshold, the
// gate's "on" group only under a visible parent. (The effects switch's
// cascade to the pages shows in the editor's own tests.)
TEST_F(ParameterApplication, SwitchesDriveTheirGroups) {
    struct Row { int tag, off, on; };
    for (Row r : {Row{kTagGate, 10, 15}, Row{kTagComp, 12, 17}, Row{kTagPreamp, 11, 16}, Row{kTagDyn, 13, 18},
                  Row{kTagFxSwitch, 14, 19}}) {
        for (const bool on : {true, false}) {
            client->setParameter(r.tag, on ? 0.4995f : 0.4994f);
            EXPECT_EQ(std::pair(mask().test(r.off), mask().test(r.on)), std::pair(!on, on)) << r.tag;
        }
    }
    mask().set(0, false);
    client->setParameter(kTagGate, 1.0f);
    EXPECT_FALSE(mask().test(10) || mask().test(15)) << "no gate group under a hidden parent";
    for (int b = 11; b <= 14; ++b) EXPECT_TRUE(mask().test(b)) << "bit " << b << " is not the gate's";
}

TEST_F(ParameterApplication, FilterFlowWaitsForTheEffectsSectionAlsoInARecompute) {
    client->setParameter(kTagFxSwitch, 0.0f);
    // (tag, value) then the flow index, the main path filtered, the send filtered:
    // with the effects section off the main path stays unfiltered
    const std::tuple<int, float, float, bool, bool> steps[] = {{kTagFilterFlow, 1.0f, 0.0f, false, true},
                                                               {kTagFxSwitch, 1.0f, 2.0f, true, true},
                                                               {kTagFilterFlow, 0.5f, 1.0f, false, true},
                                                               {kTagFilterFlow, 0.0f, 0.0f, false, false}};
    for (const auto& [tag, value, index, main, send] : steps) {
        client->setParameter(tag, value);
        EXPECT_EQ(std::tuple(controls().flowIndex, controls().mainFiltered.load(), controls().sendFiltered.load()),
                  std::tuple(index, main, send))
            << tag << " at " << value;
    }

    // Rebuilt from the cells: the flow must read the effects switch first.
    Engine& e = client->engine();
    e.cell[kTagFxSwitch] = 0.0f;
    e.cell[kTagFilterFlow] = 1.0f;
    e.cell[kTagMaster] = 1.0f;
    client->recompute();
    EXPECT_EQ(std::tuple(controls().fxSwitch, controls().mainFiltered.load(), controls().masterGain),
              std::tuple(0.0f, false, 4.0f));
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
