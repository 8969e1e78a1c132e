// The two ways the plug-in tells the user something: one modal box titled
// with the product name, through the platform box of MessageBox.h.
#pragma once

#include <cstddef>

constexpr size_t kAlertTextLimit = 8192; // bytes of formatted text, the terminator included

#if defined(__GNUC__)
#define ORVEL_PRINTF_FORMAT(f, a) __attribute__((format(printf, f, a)))
#else
#define ORVEL_PRINTF_FORMAT(f, a)
#endif

// Formats printf-style (cut to kAlertTextLimit - 1 bytes) and shows the text.
// While one alert is showing, a new one is dropped: a box that a host's
// message loop re-enters must not stack up further boxes.
void alertBox(const char* format, ...) ORVEL_PRINTF_FORMAT(1, 2);

// Shows a fixed text, without the guard.
void noticeBox(const char* text);
