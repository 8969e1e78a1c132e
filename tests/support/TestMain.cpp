// Every test run gets its own settings and data folders, so no test reads or
// writes the user's real settings, and no display: no dialog or message
// window ever waits for a click (the X11 tests start a server of their own).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/TempDir.h"

int main(int argc, char** argv) {
    static TempDir home("orvel-test-home");
    setenv("HOME", home.path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home.path() + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home.path() + "/data").c_str(), 1);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
