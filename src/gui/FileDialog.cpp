#include "gui/FileDialog.h"

#include <mutex>

namespace {
std::mutex& handlerMutex() {
    static std::mutex m;
    return m;
}
FileDialogHandler& handler() {
    static FileDialogHandler h;
    return h;
}
} // namespace

FileDialogHandler setFileDialogHandler(FileDialogHandler h) {
    std::lock_guard<std::mutex> lock(handlerMutex());
    FileDialogHandler previous = std::move(handler());
    handler() = std::move(h);
    return previous;
}

bool runFileDialog(const FileDialogRequest& request, std::string& out) {
    FileDialogHandler h;
    {
        std::lock_guard<std::mutex> lock(handlerMutex());
        h = handler();
    }
    try {
        std::string chosen;
        if (!(h ? h(request, chosen) : detail::runPlatformFileDialog(request, chosen)) || chosen.empty()) return false;
        out = chosen;
        return true;
    } catch (...) {
        return false;
    }
}
