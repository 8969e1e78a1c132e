// Reading files that must be plain data. A FIFO, a device or a folder that
// carries a preset's or the settings' name must neither block the reader
// (opening a FIFO without a writer waits for one) nor be read as content:
// the file is opened without blocking and checked before a byte is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

enum class OpenOutcome {
    kOpened,
    kMissing,    // nothing of that name (or a folder on its way is missing)
    kNotRegular, // a FIFO, a device, a socket or a folder
    kFailed,     // there, but it cannot be opened (permissions, ...)
};

class RegularFileReader {
public:
    RegularFileReader() = default;
    ~RegularFileReader() { close(); }
    RegularFileReader(const RegularFileReader&) = delete;
    RegularFileReader& operator=(const RegularFileReader&) = delete;

    OpenOutcome open(const std::string& path);
    void close();
    // The size in bytes when the file was opened.
    uint64_t size() const { return size_; }
    // Exactly n bytes from the current position; false on an error or a short read.
    bool read(void* destination, size_t n);

private:
    intptr_t handle_ = -1; // a descriptor or a HANDLE
    uint64_t size_ = 0;
};
