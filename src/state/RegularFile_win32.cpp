#include <windows.h>

#include "state/RegularFile.h"

namespace {
OpenOutcome failureOf(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? OpenOutcome::kMissing
                                                                          : OpenOutcome::kFailed;
}
} // namespace

OpenOutcome RegularFileReader::open(const std::string& path) {
    close();
    if (path.empty()) return OpenOutcome::kMissing;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return failureOf(GetLastError());
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) return OpenOutcome::kNotRegular;
    // Opening a pipe or a device name does not wait; what the handle is
    // decides whether it is read.
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) return failureOf(GetLastError());
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))) {
        CloseHandle(h);
        return OpenOutcome::kNotRegular;
    }
    handle_ = reinterpret_cast<intptr_t>(h);
    size_ = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return OpenOutcome::kOpened;
}

void RegularFileReader::close() {
    if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
    handle_ = -1;
    size_ = 0;
}

bool RegularFileReader::read(void* destination, size_t n) {
    if (handle_ == -1) return false;
    auto* out = static_cast<char*>(destination);
    while (n > 0) {
        const DWORD step = n > 0x40000000u ? 0x40000000u : static_cast<DWORD>(n);
        DWORD got = 0;
        if (!ReadFile(reinterpret_cast<HANDLE>(handle_), out, step, &got, nullptr) || got == 0) return false;
        out += got;
        n -= got;
    }
    return true;
}
