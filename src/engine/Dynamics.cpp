#include "engine/Dynamics.h"

void Dynamics::controlBlock() {
    gate_.controlBlock();
    preamp_.controlBlock();
    compressor_.controlBlock();
}

void Dynamics::process(StereoSample* frames, int32_t n, float* compressorInLeft, float* overdriveLeft) {
    if (n <= 0) return;
    gate_.process(frames, n);
    preamp_.process(frames, n, overdriveLeft);
    if (compressorInLeft)
        for (int32_t i = 0; i < n; ++i) compressorInLeft[i] = frames[i].l;
    compressorInL_ = frames[n - 1].l;
    compressor_.process(frames, n);
}
