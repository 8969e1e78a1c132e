#include "gui/ShellOpen.h"

#include <mutex>

namespace {
std::mutex& handlerMutex() {
    static std::mutex m;
    return m;
}
ShellOpenHandler& handler() {
    static ShellOpenHandler h;
    return h;
}
} // namespace

ShellOpenHandler setShellOpenHandler(ShellOpenHandler h) {
    std::lock_guard<std::mutex> lock(handlerMutex());
    ShellOpenHandler previous = std::move(handler());
    handler() = std::move(h);
    return previous;
}

bool openDocument(const std::string& path) {
    ShellOpenHandler h;
    {
        std::lock_guard<std::mutex> lock(handlerMutex());
        h = handler();
    }
    try {
        return h ? h(path) : detail::platformOpenDocument(path);
    } catch (...) {
        return false;
    }
}
