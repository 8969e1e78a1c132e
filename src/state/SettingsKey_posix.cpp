// The settings key as a file: <config folder>/<maker>/<product>/settings.reg,
// holding the key in the registry's export text, so that a person can read
// and edit it:
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Tamblor\Orvel]
//   "firstuse"=dword:00000001
//   "presetpath0"="/home/me/.local/share/Tamblor/Orvel/Presets/"
//
// Every operation reads the file afresh. A write reads, changes one value
// and replaces the whole file atomically; lines that are not understood stay
// as they were. A file that exists but cannot be read counts as every value
// missing and is never overwritten.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <mutex>

#include "state/AtomicFile.h"
#include "state/RegularFile.h"
#include "state/RegistryText.h"
#include "state/SettingsKey.h"
#include "state/UserFolders.h"

namespace {

constexpr uint64_t kLargestSettingsFile = 4 * 1024 * 1024;

enum class FileState { kMissing, kRead, kUnreadable };

// A FIFO or device in the file's place counts as unreadable: it is never
// waited on, read or replaced.
FileState readWholeFile(const std::string& path, std::string& out) {
    RegularFileReader f;
    switch (f.open(path)) {
    case OpenOutcome::kOpened: break;
    case OpenOutcome::kMissing: return FileState::kMissing;
    default: return FileState::kUnreadable;
    }
    if (f.size() > kLargestSettingsFile) return FileState::kUnreadable;
    std::string text(static_cast<size_t>(f.size()), '\0');
    if (!f.read(text.data(), text.size())) return FileState::kUnreadable;
    out.swap(text);
    return FileState::kRead;
}

// Writers of this process take turns; an advisory lock on the folder keeps
// other processes' writers out meanwhile.
std::mutex& writerMutex() {
    static std::mutex m;
    return m;
}

class FolderLock {
public:
    explicit FolderLock(const std::string& folder) : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd_ >= 0)
            while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
    }
    ~FolderLock() {
        if (fd_ >= 0) ::close(fd_); // closing releases the lock
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_;
};

} // namespace

struct SettingsKey::Handle {
    std::string folder;
    std::string file;
    std::string keyName; // HKEY_CURRENT_USER\Software\<maker>\<product>

    bool read(const char* name, RegistryValue::Type type, RegistryValue& out) const {
        std::string text;
        if (!name || readWholeFile(file, text) != FileState::kRead) return false;
        std::optional<RegistryValue> v = RegistryText(text).find(keyName, name);
        if (!v || v->type != type) return false;
        out = std::move(*v);
        return true;
    }

    bool write(const char* name, const RegistryValue& value) const {
        if (!name) return false;
        std::lock_guard<std::mutex> lock(writerMutex());
        FolderLock folderLock(folder);
        std::string text;
        if (readWholeFile(file, text) == FileState::kUnreadable) return false;
        RegistryText doc(text);
        doc.set(keyName, name, value);
        const std::string rendered = doc.render();
        return writeFileAtomically(file, rendered.data(), rendered.size());
    }
};

SettingsKey::SettingsKey(const char* productName) {
    if (!productName) return;
    const std::string config = userConfigFolder();
    if (config.empty()) return;
    try {
        handle_ = new Handle;
        handle_->folder = config + "/" + product::kVendor + "/" + productName;
        handle_->file = handle_->folder + "/settings.reg";
        handle_->keyName = std::string("HKEY_CURRENT_USER\\Software\\") + product::kVendor + "\\" + productName;
        std::error_code ec;
        std::filesystem::create_directories(handle_->folder, ec); // a failure shows in the writes
    } catch (...) {
        delete handle_;
        handle_ = nullptr;
    }
}

SettingsKey::~SettingsKey() { delete handle_; }

bool SettingsKey::readInt(const char* name, int32_t& value) {
    RegistryValue v;
    if (!handle_ || !handle_->read(name, RegistryValue::kDword, v)) return false;
    value = static_cast<int32_t>(v.dword);
    return true;
}

bool SettingsKey::queryString(const char* name, std::string& out) {
    RegistryValue v;
    if (!handle_ || !handle_->read(name, RegistryValue::kString, v)) return false;
    out = std::move(v.text);
    return true;
}

bool SettingsKey::writeInt(const char* name, int32_t value) {
    return handle_ && handle_->write(name, RegistryValue::number(static_cast<uint32_t>(value)));
}

bool SettingsKey::writeString(const char* name, const char* text) {
    return handle_ && handle_->write(name, RegistryValue::string(text ? text : ""));
}
