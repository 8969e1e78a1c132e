#include "AtomicFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "CliError.h"
#include "state/RegularFile.h"

namespace {

std::string reason() { return std::strerror(errno); }

std::string writeError(const std::string& target) { return "cannot write " + target + ": " + reason(); }

// The temporaries a signal handler removes: fixed slots, since the handler
// may only touch what is already there. A path is written before its slot
// is marked in use.
constexpr int kSlots = 8;
constexpr size_t kSlotPath = 4096;
std::atomic<bool> slotInUse[kSlots];
char slotPath[kSlots][kSlotPath];

int registerTemporary(const std::string& path) {
    if (path.size() >= kSlotPath) return -1;
    for (int i = 0; i < kSlots; ++i) {
        if (slotInUse[i].load()) continue;
        std::memcpy(slotPath[i], path.c_str(), path.size() + 1);
        slotInUse[i].store(true);
        return i;
    }
    return -1;
}

void forgetTemporary(int slot) {
    if (slot >= 0) slotInUse[slot].store(false);
}

// Holds off the signals the handler takes while a temporary comes into being
// or goes into place, so that none is left between creating and registering.
class SignalsHeld {
public:
    SignalsHeld() {
        sigset_t held;
        sigemptyset(&held);
        for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&held, signal);
        sigprocmask(SIG_BLOCK, &held, &previous_);
    }
    ~SignalsHeld() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t previous_;
};

extern "C" void removeTemporariesAndEnd(int signal) {
    for (int i = 0; i < kSlots; ++i)
        if (slotInUse[i].load()) unlink(slotPath[i]);
    // End by the signal as the shell expects.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

AtomicFile::AtomicFile(const std::string& target) : target_(target) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_directory(target, ec)) throw CliError("cannot write " + target + ": it is a folder");
    const fs::path path(target);
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    temporary_ = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    const SignalsHeld held;
    fd_ = mkstemp(temporary_.data());
    if (fd_ < 0) {
        const std::string message = writeError(target);
        temporary_.clear();
        throw CliError(message);
    }
    slot_ = registerTemporary(temporary_);
    // mkstemp makes the file private; give it the mode a new file would get.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd_, 0666 & ~mask);
}

AtomicFile::~AtomicFile() {
    if (fd_ >= 0) close(fd_);
    if (!committed_ && !temporary_.empty()) unlink(temporary_.c_str());
    forgetTemporary(slot_);
}

int AtomicFile::takeDescriptor() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

void AtomicFile::write(const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw CliError(writeError(target_));
        }
        done += static_cast<size_t>(n);
    }
}

void AtomicFile::commit() {
    if (fd_ >= 0) {
        if (fsync(fd_) != 0 || close(fd_) != 0) {
            fd_ = -1;
            throw CliError(writeError(target_));
        }
        fd_ = -1;
    }
    const SignalsHeld held;
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0) throw CliError(writeError(target_));
    committed_ = true;
    forgetTemporary(slot_);
    slot_ = -1;
}

void removeTemporariesOnSignals() {
    struct sigaction action {};
    action.sa_handler = removeTemporariesAndEnd;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction previous {};
        // A signal the caller ignores (nohup, a background job) stays ignored.
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
        sigaction(signal, &action, nullptr);
    }
}

std::string notRegularFile(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    switch (fs::status(path, ec).type()) {
    case fs::file_type::fifo: return "a FIFO (named pipe), not a regular file";
    case fs::file_type::socket: return "a socket, not a regular file";
    case fs::file_type::block:
    case fs::file_type::character: return "a device, not a regular file";
    case fs::file_type::directory: return "a folder";
    default: return "not a regular file";
    }
}

std::vector<uint8_t> readWholeFile(const std::string& path) {
    RegularFileReader f;
    switch (f.open(path)) {
    case OpenOutcome::kOpened: break;
    case OpenOutcome::kNotRegular: throw CliError("cannot read " + path + ": it is " + notRegularFile(path));
    default: throw CliError("cannot read " + path + ": " + reason());
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(f.size()));
    if (!f.read(bytes.data(), bytes.size())) throw CliError("cannot read " + path);
    return bytes;
}
