// The per-user settings key: HKEY_CURRENT_USER\Software\<maker>\<product> in
// the Windows registry; on other platforms a file in the user's configuration
// folder that mirrors the key in the registry's export text (see
// SettingsKey_posix.cpp). Every read goes to the store: a value written by
// one plug-in instance is seen by the next reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "plugin/ProductIdentity.h"

constexpr size_t kSettingsTextSize = 1024; // a string value arrives with at most 1023 characters

struct IndexedSetting {
    int32_t index;
    std::string text;
};

class SettingsKey {
public:
    // Creates or opens the key of that product; isOpen() tells whether it worked.
    explicit SettingsKey(const char* productName = product::kName);
    ~SettingsKey();
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;

    bool isOpen() const { return handle_ != nullptr; }

    // Reads return false and leave the output untouched when the key is not
    // open or the value is missing (a value of the other type counts as missing).
    bool readInt(const char* name, int32_t& value);
    // out holds kSettingsTextSize bytes; the text is cut to 1023 characters.
    bool readString(const char* name, char* out);
    bool readString(const char* name, std::string& out);
    // Writes replace the value; false when the key is not open or the store refused.
    bool writeInt(const char* name, int32_t value);
    bool writeString(const char* name, const char* text);

    // The string values named prefix + index (index 0 to count - 1) that exist.
    std::vector<IndexedSetting> readIndexedValues(const char* prefix, int32_t count);

private:
    bool queryString(const char* name, std::string& out); // the whole text

    struct Handle;
    Handle* handle_ = nullptr;
};

// One-shot helpers: open the product's key, do one operation, close it.
bool readSettingInt(const char* name, int32_t& value);
bool readSettingString(const char* name, char* out); // kSettingsTextSize bytes
bool readSettingString(const char* name, std::string& out);
bool writeSettingInt(const char* name, int32_t value);
bool writeSettingString(const char* name, const char* text);
