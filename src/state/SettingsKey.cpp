#include "state/SettingsKey.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

bool SettingsKey::readString(const char* name, char* out) {
    std::string text;
    if (!out || !queryString(name, text)) return false;
    const size_t n = std::min(text.size(), kSettingsTextSize - 1);
    std::memcpy(out, text.data(), n);
    out[n] = 0;
    return true;
}

bool SettingsKey::readString(const char* name, std::string& out) {
    std::string text;
    if (!queryString(name, text)) return false;
    out = text;
    return true;
}

std::vector<IndexedSetting> SettingsKey::readIndexedValues(const char* prefix, int32_t count) {
    std::vector<IndexedSetting> found;
    char name[256];
    for (int32_t i = 0; i < count; ++i) {
        std::snprintf(name, sizeof(name), "%s%d", prefix ? prefix : "", i);
        std::string text;
        if (readString(name, text)) found.push_back({i, text});
    }
    return found;
}

bool readSettingInt(const char* name, int32_t& value) { return SettingsKey().readInt(name, value); }

bool readSettingString(const char* name, char* out) { return SettingsKey().readString(name, out); }

bool readSettingString(const char* name, std::string& out) { return SettingsKey().readString(name, out); }

bool writeSettingInt(const char* name, int32_t value) { return SettingsKey().writeInt(name, value); }

bool writeSettingString(const char* name, const char* text) { return SettingsKey().writeString(name, text); }
