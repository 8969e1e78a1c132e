#include "OrvelParameters.h"

#include <cstring>

#include "params/ParameterTable.h"

namespace orvel_parameters {
namespace {

struct Metadata {
    float cells[kMaxTag] = {};
    ParameterTable table{cells};
    float initial[kMaxTag] = {};
    std::vector<const ParameterRecord*> stored;

    Metadata() {
        // The table writes each record's initial value into its cell.
        std::memcpy(initial, cells, sizeof(initial));
        for (const ParameterRecord* r : table.stored()) stored.push_back(r);
    }
};

const Metadata& metadata() {
    static const Metadata m;
    return m;
}

} // namespace

const std::vector<const ParameterRecord*>& stored() { return metadata().stored; }

const ParameterRecord* storedByKey(const std::string& key) {
    for (const ParameterRecord* r : stored())
        if (key == r->name) return r;
    return nullptr;
}

const ParameterRecord* storedByRecordId(int32_t recordId) {
    for (const ParameterRecord* r : stored())
        if (r->recordId == recordId) return r;
    return nullptr;
}

namespace {
const ParameterRecord* uniquelyNamed(const std::string& key) {
    const ParameterRecord* found = nullptr;
    for (const ParameterRecord& r : metadata().table.all())
        if (key == r.name) {
            if (found) return nullptr;
            found = &r;
        }
    return found;
}
} // namespace

const char* keyOfTag(int32_t tag) {
    for (const ParameterRecord& r : metadata().table.all())
        if (r.tag == tag) return uniquelyNamed(r.name) ? r.name : nullptr;
    return nullptr;
}

std::optional<int32_t> tagOfKey(const std::string& key) {
    const ParameterRecord* r = uniquelyNamed(key);
    if (!r) return std::nullopt;
    return r->tag;
}

float initialValue(const ParameterRecord& record) { return metadata().initial[record.tag]; }

std::string storedKeyList() {
    std::string list;
    for (const ParameterRecord* r : stored()) {
        if (!list.empty()) list += ", ";
        list += r->name;
    }
    return list;
}

} // namespace orvel_parameters
