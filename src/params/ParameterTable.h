// All parameter records of the plug-in: 38 host parameters (tags 0..37) and
// 14 editor switches (tags 41..103), in creation order. ParameterTags.h names
// the tags.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "params/ParameterRecord.h"

constexpr int kNumHostParameters = 38;
constexpr int kNumRecords = 52;
constexpr int kMaxTag = 104; // tags are 0..103

class ParameterTable {
public:
    // cells: an array of kMaxTag floats indexed by tag, owned by the engine.
    explicit ParameterTable(float* cells);

    ParameterRecord* byHostIndex(int32_t index); // null unless 0..37
    ParameterRecord* byTag(int32_t tag);         // null for tags without a record
    ParameterRecord* byRecordId(int32_t recordId);
    ParameterRecord* byName(const char* key);    // first record with that key
    // The value a record's cell holds right after construction; 0 for tags without one.
    static float initialValue(int32_t tag);

    const std::array<ParameterRecord, kNumRecords>& all() const { return records_; }
    const std::vector<ParameterRecord*>& stored() const { return stored_; }

private:
    std::array<ParameterRecord, kNumRecords> records_;
    std::array<ParameterRecord*, kNumHostParameters> hostTable_{};
    std::array<ParameterRecord*, kMaxTag> tagTable_{};
    std::vector<ParameterRecord*> stored_;
};
