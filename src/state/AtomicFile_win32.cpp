#include <windows.h>

#include "state/AtomicFile.h"

bool writeFileAtomically(const std::string& path, const void* data, size_t size) {
    if (path.empty() || (size > 0 && !data) || size > 0xFFFFFFFFu) return false;
    const std::string temporary = path + ".tmp";
    HANDLE h = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = size == 0 || (WriteFile(h, data, static_cast<DWORD>(size), &written, nullptr) && written == size);
    ok = ok && FlushFileBuffers(h);
    ok = CloseHandle(h) && ok;
    if (ok) ok = MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}
