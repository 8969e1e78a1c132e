// Asks the desktop to open a document (the manual) in the user's viewer,
// without waiting for it. Tests install a handler that answers instead.
#pragma once

#include <functional>
#include <string>

using ShellOpenHandler = std::function<bool(const std::string& path)>;

// True when the request was handed to the desktop (or to the installed handler).
bool openDocument(const std::string& path);
// Installs (or, with an empty function, removes) the handler; returns the previous one.
ShellOpenHandler setShellOpenHandler(ShellOpenHandler handler);

namespace detail {
// The platform's own "open"; implemented per platform.
bool platformOpenDocument(const std::string& path);
} // namespace detail
