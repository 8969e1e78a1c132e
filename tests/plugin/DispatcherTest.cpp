// Every dispatcher answer a host can observe, through the real entry point.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "support/TestHost.h"

namespace {

class Dispatcher : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(host.open(), nullptr); }
    TestHost host;
};

const char* const kHostParameterNames[38] = {
    "master",       "gate_thres",   "gate_speed",  "preamp_gain",     "hipass_freq",  "overdrive",
    "compression",  "compress_speed", "split_freq", "dyn_eq_response", "high_comp",   "high_level",
    "mid_comp",     "mid_level",    "low_comp",    "low_level",       "filter_cutoff", "filter_reso",
    "filter_sig_flow", "filter_type", "dly_time",  "dly_feedback",    "dly_level",    "delay_power",
    "rvb_room",     "rvb_decay",    "rvb_level",   "reverb_power",    "fx_return",    "ef_amount",
    "ef_speed",     "ef_power",     "followertarget", "efinvert",     "lfo_amount",   "lfo_speed",
    "lfo_power",    "syncmode"};

} // namespace

TEST_F(Dispatcher, FixedAnswersOfTheTable) {
    struct Answer {
        VstInt32 opcode, index;
        VstIntPtr value, expected;
    };
    const Answer answers[] = {
        {effIdentify, 0, 0, 0x4E764566}, // "NvEf"
        {effGetVstVersion, 0, 0, 2400},
        {effGetVendorVersion, 0, 0, 1030},
        {effGetPlugCategory, 0, 0, kPlugCategEffect},
        {effOpen, 0, 0, 0},
        {effGetProgram, 0, 0, 0},
        {effCanBeAutomated, 3, 0, 1},
        {effCanBeAutomated, 40, 0, 1},
        {effGetTailSize, 0, 0, 0},
        {effGetCurrentMidiProgram, 0, 0, -1},
        {effHasMidiProgramsChanged, 0, 0, 0},
        {effGetNumMidiInputChannels, 0, 0, 1},
        {effGetNumMidiOutputChannels, 0, 0, 0},
        {effSetTotalSampleToProcess, 0, 4711, 4711},
        {effShellGetNextPlugin, 0, 0, 0},
        {effStartProcess, 0, 0, 0},
        {effStopProcess, 0, 0, 0},
        {effBeginSetProgram, 0, 0, 0},
        {effEndSetProgram, 0, 0, 0},
        {effBeginLoadBank, 0, 0, 0},
        {effBeginLoadProgram, 0, 0, 0},
        {effSetBlockSize, 0, 256, 0},
        {effMainsChanged, 0, 0, 0},
        {effMainsChanged, 0, 1, 0},
    };
    for (const Answer& a : answers)
        EXPECT_EQ(host.dispatch(a.opcode, a.index, a.value), a.expected) << "opcode " << a.opcode << " index " << a.index;

    const std::pair<VstInt32, const char*> texts[] = {
        {effGetEffectName, "Orvel"}, {effGetVendorString, "Tamblor"}, {effGetProductString, "Orvel"}};
    for (const auto& [opcode, text] : texts) {
        EXPECT_EQ(host.textOf(opcode), text);
        char buf[80];
        EXPECT_EQ(host.dispatch(opcode, 0, 0, buf), 1) << opcode;
    }

    // Unsupported and unknown opcodes answer 0.
    const VstInt32 unsupported[] = {effGetVu,          effGetNumProgramCategories, effCopyProgram,
                                    effConnectInput,   effConnectOutput,           effGetCurrentPosition,
                                    effGetDestinationBuffer, effSetBlockSizeAndSampleRate, effGetErrorText,
                                    effIdle,           effGetIcon,                 effSetViewPosition,
                                    effKeysRequired,   effEditTop,                 effEditSleep,
                                    effString2Parameter, effGetInputProperties,   effOfflineNotify,
                                    effOfflinePrepare, effOfflineRun,              effProcessVarIo,
                                    effSetSpeakerArrangement, effSetBypass,        effVendorSpecific,
                                    effGetMidiProgramName, effGetMidiProgramCategory, effGetMidiKeyName,
                                    effSetPanLaw,      effSetProcessPrecision,     effSetProgramName,
                                    80, 81, 200, 4711, -1, -100};
    char scratch[512] = {};
    for (VstInt32 op : unsupported) EXPECT_EQ(host.dispatch(op, 0, 0, scratch), 0) << "opcode " << op;
}

TEST_F(Dispatcher, SpeakerArrangementIsNulled) {
    void* in = reinterpret_cast<void*>(0x1234);
    void* out = reinterpret_cast<void*>(0x5678);
    EXPECT_EQ(host.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 0);
    EXPECT_EQ(in, nullptr);
    EXPECT_EQ(out, nullptr);
}

TEST_F(Dispatcher, CapabilityAnswers) {
    auto canDo = [&](const char* s) {
        std::string copy(s);
        return host.dispatch(effCanDo, 0, 0, copy.data());
    };
    EXPECT_EQ(canDo("receiveVstEvents"), 1) << "MIDI controllers move parameters";
    EXPECT_EQ(canDo("receiveVstMidiEvent"), 1);
    EXPECT_EQ(canDo("sendVstMidiEvent"), 0);
    EXPECT_EQ(canDo("sendVstEvent"), 0);
    EXPECT_EQ(canDo("receiveVstTimeInfo"), 1);
    EXPECT_EQ(canDo("hasAboutScreen"), 0);
    EXPECT_EQ(canDo("ReceiveVstTimeInfo"), -1) << "comparison is case-sensitive";
    EXPECT_EQ(canDo("receiveVstTimeInfo "), -1);
    EXPECT_EQ(canDo("plugAsChannelInsert"), -1);
    EXPECT_EQ(canDo(""), -1);
    EXPECT_EQ(host.dispatch(effCanDo, 0, 0, nullptr), 0);
}

