// Orvel's parameter metadata for the tool: the keys, tags and record ids of
// the parameter records, taken from the plug-in's own table (no engine).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "params/ParameterRecord.h"

namespace orvel_parameters {

// The records a preset stores (record id not -1), in the order states list them.
const std::vector<const ParameterRecord*>& stored();
// A stored record by key or record id; null when there is none.
const ParameterRecord* storedByKey(const std::string& key);
const ParameterRecord* storedByRecordId(int32_t recordId);
// Controller-map targets are tags; a key names one when no other record has that key.
const char* keyOfTag(int32_t tag);
std::optional<int32_t> tagOfKey(const std::string& key);
// The value a record holds before any preset is applied.
float initialValue(const ParameterRecord& record);
// "compression, compress_speed, ..." for messages.
std::string storedKeyList();

} // namespace orvel_parameters
