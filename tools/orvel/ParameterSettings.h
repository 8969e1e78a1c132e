// Parameters given by key on the command line (--set KEY=VALUE), normalised
// 0..1. Orvel's keys are its stored parameters, the editor switches that
// presets keep included (solo, fxwitch, ...); any other plug-in's keys are
// the names it reports for its parameters.
#pragma once

#include <string>
#include <vector>

class PluginHost;

struct ParameterSetting {
    std::string key;
    float value;
};

// Parses KEY=VALUE; a usage error when the value is not a number in 0..1.
ParameterSetting parseSetting(const std::string& text);

// Resolves every key first, then applies the values in the given order
// through the plug-in's setParameter; an unknown key is a usage error that
// lists the valid ones.
void applySettings(PluginHost& host, const std::vector<ParameterSetting>& settings);
