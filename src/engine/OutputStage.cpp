#include "engine/OutputStage.h"

void OutputStage::applyMasterGain(float* left, float* right, int32_t n) {
    float g0 = appliedGain;
    const float g1 = targetGain;
    if (g0 != g1) {
        if (n > 0) {
            const float step = (g1 - g0) / static_cast<float>(n);
            for (int32_t j = 0; j < n; ++j) {
                g0 = g0 + step;
                left[j] *= g0;
                if (right) right[j] *= g0;
            }
        }
        appliedGain = g1;
    } else if (g1 != 1.0f) {
        for (int32_t j = 0; j < n; ++j) left[j] *= g1;
        if (right)
            for (int32_t j = 0; j < n; ++j) right[j] *= g1;
    }
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
