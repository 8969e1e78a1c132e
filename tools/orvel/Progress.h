// A one-line progress bar on standard error, drawn only when standard error
// is a terminal, so that logs and pipes stay clean.
#pragma once

#include <cstddef>
#include <string>

class Progress {
public:
    Progress(std::string label, size_t total);
    ~Progress(); // ends the line
    void update(size_t done);

private:
    std::string label_;
    size_t total_;
    int shown_ = -1; // percent last drawn
    bool enabled_;
};
