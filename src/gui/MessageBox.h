// A modal message box with the product name as caption and one OK button.
// Tests install a recorder: texts are then recorded instead of shown, so a
// message never blocks a test run. Host-level tests, which reach the plug-in
// only through its module, set ORVEL_MESSAGE_LOG to a file path instead:
// every text is then appended to that file, followed by a 0x1E separator.
#pragma once

#include <functional>
#include <string>

using MessageRecorder = std::function<void(const std::string& text)>;

void showMessageBox(const char* text);
// Installs (or, with an empty function, removes) the recorder; returns the previous one.
MessageRecorder setMessageRecorder(MessageRecorder recorder);

namespace detail {
// The platform's own box; implemented per platform.
void showPlatformMessageBox(const char* caption, const char* text);
} // namespace detail
