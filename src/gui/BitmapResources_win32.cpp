#include <windows.h>

#include "gui/BitmapResources.h"

namespace {
HMODULE thisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&findBitmapResource), &module);
    return module;
}
} // namespace

bool findBitmapResource(int32_t id, const uint8_t** data, size_t* size) {
    if (id <= 0 || id > 0xFFFF) return false;
    HMODULE module = thisModule();
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), reinterpret_cast<LPCWSTR>(RT_BITMAP));
    if (!info) return false;
    HGLOBAL handle = LoadResource(module, info);
    if (!handle) return false;
    const void* bytes = LockResource(handle);
    DWORD n = SizeofResource(module, info);
    if (!bytes || n == 0) return false;
    *data = static_cast<const uint8_t*>(bytes);
    *size = n;
    return true;
}
