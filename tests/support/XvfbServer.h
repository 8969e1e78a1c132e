// XServerTest is the fixture of the tests that need an X server: one of the
// test's own (Xvfb, on a display number it picks itself) as DISPLAY, the
// previous value coming back afterwards, a connection to it and a mapped
// parent window of the editor's size. Without Xvfb the test is skipped.
#pragma once

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "gui/CDrawContext.h"

extern char** environ;

// A button press or release, or a motion, delivered to the window through the
// server. A motion event shares the button event's layout, its is_hint where
// the button is: pass button 0 for it.
inline void sendPointerEvent(Display* display_, Window w, int type, int x, int y, unsigned button, unsigned state,
                             Time time) {
    XEvent e{};
    e.xbutton.type = type;
    e.xbutton.display = display_;
    e.xbutton.window = w;
    e.xbutton.root = DefaultRootWindow(display_);
    e.xbutton.x = x;
    e.xbutton.y = y;
    e.xbutton.button = button;
    e.xbutton.state = state;
    e.xbutton.time = time;
    e.xbutton.same_screen = True;
    long mask = type == ButtonPress ? ButtonPressMask : type == ButtonRelease ? ButtonReleaseMask : PointerMotionMask;
    XSendEvent(display_, w, False, mask, &e);
    XSync(display_, False);
}

// Pixels of the window's top left width x height that differ from the drawing; -1 when unreadable.
inline long windowDifferences(Display* display, Window w, const CDrawContext& expected, int width, int height) {
    XImage* image = XGetImage(display, w, 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    if (!image) return -1;
    long bad = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) bad += (XGetPixel(image, x, y) & 0xFFFFFF) != expected.getPixel(x, y);
    XDestroyImage(image);
    return bad;
}

class XServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* old = std::getenv("DISPLAY")) oldDisplay_ = old;
        const std::string name = startServer();
        if (name.empty()) GTEST_SKIP() << "Xvfb could not be started; X11 windows are not tested";
        setenv("DISPLAY", name.c_str(), 1);
        display_ = XOpenDisplay(name.c_str());
        ASSERT_NE(display_, nullptr);
        parent_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 682, 425, 0, 0, 0);
        XMapWindow(display_, parent_);
        XSync(display_, False);
    }
    void TearDown() override {
        if (display_) {
            XDestroyWindow(display_, parent_);
            XCloseDisplay(display_);
        }
        stopServer();
        if (oldDisplay_)
            setenv("DISPLAY", oldDisplay_->c_str(), 1);
        else
            unsetenv("DISPLAY");
    }
    // Ends the server (its clients lose their connections); also done after the test.
    void stopServer() {
        if (pid_) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        pid_ = 0;
    }

    // Idles until the condition holds (events cross two connections).
    static bool idleUntil(const std::function<void()>& idle, const std::function<bool()>& done, int tries = 300) {
        for (int i = 0; i < tries; ++i) {
            idle();
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    Display* display_ = nullptr;
    Window parent_ = 0;

private:
    // The display's name once the server accepts clients, "" when it did not start.
    std::string startServer() {
        int fds[2];
        if (pipe(fds) != 0) return "";
        const std::string fd = std::to_string(fds[1]);
        const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "800x600x24",
                              "-nolisten", "tcp", "-noreset", nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ) != 0) pid_ = 0;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        // The number and its line feed come in two writes, and a server whose
        // second write finds the pipe closed ends itself: read up to the line feed.
        std::string text;
        while (pid_ && text.find('\n') == std::string::npos) {
            char piece[32];
            pollfd p{fds[0], POLLIN, 0};
            const ssize_t n = poll(&p, 1, 10000) == 1 ? read(fds[0], piece, sizeof piece) : -1;
            if (n <= 0) break;
            text.append(piece, size_t(n));
        }
        close(fds[0]);
        const size_t end = text.find('\n');
        if (end != std::string::npos) return ":" + text.substr(0, end);
        stopServer();
        return "";
    }

    pid_t pid_ = 0;
    std::optional<std::string> oldDisplay_;
};
