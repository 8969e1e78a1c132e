#include "params/ParameterTable.h"

#include <cstring>

namespace {

struct RecordSpec {
    const char* key;
    int32_t tag;
    int32_t recordId;
    float init;
};

// Creation order matters: stored states list the records in this order.
constexpr RecordSpec kSpecs[kNumRecords] = {
    {"compression", 6, 1, 1.0f},        {"compress_speed", 7, 2, 0.82002f},
    {"gate", 41, 3, 0.5f},              {"gate_thres", 1, 4, 0.0f},
    {"gate_speed", 2, 5, 0.745002f},    {"comp", 45, 6, 0.75f},
    {"preamp", 46, 7, 0.75f},           {"preamp_gain", 3, 8, 0.5342f},
    {"hipass_freq", 4, 9, 0.039855f},   {"overdrive", 5, 10, 0.0999f},
    {"master", 0, 11, 0.615f},          {"lfo_speed", 35, 12, 0.0f},
    {"lfo_amount", 34, 13, 0.0f},       {"lfo_power", 36, 14, 0.0f},
    {"syncmode", 37, 15, 0.0f},         {"ef_speed", 30, 16, 0.0f},
    {"ef_amount", 29, 17, 0.01f},       {"ef_power", 31, 18, 0.0f},
    {"efinvert", 33, 19, 0.0f},         {"efinvertbmp", 59, -1, 0.0f},
    {"dly_level", 22, 20, 0.0f},        {"rvb_level", 26, 21, 1.0f},
    {"filter_sig_flow", 18, 22, 0.333333f}, {"dly_time", 20, 23, 0.0f},
    {"dly_feedback", 21, 24, 0.0f},     {"delay_power", 23, 32, 0.5f},
    {"rvb_room", 24, 25, 0.064444f},    {"rvb_decay", 25, 26, 0.085f},
    {"reverb_power", 27, 31, 0.25f},    {"fx_return", 28, 27, 0.5999f},
    {"filter_reso", 17, 28, 0.0f},      {"filter_cutoff", 16, 29, 0.0f},
    {"filter_type", 19, 30, 0.333333f}, {"followertarget", 32, 33, 0.078125f},
    {"lfotarget", 71, 34, 0.875f},      {"Switch_c", 72, 35, 0.0f},
    {"List", 79, 36, 0.148148f},        {"up", 80, -1, 0.0f},
    {"down", 81, -1, 0.0f},             {"split_freq", 8, 37, 0.383625f},
    {"low_comp", 14, 38, 0.2446f},      {"low_level", 15, 39, 0.58985f},
    {"mid_comp", 12, 40, 0.3394f},      {"mid_level", 13, 41, 0.34485f},
    {"high_comp", 10, 42, 0.1648f},     {"high_level", 11, 43, 0.5748f},
    {"dyn_eq_response", 9, 44, 0.870284f}, {"dyn", 96, 46, 0.75f},
    {"fxwitch", 97, 47, 0.75f},         {"solo", 101, 45, 0.0f},
    {"prevpr", 102, -1, 0.0f},          {"prevpr", 103, -1, 0.0f},
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
