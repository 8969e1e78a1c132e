#include <cstdio>

#include "gui/MessageBox.h"

// Without a desktop message window the text goes to standard error.
void detail::showPlatformMessageBox(const char* caption, const char* text) {
    std::fprintf(stderr, "[%s] %s\n", caption, text);
}
