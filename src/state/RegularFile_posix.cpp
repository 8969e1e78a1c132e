#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "state/RegularFile.h"

namespace {
OpenOutcome failureOf(int error) {
    return error == ENOENT || error == ENOTDIR ? OpenOutcome::kMissing : OpenOutcome::kFailed;
}
} // namespace

OpenOutcome RegularFileReader::open(const std::string& path) {
    close();
    if (path.empty()) return OpenOutcome::kMissing;
    // A look first, so that a device is never opened at all; the check on the
    // open descriptor below is the one that counts (the name may change between).
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return failureOf(errno);
    if (!S_ISREG(st.st_mode)) return OpenOutcome::kNotRegular;
    int fd;
    do fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) return failureOf(errno);
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return OpenOutcome::kFailed;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return OpenOutcome::kNotRegular;
    }
    handle_ = fd;
    size_ = static_cast<uint64_t>(st.st_size);
    return OpenOutcome::kOpened;
}

void RegularFileReader::close() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
    handle_ = -1;
    size_ = 0;
}

bool RegularFileReader::read(void* destination, size_t n) {
    if (handle_ < 0) return false;
    auto* out = static_cast<char*>(destination);
    while (n > 0) {
        const ssize_t got = ::read(static_cast<int>(handle_), out, n);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        out += got;
        n -= static_cast<size_t>(got);
    }
    return true;
}
