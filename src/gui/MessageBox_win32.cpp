#include <windows.h>

#include "gui/MessageBox.h"

void detail::showPlatformMessageBox(const char* caption, const char* text) {
    MessageBoxA(GetDesktopWindow(), text, caption, MB_OK);
}
