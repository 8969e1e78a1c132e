#include "editor/EditorLayout.h"

#include "params/ParameterTags.h"

namespace layout {
namespace {

using K = ControlKind;

// Knob strips hold 96 images, fader strips 128.
const ControlSpec kControls[] = {
    {kTagMaster, K::Knob, {490, 344, 542, 396}, 1044, 0, 96, 0},
    {kTagGateThreshold, K::Knob, {20, 265, 72, 317}, 1027, 15, 96, 0},
    {kTagGateSpeed, K::Knob, {20, 344, 72, 396}, 1026, 15, 96, 0},
    {kTagPreampGain, K::Knob, {100, 184, 152, 236}, 1053, 16, 96, 0},
    {kTagHighPass, K::Knob, {100, 265, 152, 317}, 1035, 16, 96, 0},
    {kTagOverdrive, K::Knob, {100, 344, 152, 396}, 1051, 16, 96, 0},
    {kTagCompression, K::Knob, {180, 265, 232, 317}, 1009, 17, 96, 0},
    {kTagCompressSpeed, K::Knob, {180, 344, 232, 396}, 1008, 17, 96, 0},
    {kTagSplitFreq, K::HSlider, {260, 89, 386, 120}, 1061, 18, 128, 0},
    {kTagEqResponse, K::HSlider, {306, 125, 394, 151}, 1014, 18, 128, 0},
    {kTagHighComp, K::Knob, {260, 184, 312, 236}, 1033, 18, 96, 0},
    {kTagHighLevel, K::Knob, {330, 184, 382, 236}, 1034, 18, 96, 0},
    {kTagMidComp, K::Knob, {260, 265, 312, 317}, 1045, 18, 96, 0},
    {kTagMidLevel, K::Knob, {330, 265, 382, 317}, 1046, 18, 96, 0},
    {kTagLowComp, K::Knob, {260, 344, 312, 396}, 1041, 18, 96, 0},
    {kTagLowLevel, K::Knob, {330, 344, 382, 396}, 1042, 18, 96, 0},
    {kTagFilterCutoff, K::Slider, {412, 99, 436, 181}, 1021, 19, 128, 0},
    {kTagFilterResonance, K::Slider, {451, 99, 475, 181}, 1022, 19, 128, 0},
    {kTagFilterFlow, K::Button, {488, 105, 542, 118}, 1001, 19, 3, kStepping},
    {kTagFilterType, K::Button, {488, 143, 542, 156}, 1036, 19, 3, kStepping},
    {kTagDelayTime, K::Slider, {412, 211, 436, 293}, 1012, 19, 128, 0},
    {kTagDelayFeedback, K::Slider, {451, 211, 475, 293}, 1010, 19, 128, 0},
    {kTagDelayLevel, K::Slider, {490, 211, 514, 293}, 1011, 19, 128, 0},
    {kTagDelayPower, K::Button, {483, 189, 518, 201}, 1037, 19, 2, kStepping},
    {kTagReverbRoom, K::Slider, {559, 211, 583, 293}, 1058, 19, 128, 0},
    {kTagReverbDecay, K::Slider, {598, 211, 622, 293}, 1056, 19, 128, 0},
    {kTagReverbLevel, K::Slider, {637, 211, 661, 293}, 1057, 19, 128, 0},
    {kTagReverbPower, K::Button, {630, 189, 665, 201}, 1037, 19, 2, kStepping},
    {kTagFxReturn, K::Knob, {410, 344, 462, 396}, 1023, 0, 96, 0},
    {kTagFollowerAmount, K::Slider, {559, 100, 583, 182}, 1017, 2, 128, 0},
    {kTagFollowerSpeed, K::Slider, {598, 100, 622, 182}, 1018, 2, 128, 0},
    {kTagFollowerPower, K::Button, {628, 90, 663, 102}, 1037, 2, 2, kStepping},
    {kTagFollowerTarget, K::Menu, {628, 106, 663, 118}, 1047, 2, 8, 0},
    {kTagFollowerInvert, K::Button, {628, 122, 663, 134}, 1052, 2, 2, kStepping},
    {kTagLfoAmount, K::Slider, {559, 100, 583, 182}, 1039, 1, 128, 0},
    {kTagLfoSpeed, K::Slider, {598, 100, 622, 182}, 1040, 1, 128, 0},
    {kTagLfoPower, K::Button, {628, 90, 663, 102}, 1037, 1, 2, kStepping},
    {kTagLfoSync, K::Button, {628, 122, 663, 134}, 1060, 1, 2, kStepping},
    {kTagGate, K::Button, {481, 304, 516, 316}, 1002, 0, 2, kStepping},
    {kTagComp, K::Button, {559, 304, 594, 316}, 1005, 0, 2, kStepping},
    {kTagPreamp, K::Button, {520, 304, 555, 316}, 1003, 0, 2, kStepping},
    {kTagFollowerInvertLamp, K::Menu, {0, 0, 40, 20}, 0, 0, 2, 0},
    {kTagLfoTarget, K::Menu, {628, 106, 663, 118}, 1048, 1, 8, 0},
    {kTagModulationPage, K::Button, {597, 75, 663, 87}, 1049, 19, 2, kStepping},
    {kPresetMenuTag, K::PresetMenu, {30, 25, 120, 43}, 0, 0, 0, 0},
    {kTagMeterSource, K::Menu, {586, 402, 646, 414}, 1064, 0, 6, 0},
    {kTagMeterUp, K::Button, {652, 403, 664, 415}, 1063, 0, 2, kMomentary},
    {kTagMeterDown, K::Button, {568, 403, 580, 415}, 1062, 0, 2, kMomentary},
    {kTagDyn, K::Button, {598, 304, 633, 316}, 1015, 0, 2, kStepping},
    {kTagFxSwitch, K::Button, {637, 304, 672, 316}, 1024, 0, 2, kStepping},
    {kManualLinkTag, K::Link, {145, 25, 164, 44}, 1032, 0, 2, 0},
    {kTagSolo, K::Button, {420, 403, 455, 415}, 1028, 0, 2, kStepping},
    {kTagNextPreset, K::Button, {120, 25, 139, 44}, 1067, 0, 2, kMomentary},
    {kTagPreviousPreset, K::Button, {11, 25, 30, 44}, 1066, 0, 2, kMomentary},
};

using D = DisplayKind;
using S = Source;

// Number displays are 51 x 16 on the small display background (1004).
const DisplaySpec kDisplays[] = {
    // compressor
    {38, {182, 318, 233, 334}, 17, D::Number, S::Readout, kCompressionPercent, 1, 0, " ", 3, 0, 1004, 1, kCenterText},
    {39, {181, 398, 232, 414}, 17, D::Number, S::Readout, kReleaseMs, 1, 0, "ms", 3, 0, 1004, 1, kCenterText},
    {40, {189, 99, 199, 199}, 0, D::Image, S::Readout, kReductionComplement, 1, 0, "", 0, 0, 1007, 34, kCenterText},
    // gate
    {42, {32, 94, 60, 122}, 15, D::Image, S::Readout, kGateOpen, 1, 0, "", 0, 0, 1030, 32, kCenterText},
    {43, {20, 318, 71, 334}, 15, D::Number, S::Readout, kGateThresholdDb, 1, 0, "db", 3, 0, 1004, 1, kCenterText},
    {44, {21, 398, 72, 414}, 15, D::Number, S::Readout, kGateHoldMs, 1, 0, "ms", 3, 0, 1004, 1, kCenterText},
    // preamp
    {47, {102, 318, 153, 334}, 16, D::Number, S::Readout, kHighPassHz, 1, 0, "hz", 3, 0, 1004, 1, kCenterText},
    {48, {102, 239, 153, 255}, 16, D::Number, S::Readout, kPreampGainDb, 1, 0, "db", 3, 1, 1004, 1, kCenterText, 11},
    {49, {101, 398, 152, 414}, 16, D::Number, S::Readout, kDrive, 1, 0, " ", 3, 1, 1004, 1, kCenterText},
    {50, {113, 94, 141, 122}, 16, D::Image, S::Readout, kCompressorInputMeter, 1.0f / 31, 0, "", 0, 0, 1059, 32, kCenterText},
    // master
    {51, {492, 398, 543, 414}, 0, D::Number, S::Readout, kMasterDb, 1, 0, "db", 3, 1, 1004, 1, kCenterText, 11},
    // LFO page
    {52, {553, 184, 588, 200}, 1, D::Number, S::Cell, kTagLfoAmount, 100, 0, " ", 3, 0, 0, 1, kCenterText, 10},
    {53, {588, 184, 630, 200}, 1, D::Number, S::Readout, kLfoRateHz, 1, 0, "hz", 3, 2, 0, 1, kCenterText, 10},
    {54, {628, 138, 666, 176}, 1, D::Image, S::Readout, kLfoRateIndicator, 1, 0, "", 0, 0, 1038, 39, kCenterText},
    // envelope-follower page
    {55, {588, 184, 630, 200}, 2, D::Number, S::Readout, kFollowerHoldMs, 1, 0, "ms", 3, 0, 0, 1, kCenterText, 10},
    {56, {553, 184, 588, 200}, 2, D::Number, S::Cell, kTagFollowerAmount, 100, 0, " ", 3, 0, 0, 1, kCenterText, 10},
    {57, {627, 138, 665, 176}, 5, D::Image, S::Readout, kFollowerLevel, 1, 0, "", 0, 0, 1019, 39, kCenterText},
    {58, {628, 138, 666, 176}, 6, D::Image, S::Readout, kFollowerLevel, 1, 0, "", 0, 0, 1020, 39, kCenterText},
    // effects section
    {61, {454, 293, 478, 304}, 19, D::Number, S::Cell, kTagDelayFeedback, 100, 0, " ", 3, 0, 0, 1, kCenterText, 9},
    {62, {402, 296, 453, 312}, 19, D::Image, S::None, 0, 1, 0, "", 0, 0, 1004, 1, kCenterText},
    {63, {408, 299, 448, 310}, 19, D::Image, S::Readout, kDelayStep, 1, 0, "", 0, 0, 1013, 14, kCenterText},
    {64, {591, 293, 629, 304}, 19, D::Number, S::Cell, kTagReverbDecay, 100, 0, " ", 3, 0, 0, 1, kCenterText, 9},
    {65, {552, 293, 590, 304}, 19, D::Number, S::Cell, kTagReverbRoom, 90, 10, " ", 3, 0, 0, 1, kCenterText, 9},
    {66, {629, 293, 672, 304}, 19, D::Number, S::Readout, kReverbSendDb, 1, 0, "db", 3, 1, 0, 1, kCenterText, 9},
    {67, {480, 293, 530, 304}, 19, D::Number, S::Readout, kDelaySendDb, 1, 0, "db", 3, 1, 0, 1, kCenterText, 9},
    {68, {456, 400, 489, 416}, 0, D::Number, S::Cell, kTagFxReturn, 100, 0, " ", 3, 0, 0, 1, kCenterText},
    {69, {404, 185, 444, 201}, 19, D::Number, S::Cell, kTagFilterCutoff, 100, 0, " ", 3, 0, 0, 1, kCenterText},
    {70, {445, 185, 481, 201}, 19, D::Number, S::Cell, kTagFilterResonance, 98, 0, " ", 3, 0, 0, 1, kCenterText},
    {78, {574, 343, 658, 390}, 0, D::Image, S::Readout, kOutputMeter, 1.0f / 64, 0, "", 0, 0, 1043, 65, kCenterText},
    // multiband dynamics
    {82, {261, 398, 312, 414}, 18, D::Number, S::Cell, kTagLowComp, 100, 0, " ", 3, 0, 1004, 1, kCenterText},
    {83, {261, 318, 312, 334}, 18, D::Number, S::Cell, kTagMidComp, 100, 0, " ", 3, 0, 1004, 1, kCenterText},
    {84, {262, 238, 313, 254}, 18, D::Number, S::Cell, kTagHighComp, 100, 0, " ", 3, 0, 1004, 1, kCenterText},
    {85, {332, 318, 383, 334}, 18, D::Number, S::Readout, kMidLevelDb, 1, 0, "db", 3, 1, 1004, 1, kCenterText, 11},
    {86, {332, 398, 383, 414}, 18, D::Number, S::Readout, kLowLevelDb, 1, 0, "db", 3, 1, 1004, 1, kCenterText, 11},
    {87, {331, 238, 382, 254}, 18, D::Number, S::Readout, kHighLevelDb, 1, 0, "db", 3, 1, 1004, 1, kCenterText, 11},
    {88, {290, 335, 330, 344}, 18, D::Number, S::Readout, kLowHoldMs, 1, 0, "ms", 3, 0, 0, 1, kCenterText, 9},
    {89, {290, 256, 330, 265}, 18, D::Number, S::Readout, kMidHoldMs, 1, 0, "ms", 3, 0, 0, 1, kCenterText, 9},
    {90, {290, 175, 330, 184}, 18, D::Number, S::Readout, kHighHoldMs, 1, 0, "ms", 3, 0, 0, 1, kCenterText, 9},
    {91, {258, 127, 309, 143}, 18, D::Number, S::Cell, kTagSplitFreq, 100, 0, " ", 3, 0, 1004, 1, kCenterText},
    // covers of the switched-off sections
    {92, {11, 71, 83, 403}, 10, D::Image, S::None, 0, 1, 0, "", 0, 0, 1006, 1, kCenterText},
    {93, {91, 71, 164, 403}, 11, D::Image, S::None, 0, 1, 0, "", 0, 0, 1029, 1, kCenterText},
    {94, {171, 71, 244, 403}, 12, D::Image, S::None, 0, 1, 0, "", 0, 0, 1054, 1, kCenterText},
    {95, {251, 71, 395, 403}, 13, D::Image, S::None, 0, 1, 0, "", 0, 0, 1016, 1, kCenterText},
    {98, {403, 71, 672, 298}, 14, D::Image, S::None, 0, 1, 0, "", 0, 0, 1025, 1, kCenterText},
    // the info line at the top
    {100, {170, 25, 436, 44}, 0, D::Info, S::None, 0, 1, 0, "", 0, 0, 1068, 4, kCenterText},
};

struct ResetValue {
    int32_t tag;
    float value;
};

// Unity: master 4v^2 at 0.5, preamp gain 12v^4 at (1/12)^(1/4), band levels 2v at 0.5.
constexpr float kPreampUnity = 0.537285f;

const ResetValue kResets[] = {
    {kTagMaster, 0.5f},         {kTagGateThreshold, 0.05f},  {kTagGateSpeed, 0.745f},   {kTagPreampGain, kPreampUnity},
    {kTagHighPass, 0.15f},      {kTagOverdrive, 0.0f},       {kTagCompression, 0.6f},   {kTagCompressSpeed, 0.6f},
    {kTagSplitFreq, 0.383625f}, {kTagEqResponse, 0.6f},      {kTagHighComp, 0.0f},      {kTagHighLevel, 0.5f},
    {kTagMidComp, 0.0f},        {kTagMidLevel, 0.5f},        {kTagLowComp, 0.0f},       {kTagLowLevel, 0.5f},
    {kTagFilterCutoff, 1.0f},   {kTagFilterResonance, 0.0f}, {kTagDelayTime, 0.487f},   {kTagDelayFeedback, 0.35f},
    {kTagDelayLevel, 0.5f},     {kTagReverbRoom, 0.5f},      {kTagReverbDecay, 0.5f},   {kTagReverbLevel, 0.5f},
    {kTagFxReturn, 0.6f},       {kTagFollowerAmount, 0.5f},  {kTagFollowerSpeed, 0.5f}, {kTagLfoAmount, 0.3f},
    {kTagLfoSpeed, 0.2f},
};

constexpr const char* kDestinations[] = {"Filter Freq", "Filter Reso", "Delay Time", "Delay Fdbk",
                                         "Delay Level", "Reverb Room", "Reverb Decay", "Reverb Level"};
constexpr const char* kMeterSources[] = {"Input", "Compressor", "Overdrive", "Dyn EQ", "Sends", "Output"};
constexpr const char* kInvertStates[] = {"+", "inv"};

} // namespace

std::span<const ControlSpec> controls() { return kControls; }
std::span<const DisplaySpec> displays() { return kDisplays; }

const ControlSpec* controlFor(int32_t tag) {
    for (const ControlSpec& c : kControls)
        if (c.tag == tag) return &c;
    return nullptr;
}

const DisplaySpec* displayFor(int32_t tag) {
    for (const DisplaySpec& d : kDisplays)
        if (d.tag == tag) return &d;
    return nullptr;
}

float resetValueFor(int32_t tag) {
    for (const ResetValue& r : kResets)
        if (r.tag == tag) return r.value;
    return 0.0f;
}

float sensitivityFor(int32_t tag) { return tag == kTagEqResponse ? 1.0f : 0.5f; }

std::span<const char* const> menuEntries(int32_t tag) {
    switch (tag) {
    case kTagFollowerTarget:
    case kTagLfoTarget: return kDestinations;
    case kTagMeterSource: return kMeterSources;
    case kTagFollowerInvertLamp: return kInvertStates;
    default: return {};
    }
}

} // namespace layout
