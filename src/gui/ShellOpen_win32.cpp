#include <windows.h>

#include <shellapi.h>

#include "gui/ShellOpen.h"

bool detail::platformOpenDocument(const std::string& path) {
    // ShellExecute answers a value above 32 on success.
    const HINSTANCE result = ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}
