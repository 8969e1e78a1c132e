// The common open and save dialogs and the shell's folder browser.
#include <windows.h>

#include <commdlg.h>
#include <shlobj.h>

#include "gui/FileDialog.h"

namespace {

bool chooseFile(const FileDialogRequest& r, std::string& out) {
    char file[MAX_PATH] = "";
    std::string filter;
    if (!r.extension.empty()) {
        filter = r.fileType + '\0' + "*." + r.extension + '\0';
    }
    filter += std::string("All files") + '\0' + "*.*" + '\0' + '\0';
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = r.title.c_str();
    ofn.lpstrInitialDir = r.folder.empty() ? nullptr : r.folder.c_str();
    ofn.lpstrDefExt = r.extension.empty() ? nullptr : r.extension.c_str();
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    BOOL chosen;
    if (r.kind == FileDialogKind::Save) {
        ofn.Flags |= OFN_OVERWRITEPROMPT;
        chosen = GetSaveFileNameA(&ofn);
    } else {
        ofn.Flags |= OFN_FILEMUSTEXIST;
        chosen = GetOpenFileNameA(&ofn);
    }
    if (!chosen || !file[0]) return false;
    out = file;
    return true;
}

// Selects the start folder once the browser is up.
int CALLBACK selectStartFolder(HWND window, UINT message, LPARAM, LPARAM folder) {
    if (message == BFFM_INITIALIZED && folder) SendMessageA(window, BFFM_SETSELECTIONA, TRUE, folder);
    return 0;
}

bool chooseFolder(const FileDialogRequest& r, std::string& out) {
    BROWSEINFOA info{};
    info.hwndOwner = GetActiveWindow();
    info.lpszTitle = r.title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    if (!r.folder.empty()) {
        info.lpfn = &selectStartFolder;
        info.lParam = reinterpret_cast<LPARAM>(r.folder.c_str());
    }
    LPITEMIDLIST item = SHBrowseForFolderA(&info);
    if (!item) return false;
    char path[MAX_PATH] = "";
    const BOOL ok = SHGetPathFromIDListA(item, path);
    CoTaskMemFree(item);
    if (!ok || !path[0]) return false;
    out = path;
    return true;
}

} // namespace

bool detail::runPlatformFileDialog(const FileDialogRequest& request, std::string& out) {
    return request.kind == FileDialogKind::Folder ? chooseFolder(request, out) : chooseFile(request, out);
}
