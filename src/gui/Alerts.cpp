#include "gui/Alerts.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

#include "gui/MessageBox.h"

namespace {
std::atomic<bool> alertShowing{false};

// Clears the guard however the box returns.
struct AlertGuard {
    ~AlertGuard() { alertShowing.store(false); }
};
} // namespace

void alertBox(const char* format, ...) {
    if (!format) return;
    if (alertShowing.exchange(true)) return;
    AlertGuard guard;
    char text[kAlertTextLimit];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    if (n < 0) text[0] = 0;
    showMessageBox(text);
}

void noticeBox(const char* text) { showMessageBox(text ? text : ""); }
