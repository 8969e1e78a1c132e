// The entry point and every dispatcher answer a host can observe, through the
// real entry point; and the plug-in object created directly, for the bounds
// the host cannot observe.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "support/StateWords.h"
#include "support/TestHost.h"

namespace {

class Dispatcher : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(host.open(), nullptr); }
    TestHost host;
};

const char* const kHostParameterNames[38] = {
    "master",         "gate_thres", "gate_speed",      "preamp_gain", "hipass_freq",     "overdrive",   "compression",
    "compress_speed", "split_freq", "dyn_eq_response", "high_comp",   "high_level",      "mid_comp",    "mid_level",
    "low_comp",       "low_level",  "filter_cutoff",   "filter_reso", "filter_sig_flow", "filter_type", "dly_time",
    "dly_feedback",   "dly_level",  "delay_power",     "rvb_room",    "rvb_decay",       "rvb_level",   "reverb_power",
    "fx_return",      "ef_amount",  "ef_speed",        "ef_power",    "followertarget",  "efinvert",    "lfo_amount",
    "lfo_speed",      "lfo_power",  "syncmode"};

} // namespace

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
    EXPECT_TRUE(e->object && reinterpret_cast<uintptr_t>(e->object) % 32 == 0) << "a 32-byte aligned plug-in object";
    for (VstInt32 question : {audioMasterVersion, audioMasterGetVendorString, audioMasterGetProductString})
        EXPECT_EQ(host.countCalls(question), 1) << question;

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

TEST_F(Dispatcher, FixedAnswersOfTheTable) {
    // clang-format off
    const VstIntPtr answers[][3] = { // opcode, value, answer
        {effIdentify, 0, 0x4E764566} /* "NvEf" */, {effGetVstVersion, 0, 2400}, {effGetVendorVersion, 0, 1030},
        {effGetPlugCategory, 0, kPlugCategEffect}, {effCanBeAutomated, 0, 1}, {effGetCurrentMidiProgram, 0, -1},
        {effGetNumMidiInputChannels, 0, 1}, {effSetTotalSampleToProcess, 4711, 4711}, {effMainsChanged, 1, 0},
        {effSetBlockSize, 256, 0}};
    // Accepted, or unsupported and unknown: 0.
    const VstInt32 zero[] = {effOpen, effGetProgram, effGetTailSize, effHasMidiProgramsChanged,
        effGetNumMidiOutputChannels, effShellGetNextPlugin, effStartProcess, effStopProcess, effBeginSetProgram,
        effEndSetProgram, effBeginLoadBank, effBeginLoadProgram, effMainsChanged, effGetVu,
        effGetNumProgramCategories, effCopyProgram, effConnectInput, effConnectOutput, effGetCurrentPosition,
        effGetDestinationBuffer, effSetBlockSizeAndSampleRate, effGetErrorText, effIdle, effGetIcon,
        effSetViewPosition, effKeysRequired, effEditTop, effEditSleep, effString2Parameter, effGetInputProperties,
        effOfflineNotify, effOfflinePrepare, effOfflineRun, effProcessVarIo, effSetSpeakerArrangement, effSetBypass,
        effVendorSpecific, effGetMidiProgramName, effGetMidiProgramCategory, effGetMidiKeyName, effSetPanLaw,
        effSetProcessPrecision, effSetProgramName, 80, 81, 200, 4711, -1, -100};
    // Capabilities: compared case-sensitively and whole.
    const std::pair<const char*, VstIntPtr> capabilities[] = {{"receiveVstEvents", 1}, {"receiveVstMidiEvent", 1},
        {"sendVstMidiEvent", 0}, {"sendVstEvent", 0}, {"receiveVstTimeInfo", 1}, {"hasAboutScreen", 0},
        {"ReceiveVstTimeInfo", -1}, {"receiveVstTimeInfo ", -1}, {"plugAsChannelInsert", -1}, {"", -1}};
    const std::pair<VstInt32, std::string> texts[] = {
        {effGetEffectName, "Orvel"}, {effGetVendorString, "Tamblor"}, {effGetProductString, "Orvel"}};
    // clang-format on
    for (const auto& [opcode, value, expected] : answers)
        EXPECT_EQ(host.dispatch(static_cast<VstInt32>(opcode), 0, value), expected) << "opcode " << opcode;
    EXPECT_EQ(host.dispatch(effCanBeAutomated, 40), 1) << "editor tags too";
    char text[512] = {};
    for (VstInt32 op : zero) EXPECT_EQ(host.dispatch(op, 0, 0, text), 0) << "opcode " << op;
    for (const auto& [opcode, expected] : texts) {
        EXPECT_EQ(host.dispatch(opcode, 0, 0, text), 1) << opcode;
        EXPECT_EQ(text, expected);
    }
    for (const auto& [capability, expected] : capabilities) {
        std::string copy(capability);
        EXPECT_EQ(host.dispatch(effCanDo, 0, 0, copy.data()), expected) << '"' << capability << '"';
    }
    EXPECT_EQ(host.dispatch(effCanDo, 0, 0, nullptr), 0);

    void *in = reinterpret_cast<void*>(0x1234), *out = in;
    EXPECT_EQ(host.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 0);
    EXPECT_TRUE(in == nullptr && out == nullptr) << "no arrangement";
}

