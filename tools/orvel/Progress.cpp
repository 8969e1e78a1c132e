#include "Progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {
constexpr int kBarWidth = 30;
}

Progress::Progress(std::string label, size_t total)
    : label_(std::move(label)), total_(total), enabled_(isatty(STDERR_FILENO) != 0) {
    update(0);
}

Progress::~Progress() {
    if (enabled_ && shown_ >= 0) std::fputc('\n', stderr);
}

void Progress::update(size_t done) {
    if (!enabled_) return;
    const int percent = total_ ? static_cast<int>(100 * std::min(done, total_) / total_) : 100;
    if (percent == shown_) return;
    shown_ = percent;
    const int filled = percent * kBarWidth / 100;
    std::fprintf(stderr, "\r%s [%.*s%*s] %3d%%", label_.c_str(), filled, "##############################",
                 kBarWidth - filled, "", percent);
    std::fflush(stderr);
}
