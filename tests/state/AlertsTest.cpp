// The two message helpers: formatting, the size bound, the guard against a
// second alert while one is showing, and the plain notice.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/Alerts.h"
#include "support/MessageCapture.h"

TEST(Alerts, ASecondAlertWhileOneIsShowingIsDropped) {
    std::vector<std::string> shown;
    MessageRecorder previous = setMessageRecorder([&](const std::string& t) {
        shown.push_back(t);
        if (shown.size() == 1) {
            alertBox("nested alert"); // as from a message loop run by the box
            noticeBox("nested notice"); // notices have no guard
        }
    });
    alertBox("outer");
    alertBox("after"); // the guard is released once the box returns
    setMessageRecorder(previous);
    EXPECT_EQ(shown, (std::vector<std::string>{"outer", "nested notice", "after"}));
}
