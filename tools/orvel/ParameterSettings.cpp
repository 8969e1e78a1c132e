#include "ParameterSettings.h"

#include <utility>

#include "Arguments.h"
#include "CliError.h"
#include "OrvelParameters.h"
#include "PluginHost.h"

namespace {

std::vector<std::pair<std::string, VstInt32>> keysOf(PluginHost& host) {
    std::vector<std::pair<std::string, VstInt32>> keys;
    if (host.isOrvel()) {
        for (const ParameterRecord* r : orvel_parameters::stored()) keys.emplace_back(r->name, r->tag);
        return keys;
    }
    for (VstInt32 i = 0; i < host.effect().numParams; ++i) keys.emplace_back(host.text(effGetParamName, i), i);
    return keys;
}

} // namespace

ParameterSetting parseSetting(const std::string& text) {
    const size_t eq = text.find('=');
    if (eq == std::string::npos || eq == 0) throw usageError("--set takes KEY=VALUE, not \"" + text + "\"");
    ParameterSetting s{text.substr(0, eq), 0.0f};
    const std::string value = text.substr(eq + 1);
    const auto v = parseNumber(value);
    if (!v) throw usageError("the value of " + s.key + " is not a number: \"" + value + "\"");
    if (*v < 0.0 || *v > 1.0) throw usageError("the value of " + s.key + " is outside 0..1: " + value);
    s.value = static_cast<float>(*v);
    return s;
}

void applySettings(PluginHost& host, const std::vector<ParameterSetting>& settings) {
    if (settings.empty()) return;
    const auto keys = keysOf(host);
    std::vector<VstInt32> indexes;
    for (const ParameterSetting& s : settings) {
        const VstInt32* found = nullptr;
        for (const auto& [key, index] : keys)
            if (key == s.key) {
                found = &index;
                break;
            }
        if (!found) {
            std::string list;
            for (const auto& entry : keys) list += (list.empty() ? "" : ", ") + entry.first;
            throw usageError("unknown parameter \"" + s.key + "\"; valid keys: " + list);
        }
        indexes.push_back(*found);
    }
    for (size_t i = 0; i < settings.size(); ++i) host.setParameter(indexes[i], settings[i].value);
}
