#include "gui/ChildProcess.h"
#include "gui/ShellOpen.h"

bool detail::platformOpenDocument(const std::string& path) {
    const std::string opener = findProgramOnPath("xdg-open");
    if (opener.empty()) return false;
    return startDetached(opener, {opener, path});
}
