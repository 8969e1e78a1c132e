#include "gui/MessageBox.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "plugin/ProductIdentity.h"

namespace {
std::mutex& recorderMutex() {
    static std::mutex m;
    return m;
}
MessageRecorder& recorder() {
    static MessageRecorder r;
    return r;
}
bool appendToLog(const char* text) {
    const char* path = std::getenv("ORVEL_MESSAGE_LOG");
    if (!path || !*path) return false;
    if (FILE* f = std::fopen(path, "ab")) {
        std::fputs(text, f);
        std::fputc(0x1E, f);
        std::fclose(f);
    }
    return true;
}
} // namespace

MessageRecorder setMessageRecorder(MessageRecorder r) {
    std::lock_guard<std::mutex> lock(recorderMutex());
    MessageRecorder previous = std::move(recorder());
    recorder() = std::move(r);
    return previous;
}

void showMessageBox(const char* text) {
    if (!text) text = "";
    MessageRecorder r;
    {
        std::lock_guard<std::mutex> lock(recorderMutex());
        r = recorder();
    }
    if (r) {
        r(text);
        return;
    }
    if (appendToLog(text)) return;
    detail::showPlatformMessageBox(product::kName, text);
}
