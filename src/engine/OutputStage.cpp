#include "engine/OutputStage.h"

#include "engine/StereoLanes.h"

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

// Both channels in one loop, left and right in the lanes of the float and
// the double vectors: the same operations as blockChannel, lane by lane.
void blockStereo(float* left, float* right, int32_t n, float (&inPrev)[2], float (&outPrev)[2]) {
    const __m128d feedback = _mm_set1_pd(0.998);
    __m128 xp = _mm_unpacklo_ps(_mm_set_ss(inPrev[0]), _mm_set_ss(inPrev[1]));
    __m128 yp = _mm_unpacklo_ps(_mm_set_ss(outPrev[0]), _mm_set_ss(outPrev[1]));
    for (int32_t j = 0; j < n; ++j) {
        const __m128 in = _mm_unpacklo_ps(_mm_set_ss(left[j]), _mm_set_ss(right[j]));
        const __m128d sum = _mm_add_pd(_mm_cvtps_pd(_mm_sub_ps(in, xp)), _mm_mul_pd(feedback, _mm_cvtps_pd(yp)));
        const __m128 y = _mm_cvtpd_ps(sum);
        _mm_store_ss(left + j, y);
        _mm_store_ss(right + j, _mm_shuffle_ps(y, y, _MM_SHUFFLE(1, 1, 1, 1)));
        xp = in;
        yp = y;
    }
    _mm_store_ss(&inPrev[0], xp);
    _mm_store_ss(&inPrev[1], _mm_shuffle_ps(xp, xp, _MM_SHUFFLE(1, 1, 1, 1)));
    _mm_store_ss(&outPrev[0], yp);
    _mm_store_ss(&outPrev[1], _mm_shuffle_ps(yp, yp, _MM_SHUFFLE(1, 1, 1, 1)));
}
} // namespace

ORVEL_ALIGN_STACK void OutputStage::blockDc(float* left, float* right, int32_t n) {
    // One buffer for both outputs is filtered twice over, as it always was.
    if (right && right != left) {
        blockStereo(left, right, n, dcInPrev, dcOutPrev);
        return;
    }
    blockChannel(left, n, dcInPrev[0], dcOutPrev[0]);
    if (right) blockChannel(right, n, dcInPrev[1], dcOutPrev[1]);
}

void OutputStage::resetDc() {
    dcInPrev[0] = dcInPrev[1] = 0.0f;
    dcOutPrev[0] = dcOutPrev[1] = 0.0f;
}
