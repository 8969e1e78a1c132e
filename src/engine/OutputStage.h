// The end of the chain: the master gain and the DC blocker, run over each
// stretch of output once the effect returns are in it. Both advance per
// sample, so the output does not depend on how the host splits its calls.
#pragma once

#include <cstdint>

#include "engine/StereoLanes.h"

// The master gain moves linearly to a new target over a fixed number of
// samples that starts at a control block: smooth on a change of `master`,
// and a fade-in from silence when the plug-in starts.
struct MasterGainRamp {
    static constexpr int32_t kLength = 512; // 16 control blocks, 11.6 ms at 44.1 kHz

    float current = 0.0f;
    float target = 0.0f;
    float step = 0.0f;
    int32_t remaining = 0;

    void setTarget(float t) {
        if (t == target) return;
        target = t;
        step = (t - current) / static_cast<float>(kLength);
        remaining = kLength;
    }
    float next() {
        if (remaining > 0) {
            current = current + step;
            if (--remaining == 0) current = target;
        }
        return current;
    }
    bool settled() const { return remaining == 0; }
};

// The send effects' returns for a stretch: delay, then reverb, per channel.
struct EffectReturns {
    const float* left[2];
    const float* right[2];
};

class OutputStage {
public:
    // The returns (unless null) added to n direct samples, then the master
    // gain and the DC blocker; a null right channel is skipped. The ramp is
    // retargeted only between such stretches.
    void finish(float* left, float* right, int32_t n, const EffectReturns* returns = nullptr);
    // y = (x - x_prev) + 0.998 y_prev, the feedback in double precision.
    void blockDc(float* left, float* right, int32_t n);
    void resetDc();

    MasterGainRamp master; // its target is refreshed at every control block
    float dcInPrev[2] = {0.0f, 0.0f};
    float dcOutPrev[2] = {0.0f, 0.0f};

    class Run;

private:
    void applyMasterGain(float* left, float* right, int32_t n);
};

// The DC blocker's step on left and right in lanes 0 and 1: the difference in
// single precision, the feedback in double, in the order of blockDc.
inline __m128 blockDcLanes(__m128 in, __m128& inPrev, __m128& outPrev) {
    const __m128d sum =
        _mm_add_pd(_mm_cvtps_pd(_mm_sub_ps(in, inPrev)), _mm_mul_pd(_mm_set1_pd(0.998), _mm_cvtps_pd(outPrev)));
    inPrev = in;
    outPrev = _mm_cvtpd_ps(sum);
    return outPrev;
}

// finish() on separate left and right buffers frame by frame, for a caller
// that forms the delay's return in a loop of its own: the DC blocker's wait
// from sample to sample then overlaps that loop's work. step(j, delay) adds
// the delay's return pair and the reverb's return at frame j to the direct
// output there, applies the master gain and the DC blocker, and writes the
// result back. store() writes the state back.
class OutputStage::Run {
public:
    Run(OutputStage& stage, float* left, float* right, const float* reverbLeft, const float* reverbRight)
        : stage_(stage), left_(left), right_(right), reverbLeft_(reverbLeft), reverbRight_(reverbRight),
          moving_(!stage.master.settled()), unit_(stage.master.settled() && stage.master.current == 1.0f),
          held_(_mm_set1_ps(stage.master.current)),
          inPrev_(_mm_unpacklo_ps(_mm_set_ss(stage.dcInPrev[0]), _mm_set_ss(stage.dcInPrev[1]))),
          outPrev_(_mm_unpacklo_ps(_mm_set_ss(stage.dcOutPrev[0]), _mm_set_ss(stage.dcOutPrev[1]))) {}

    void step(int32_t j, __m128 delayReturn) {
        __m128 in = _mm_unpacklo_ps(_mm_set_ss(left_[j]), _mm_set_ss(right_[j]));
        in = _mm_add_ps(in, delayReturn);
        in = _mm_add_ps(in, _mm_unpacklo_ps(_mm_set_ss(reverbLeft_[j]), _mm_set_ss(reverbRight_[j])));
        // At exactly unity a settled gain does nothing.
        if (moving_) in = _mm_mul_ps(in, _mm_set1_ps(stage_.master.next()));
        else if (!unit_) in = _mm_mul_ps(in, held_);
        const __m128 y = blockDcLanes(in, inPrev_, outPrev_);
        _mm_store_ss(left_ + j, y);
        _mm_store_ss(right_ + j, _mm_shuffle_ps(y, y, _MM_SHUFFLE(1, 1, 1, 1)));
    }
    void store() {
        _mm_store_ss(&stage_.dcInPrev[0], inPrev_);
        _mm_store_ss(&stage_.dcInPrev[1], _mm_shuffle_ps(inPrev_, inPrev_, _MM_SHUFFLE(1, 1, 1, 1)));
        _mm_store_ss(&stage_.dcOutPrev[0], outPrev_);
        _mm_store_ss(&stage_.dcOutPrev[1], _mm_shuffle_ps(outPrev_, outPrev_, _MM_SHUFFLE(1, 1, 1, 1)));
    }

private:
    OutputStage& stage_;
    float* const left_;
    float* const right_;
    const float* const reverbLeft_;
    const float* const reverbRight_;
    const bool moving_, unit_;
    const __m128 held_;
    __m128 inPrev_, outPrev_;
};