TEST_F(Dispatcher, AllHostParametersByName) {
    for (int i = 0; i < 38; ++i) {
        EXPECT_EQ(host.textOf(effGetParamName, i), kHostParameterNames[i]) << i;
        EXPECT_EQ(host.textOf(effGetParamLabel, i), kHostParameterNames[i]) << "label is the name too, " << i;
    }
    for (int i : {38, 39, 40, 100, -1}) {
        EXPECT_EQ(host.textOf(effGetParamName, i), "empty");
        EXPECT_EQ(host.textOf(effGetParamLabel, i), "empty");
        EXPECT_EQ(host.textOf(effGetParamDisplay, i), "empty");
    }
}

TEST_F(Dispatcher, DisplayIsTheNormalisedValueWithSixDecimals) {
    host.setParameter(3, 0.25f);
    EXPECT_EQ(host.textOf(effGetParamDisplay, 3), "0.250000 ");
    EXPECT_FLOAT_EQ(host.getParameter(3), 0.25f);
    EXPECT_EQ(host.getParameter(38), 0.0f);
    EXPECT_EQ(host.getParameter(-5), 0.0f);
}

TEST_F(Dispatcher, IndexesWithNoRecordBehindThemChangeNothing) {
    // Just past the host's 38, in the gaps between the editor's tags, past
    // the last tag and far out: no record, no cell written, no read outside.
    host.setParameter(0, 0.25f);
    host.setParameter(37, 0.75f);
    void* data = nullptr;
    const VstIntPtr size = host.dispatch(effGetChunk, 0, 0, &data);
    const std::vector<uint8_t> before(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
    for (VstInt32 index : {38, 39, 40, 42, 104, -1, INT_MAX, INT_MIN}) {
        host.setParameter(index, 0.9f);
        EXPECT_EQ(host.getParameter(index), 0.0f) << index;
    }
    EXPECT_EQ(host.getParameter(0), 0.25f);
    EXPECT_EQ(host.getParameter(37), 0.75f);
    ASSERT_EQ(host.dispatch(effGetChunk, 0, 0, &data), size);
    EXPECT_EQ(std::memcmp(before.data(), data, before.size()), 0) << "the stored state did not change";
}

TEST_F(Dispatcher, ParameterPropertiesMarkSwitchesAndThreeStepSelectors) {
    const int switches[] = {31, 33, 36, 37};
    for (int i = 0; i < 38; ++i) {
        VstParameterProperties p;
        std::memset(&p, 0x5A, sizeof(p));
        EXPECT_EQ(host.dispatch(effGetParameterProperties, i, 0, &p), 1);
        EXPECT_STREQ(p.label, kHostParameterNames[i]);
        for (size_t k = std::strlen(p.label); k < sizeof(p.label); ++k) ASSERT_EQ(p.label[k], 0) << "zero-padded";
        const bool isSwitch = std::find(std::begin(switches), std::end(switches), i) != std::end(switches);
        const bool isSelector = i == 18 || i == 19;
        EXPECT_EQ(p.flags, isSwitch ? kVstParameterIsSwitch : isSelector ? kVstParameterUsesFloatStep : 0) << i;
        EXPECT_EQ(p.shortLabel[0], 0x5A) << "other fields stay as the host passed them";
        if (!isSelector) continue;
        EXPECT_EQ(p.stepFloat, 0.5f);
        EXPECT_EQ(p.smallStepFloat, 0.5f);
        EXPECT_EQ(p.largeStepFloat, 0.5f);
    }
    VstParameterProperties p;
    std::memset(&p, 0x5A, sizeof(p));
    EXPECT_EQ(host.dispatch(effGetParameterProperties, 38, 0, &p), 0);
    EXPECT_STREQ(p.label, "empty");
    EXPECT_EQ(p.flags, 0);
}

TEST_F(Dispatcher, OutputPropertiesSucceedOnlyForTheAcidHost) {
    VstPinProperties pin;
    std::memset(&pin, 0, sizeof(pin));
    EXPECT_EQ(host.dispatch(effGetOutputProperties, 0, 0, &pin), 0);
    EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo) << "marked in every host";

    TestHost acid;
    acid.product = "Sony ACID Pro";
    ASSERT_NE(acid.open(), nullptr);
    std::memset(&pin, 0, sizeof(pin));
    EXPECT_EQ(acid.dispatch(effGetOutputProperties, 1, 0, &pin), 1);
    EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);

    TestHost almost;
    almost.product = "Sony ACID Pro 7";
    ASSERT_NE(almost.open(), nullptr);
    EXPECT_EQ(almost.dispatch(effGetOutputProperties, 0, 0, &pin), 0);
}

TEST_F(Dispatcher, AutomationIsReportedOnlyForHostParameters) {
    host.clearCalls();
    EXPECT_EQ(host.dispatch(effCanBeAutomated, 0), 1);
    // setParameterAutomated is the editor's road; the host never calls it, so
    // only the absence of reports from plain host changes is observable here.
    host.setParameter(5, 0.3f);
    EXPECT_EQ(host.countCalls(audioMasterAutomate), 0);
}

TEST_F(Dispatcher, CloseDestroysTheInstance) {
    EXPECT_EQ(host.close(), 1);
    // Instances are independent: a new one starts from scratch.
    ASSERT_NE(host.open(), nullptr);
    EXPECT_EQ(host.dispatch(effGetVstVersion), 2400);
}
