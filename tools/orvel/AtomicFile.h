// Writes a file so that a failure never destroys what was there: the data
// goes to a temporary file beside the target, which is renamed over the
// target only when everything has been written. A destroyed, uncommitted
// AtomicFile removes its temporary.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class AtomicFile {
public:
    // Creates the temporary at once, so an unwritable target is reported
    // before any work is done; throws CliError.
    explicit AtomicFile(const std::string& target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // The open descriptor of the temporary; whoever writes through it must
    // not close it (takeDescriptor hands it over for good).
    int descriptor() const { return fd_; }
    int takeDescriptor();
    void write(const std::vector<uint8_t>& bytes);
    // Flushes and renames into place; throws CliError.
    void commit();

    const std::string& target() const { return target_; }

private:
    std::string target_;
    std::string temporary_;
    int fd_ = -1;
    int slot_ = -1; // where the signal handler finds the temporary
    bool committed_ = false;
};

// From then on SIGINT, SIGTERM and SIGHUP remove the temporaries of the
// AtomicFiles not yet committed before the program ends by the signal; the
// targets stay as they were.
void removeTemporariesOnSignals();

// The whole content of a regular file; throws CliError naming the file. A
// FIFO or a device is never opened so that it could block.
std::vector<uint8_t> readWholeFile(const std::string& path);
// What a path that is not a regular file is, for messages: "a FIFO (named
// pipe), not a regular file", "a folder", ...
std::string notRegularFile(const std::string& path);
