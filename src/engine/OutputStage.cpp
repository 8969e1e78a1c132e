#include "engine/OutputStage.h"

void OutputStage::applyMasterGain(float* left, float* right, int32_t n) {
    if (master.settled()) {
        // At exactly unity nothing is done.
        const float g = master.current;
        if (g == 1.0f) return;
        for (int32_t j = 0; j < n; ++j) left[j] *= g;
        if (right)
            for (int32_t j = 0; j < n; ++j) right[j] *= g;
        return;
    }
    for (int32_t j = 0; j < n; ++j) {
        const float g = master.next();
        left[j] *= g;
        if (right) right[j] *= g;
    }
}

void OutputStage::finish(float* left, float* right, int32_t n) {
    if (n <= 0) return;
    applyMasterGain(left, right, n);
    blockDc(left, right, n);
}

namespace {
void blockChannel(float* x, int32_t n, float& inPrev, float& outPrev) {
    float xp = inPrev;
    float yp = outPrev;
    for (int32_t j = 0; j < n; ++j) {
        const float in = x[j];
        const float y = static_cast<float>(static_cast<double>(in - xp) + 0.998 * static_cast<double>(yp));
        x[j] = y;
        xp = in;
        yp = y;
    }
    inPrev = xp;
    outPrev = yp;
}
} // namespace

void OutputStage::blockDc(float* left, float* right, int32_t n) {
    blockChannel(left, n, dcInPrev[0], dcOutPrev[0]);
    if (right) blockChannel(right, n, dcInPrev[1], dcOutPrev[1]);
}

void OutputStage::resetDc() {
    dcInPrev[0] = dcInPrev[1] = 0.0f;
    dcOutPrev[0] = dcOutPrev[1] = 0.0f;
}
