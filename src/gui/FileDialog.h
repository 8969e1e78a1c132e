// The file and folder choosers the preset code asks the user through: the
// platform's own dialogs (on Linux zenity or kdialog, whichever is installed;
// "cancelled" when no display is there, and when neither is installed, after
// telling the user what to install). Tests install a script that answers
// instead.
#pragma once

#include <functional>
#include <string>

enum class FileDialogKind { Open, Save, Folder };

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    std::string title;
    std::string fileType;  // "Preset file"; empty for a folder choice
    std::string extension; // without the dot; empty for a folder choice
    std::string folder;    // where the dialog opens; empty: the user's home folder
};

// Answers one request: true with the chosen path in out, false when cancelled.
using FileDialogHandler = std::function<bool(const FileDialogRequest& request, std::string& out)>;

// Runs the installed handler, or without one the platform's dialog; a
// handler that throws counts as "cancelled".
bool runFileDialog(const FileDialogRequest& request, std::string& out);
// Installs (or, with an empty function, removes) the handler; returns the previous one.
FileDialogHandler setFileDialogHandler(FileDialogHandler handler);

namespace detail {
// The platform's own dialog; implemented per platform.
bool runPlatformFileDialog(const FileDialogRequest& request, std::string& out);
} // namespace detail
