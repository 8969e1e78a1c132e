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
// the double vectors, gain(v) applied first: the operations of the separate
// steps, lane by lane and in order.
template <class Gain>
void finishStereo(float* left, float* right, int32_t n, Gain gain, float (&inPrev)[2], float (&outPrev)[2]) {
    __m128 xp = _mm_unpacklo_ps(_mm_set_ss(inPrev[0]), _mm_set_ss(inPrev[1]));
    __m128 yp = _mm_unpacklo_ps(_mm_set_ss(outPrev[0]), _mm_set_ss(outPrev[1]));
    for (int32_t j = 0; j < n; ++j) {
        const __m128 in = _mm_unpacklo_ps(_mm_set_ss(left[j]), _mm_set_ss(right[j]));
        const __m128 y = blockDcLanes(gain(in), xp, yp);
        _mm_store_ss(left + j, y);
        _mm_store_ss(right + j, _mm_shuffle_ps(y, y, _MM_SHUFFLE(1, 1, 1, 1)));
    }
    _mm_store_ss(&inPrev[0], xp);
    _mm_store_ss(&inPrev[1], _mm_shuffle_ps(xp, xp, _MM_SHUFFLE(1, 1, 1, 1)));
    _mm_store_ss(&outPrev[0], yp);
    _mm_store_ss(&outPrev[1], _mm_shuffle_ps(yp, yp, _MM_SHUFFLE(1, 1, 1, 1)));
}

void addInto(float* __restrict out, const float* __restrict ret, int32_t k) {
    for (int32_t j = 0; j < k; ++j) out[j] += ret[j];
}
} // namespace

ORVEL_ALIGN_STACK void OutputStage::finish(float* left, float* right, int32_t n, const EffectReturns* returns) {
    if (n <= 0) return;
    if (!right || right == left) {
        // One buffer for both outputs takes both channels' returns, gain and
        // DC blocker, as it always did.
        if (returns) {
            addInto(left, returns->left[0], n);
            addInto(left, returns->left[1], n);
            if (right) {
                addInto(right, returns->right[0], n);
                addInto(right, returns->right[1], n);
            }
        }
        applyMasterGain(left, right, n);
        blockDc(left, right, n);
        return;
    }
    // Returns, master gain and DC blocker frame by frame in one loop; at
    // exactly unity a settled gain does nothing.
    if (returns) {
        Run run(*this, left, right, returns->left[1], returns->right[1]);
        for (int32_t j = 0; j < n; ++j)
            run.step(j, _mm_unpacklo_ps(_mm_set_ss(returns->left[0][j]), _mm_set_ss(returns->right[0][j])));
        run.store();
        return;
    }
    const float held = master.current;
    if (!master.settled())
        finishStereo(left, right, n, [this](__m128 v) { return _mm_mul_ps(v, _mm_set1_ps(master.next())); },
                     dcInPrev, dcOutPrev);
    else if (held != 1.0f)
        finishStereo(left, right, n, [held](__m128 v) { return _mm_mul_ps(v, _mm_set1_ps(held)); }, dcInPrev,
                     dcOutPrev);
    else
        finishStereo(left, right, n, [](__m128 v) { return v; }, dcInPrev, dcOutPrev);
}

ORVEL_ALIGN_STACK void OutputStage::blockDc(float* left, float* right, int32_t n) {
    // One buffer for both outputs is filtered twice over, as it always was.
    if (right && right != left) {
        finishStereo(left, right, n, [](__m128 v) { return v; }, dcInPrev, dcOutPrev);
        return;
    }
    blockChannel(left, n, dcInPrev[0], dcOutPrev[0]);
    if (right) blockChannel(right, n, dcInPrev[1], dcOutPrev[1]);
}

void OutputStage::resetDc() {
    dcInPrev[0] = dcInPrev[1] = 0.0f;
    dcOutPrev[0] = dcOutPrev[1] = 0.0f;
}
