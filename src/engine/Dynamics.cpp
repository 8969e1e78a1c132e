#include "engine/Dynamics.h"

void Dynamics::controlBlock() {
    gate_.controlBlock();
    preamp_.controlBlock();
    compressor_.controlBlock();
}

StereoSample Dynamics::process(StereoSample in) {
    const StereoSample stage = preamp_.process(gate_.process(in));
    compressorInL_ = stage.l;
    return compressor_.process(stage);
}
