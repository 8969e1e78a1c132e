// The settings key in the registry: HKEY_CURRENT_USER\Software\<maker>\<product>.
#include <windows.h>

#include <cstring>
#include <vector>

#include "state/SettingsKey.h"

struct SettingsKey::Handle {
    HKEY key = nullptr;
};

SettingsKey::SettingsKey(const char* productName) {
    if (!productName) return;
    const std::string path = std::string("Software\\") + product::kVendor + "\\" + productName;
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    handle_ = new Handle{key};
}

SettingsKey::~SettingsKey() {
    if (!handle_) return;
    RegCloseKey(handle_->key);
    delete handle_;
}

bool SettingsKey::readInt(const char* name, int32_t& value) {
    if (!handle_ || !name) return false;
    DWORD type = 0, data = 0, size = sizeof(data);
    if (RegQueryValueExA(handle_->key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(data))
        return false;
    value = static_cast<int32_t>(data);
    return true;
}

bool SettingsKey::queryString(const char* name, std::string& out) {
    if (!handle_ || !name) return false;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(handle_->key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    std::vector<char> text(size + 1, 0);
    if (RegQueryValueExA(handle_->key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) !=
        ERROR_SUCCESS)
        return false;
    text[size] = 0; // the stored text need not be terminated
    out = text.data();
    return true;
}

bool SettingsKey::writeInt(const char* name, int32_t value) {
    if (!handle_ || !name) return false;
    RegDeleteValueA(handle_->key, name);
    const DWORD data = static_cast<DWORD>(value);
    return RegSetValueExA(handle_->key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data)) ==
           ERROR_SUCCESS;
}

bool SettingsKey::writeString(const char* name, const char* text) {
    if (!handle_ || !name) return false;
    if (!text) text = "";
    RegDeleteValueA(handle_->key, name);
    // The byte count leaves the terminator out, as the values have always been written.
    return RegSetValueExA(handle_->key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(std::strlen(text))) == ERROR_SUCCESS;
}
