#include "gui/Alerts.h"
#include "gui/ChildProcess.h"
#include "gui/ShellOpen.h"
#include "plugin/ProductIdentity.h"

bool detail::platformOpenDocument(const std::string& path) {
    const std::string opener = findProgramOnPath("xdg-open");
    if (opener.empty()) {
        alertBox("%s opens documents with xdg-open, which is not installed.\nInstall it with:\n"
                 "sudo apt install xdg-utils\n\nThe document is:\n%s",
                 product::kName, path.c_str());
        return false;
    }
    if (startDetached(opener, {opener, path})) return true;
    alertBox("%s could not start %s to open\n%s", product::kName, opener.c_str(), path.c_str());
    return false;
}
