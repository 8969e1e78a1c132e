#include "params/ParameterTable.h"

#include <cstring>

#include "params/ParameterTags.h"

namespace {

struct RecordSpec {
    const char* key;
    int32_t tag;
    int32_t recordId;
    float init;
};

// Creation order matters: stored states list the records in this order.
constexpr RecordSpec kSpecs[kNumRecords] = {
    {"compression", kTagCompression, 1, 1.0f},
    {"compress_speed", kTagCompressSpeed, 2, 0.82002f},
    {"gate", kTagGate, 3, 0.5f},
    {"gate_thres", kTagGateThreshold, 4, 0.0f},
    {"gate_speed", kTagGateSpeed, 5, 0.745002f},
    {"comp", kTagComp, 6, 0.75f},
    {"preamp", kTagPreamp, 7, 0.75f},
    {"preamp_gain", kTagPreampGain, 8, 0.5342f},
    {"hipass_freq", kTagHighPass, 9, 0.039855f},
    {"overdrive", kTagOverdrive, 10, 0.0999f},
    {"master", kTagMaster, 11, 0.615f},
    {"lfo_speed", kTagLfoSpeed, 12, 0.0f},
    {"lfo_amount", kTagLfoAmount, 13, 0.0f},
    {"lfo_power", kTagLfoPower, 14, 0.0f},
    {"syncmode", kTagLfoSync, 15, 0.0f},
    {"ef_speed", kTagFollowerSpeed, 16, 0.0f},
    {"ef_amount", kTagFollowerAmount, 17, 0.01f},
    {"ef_power", kTagFollowerPower, 18, 0.0f},
    {"efinvert", kTagFollowerInvert, 19, 0.0f},
    {"efinvertbmp", kTagFollowerInvertLamp, -1, 0.0f},
    {"dly_level", kTagDelayLevel, 20, 0.0f},
    {"rvb_level", kTagReverbLevel, 21, 1.0f},
    {"filter_sig_flow", kTagFilterFlow, 22, 0.333333f},
    {"dly_time", kTagDelayTime, 23, 0.0f},
    {"dly_feedback", kTagDelayFeedback, 24, 0.0f},
    {"delay_power", kTagDelayPower, 32, 0.5f},
    {"rvb_room", kTagReverbRoom, 25, 0.064444f},
    {"rvb_decay", kTagReverbDecay, 26, 0.085f},
    {"reverb_power", kTagReverbPower, 31, 0.25f},
    {"fx_return", kTagFxReturn, 27, 0.5999f},
    {"filter_reso", kTagFilterResonance, 28, 0.0f},
    {"filter_cutoff", kTagFilterCutoff, 29, 0.0f},
    {"filter_type", kTagFilterType, 30, 0.333333f},
    {"followertarget", kTagFollowerTarget, 33, 0.078125f},
    {"lfotarget", kTagLfoTarget, 34, 0.875f},
    {"Switch_c", kTagModulationPage, 35, 0.0f},
    {"List", kTagMeterSource, 36, 0.148148f},
    {"up", kTagMeterUp, -1, 0.0f},
    {"down", kTagMeterDown, -1, 0.0f},
    {"split_freq", kTagSplitFreq, 37, 0.383625f},
    {"low_comp", kTagLowComp, 38, 0.2446f},
    {"low_level", kTagLowLevel, 39, 0.58985f},
    {"mid_comp", kTagMidComp, 40, 0.3394f},
    {"mid_level", kTagMidLevel, 41, 0.34485f},
    {"high_comp", kTagHighComp, 42, 0.1648f},
    {"high_level", kTagHighLevel, 43, 0.5748f},
    {"dyn_eq_response", kTagEqResponse, 44, 0.870284f},
    {"dyn", kTagDyn, 46, 0.75f},
    {"fxwitch", kTagFxSwitch, 47, 0.75f},
    {"solo", kTagSolo, 45, 0.0f},
    {"prevpr", kTagNextPreset, -1, 0.0f},
    {"prevpr", kTagPreviousPreset, -1, 0.0f},
};

// Switch-style records and their number of states. The three-state ones map
// v to floor(min(2, 3v)).
struct SwitchSpec {
    const char* key;
    int32_t positions;
};
constexpr SwitchSpec kSwitches[] = {{"filter_sig_flow", 3}, {"filter_type", 3}, {"ef_power", 2}, {"efinvert", 2},
                                    {"lfo_power", 2},       {"syncmode", 2},    {"solo", 2}};

int32_t switchPositions(const char* key) {
    for (const SwitchSpec& s : kSwitches)
        if (std::strcmp(s.key, key) == 0) return s.positions;
    return 0;
}

} // namespace

ParameterTable::ParameterTable(float* cells) {
    for (int i = 0; i < kNumRecords; ++i) {
        const RecordSpec& s = kSpecs[i];
        ParameterRecord& r = records_[i];
        r.recordId = s.recordId;
        r.tag = s.tag;
        r.value = &cells[s.tag];
        r.randomRange = 0.0f;
        r.name = s.key;
        r.unitLabel = "";
        r.positions = switchPositions(s.key);
        r.style = r.positions ? kStyleSwitch : kStyleContinuous;
        cells[s.tag] = s.init;
        tagTable_[s.tag] = &r;
        if (s.tag < kNumHostParameters) hostTable_[s.tag] = &r;
        if (s.recordId != -1) stored_.push_back(&r);
    }
}

ParameterRecord* ParameterTable::byHostIndex(int32_t index) {
    if (index < 0 || index >= kNumHostParameters) return nullptr;
    return hostTable_[index];
}

ParameterRecord* ParameterTable::byTag(int32_t tag) {
    if (tag < 0 || tag >= kMaxTag) return nullptr;
    return tagTable_[tag];
}

ParameterRecord* ParameterTable::byRecordId(int32_t recordId) {
    if (recordId == -1) return nullptr;
    for (ParameterRecord* r : stored_)
        if (r->recordId == recordId) return r;
    return nullptr;
}

ParameterRecord* ParameterTable::byName(const char* key) {
    if (!key) return nullptr;
    for (ParameterRecord& r : records_)
        if (std::strcmp(r.name, key) == 0) return &r;
    return nullptr;
}

float ParameterTable::initialValue(int32_t tag) {
    for (const RecordSpec& s : kSpecs)
        if (s.tag == tag) return s.init;
    return 0.0f;
}