TEST_F(Dispatcher, EveryHostParameterByNameAndIndexesWithNoRecordBehindThemChangeNothing) {
    host.clearCalls();
    host.setParameter(0, 0.25f);
    host.setParameter(37, 0.75f);
    EXPECT_EQ(host.textOf(effGetParamDisplay, 0), "0.250000 ") << "the normalised value, six decimals";
    const std::vector<uint8_t> before = host.chunk();
    // Past the host's 38, in the gaps between the editor's tags, past the
    // last tag and far out: no record, no cell written, no read outside.
    std::vector<VstInt32> indexes = {42, 104, INT_MAX, INT_MIN};
    for (VstInt32 i = -1; i <= 40; ++i) indexes.push_back(i);
    const VstInt32 switches[] = {31, 33, 36, 37};
    for (VstInt32 i : indexes) {
        const bool known = i >= 0 && i < 38;
        const char* name = known ? kHostParameterNames[i] : "empty";
        EXPECT_EQ(host.textOf(effGetParamName, i), name) << i;
        EXPECT_EQ(host.textOf(effGetParamLabel, i), name) << "the label is the name too, " << i;
        VstParameterProperties p;
        std::memset(&p, 0x5A, sizeof(p));
        EXPECT_EQ(host.dispatch(effGetParameterProperties, i, 0, &p), known ? 1 : 0) << i;
        EXPECT_STREQ(p.label, name);
        for (size_t k = std::strlen(p.label); k < sizeof(p.label); ++k) ASSERT_EQ(p.label[k], 0) << "zero-padded";
        EXPECT_EQ(p.shortLabel[0], 0x5A) << "other fields stay as the host passed them";
        const bool isSwitch = std::find(std::begin(switches), std::end(switches), i) != std::end(switches);
        const bool isSelector = i == 18 || i == 19;
        EXPECT_EQ(p.flags, isSwitch ? kVstParameterIsSwitch : isSelector ? kVstParameterUsesFloatStep : 0) << i;
        EXPECT_TRUE(!isSelector || (p.stepFloat == 0.5f && p.smallStepFloat == 0.5f && p.largeStepFloat == 0.5f)) << i;
        if (known) continue;
        host.setParameter(i, 0.9f);
        EXPECT_EQ(host.getParameter(i), 0.0f) << i;
        EXPECT_EQ(host.textOf(effGetParamDisplay, i), "empty") << i;
    }
    EXPECT_EQ(host.getParameter(0), 0.25f);
    EXPECT_EQ(host.getParameter(37), 0.75f);
    EXPECT_EQ(host.chunk(), before) << "the stored state did not change";
    EXPECT_EQ(host.countCalls(audioMasterAutomate), 0) << "a host's own changes are not reported back";
}

TEST(DispatcherHosts, OutputPropertiesSucceedOnlyForTheAcidHostButAreMarkedInEvery) {
    for (const std::string product : {"Test Host", "Sony ACID Pro 7", "sony acid pro", "Sony ACID Pro"}) {
        TestHost host;
        host.product = product;
        ASSERT_NE(host.open(), nullptr);
        VstPinProperties pin{};
        EXPECT_EQ(host.dispatch(effGetOutputProperties, 1, 0, &pin), product == "Sony ACID Pro" ? 1 : 0) << product;
        EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo) << product;
    }
}

TEST(HostIdentity, OwnHostNeedsTheExactMakerName) {
    EXPECT_TRUE(DirectHost::createAs("Tamblor")->isOwnHost());
    for (const char* other : {"Tamblor Studio", "tamblor", "Tambl", ""})
        EXPECT_FALSE(DirectHost::createAs(other)->isOwnHost()) << other;
}

TEST(HostBounds, OnlyHostParametersHaveEditGesturesAndProgramNamesAreCut) {
    auto c = DirectHost::create();
    EXPECT_TRUE(c->beginEdit(0) && c->endEdit(37));
    EXPECT_FALSE(c->beginEdit(38) || c->endEdit(41) || c->beginEdit(-1));
    c->presetName = std::string(40, 'n');
    char buf[64];
    std::memset(buf, 0x7F, sizeof(buf));
    EXPECT_TRUE(c->getProgramNameIndexed(0, -1, buf));
    EXPECT_EQ(std::string(buf), std::string(24, 'n')) << "program names are cut to 24 characters";
    EXPECT_EQ(buf[25], 0x7F);
}
