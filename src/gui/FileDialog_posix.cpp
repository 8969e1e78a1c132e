// The desktop's own choosers through zenity, or kdialog when zenity is not
// installed. Both print the chosen path on standard output and exit with 0;
// cancelling exits with 1.
#include <cstdlib>

#include "gui/Alerts.h"
#include "gui/ChildProcess.h"
#include "gui/FileDialog.h"
#include "plugin/ProductIdentity.h"

namespace {

// A folder as both helpers take it to mean "open in this folder": with a
// trailing separator (zenity would otherwise preselect a file of that name).
std::string asFolder(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder.push_back('/');
    return folder;
}

std::vector<std::string> zenityArguments(const std::string& program, const FileDialogRequest& r) {
    std::vector<std::string> a{program, "--file-selection", "--title=" + r.title};
    if (!r.folder.empty()) a.push_back("--filename=" + asFolder(r.folder));
    if (r.kind == FileDialogKind::Folder) {
        a.push_back("--directory");
        return a;
    }
    if (r.kind == FileDialogKind::Save) {
        a.push_back("--save");
        a.push_back("--confirm-overwrite");
    }
    if (!r.extension.empty()) a.push_back("--file-filter=" + r.fileType + " | *." + r.extension);
    return a;
}

std::vector<std::string> kdialogArguments(const std::string& program, const FileDialogRequest& r) {
    const char* home = std::getenv("HOME");
    const std::string start = !r.folder.empty() ? asFolder(r.folder) : home && *home ? home : "/";
    std::vector<std::string> a{program, "--title", r.title};
    if (r.kind == FileDialogKind::Folder) {
        a.insert(a.end(), {"--getexistingdirectory", start});
        return a;
    }
    a.push_back(r.kind == FileDialogKind::Save ? "--getsavefilename" : "--getopenfilename");
    a.push_back(start);
    if (!r.extension.empty()) a.push_back("*." + r.extension + "|" + r.fileType);
    return a;
}

} // namespace

bool detail::runPlatformFileDialog(const FileDialogRequest& request, std::string& out) {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (!(x11 && *x11) && !(wayland && *wayland)) return false; // nowhere to show a dialog

    std::vector<std::string> arguments;
    std::string program = findProgramOnPath("zenity");
    if (!program.empty()) {
        arguments = zenityArguments(program, request);
    } else {
        program = findProgramOnPath("kdialog");
        if (program.empty()) {
            alertBox("%s shows its file and folder dialogs with zenity or kdialog, and neither is installed.\n"
                     "Install one of them, for example with:\nsudo apt install zenity",
                     product::kName);
            return false;
        }
        arguments = kdialogArguments(program, request);
    }
    std::string output;
    int exitCode = 0;
    if (!runAndCapture(program, arguments, output, exitCode) || exitCode != 0) return false;
    const size_t lineEnd = output.find('\n');
    if (lineEnd != std::string::npos) output.resize(lineEnd);
    if (!output.empty() && output.back() == '\r') output.pop_back();
    if (output.empty()) return false;
    out = output;
    return true;
}
