// Records every message box shown by code linked into the test binary.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "gui/MessageBox.h"

class MessageCapture {
public:
    MessageCapture() {
        previous_ = setMessageRecorder([this](const std::string& t) {
            std::lock_guard<std::mutex> lock(m_);
            texts_.push_back(t);
        });
    }
    ~MessageCapture() { setMessageRecorder(previous_); }
    std::vector<std::string> texts() const {
        std::lock_guard<std::mutex> lock(m_);
        return texts_;
    }

private:
    mutable std::mutex m_;
    std::vector<std::string> texts_;
    MessageRecorder previous_;
};
