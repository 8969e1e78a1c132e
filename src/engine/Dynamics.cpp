#include "engine/Dynamics.h"

// Placeholder: the stages pass their input through until they are built.
void Dynamics::setGateSwitch(float) {}
void Dynamics::setGateThreshold(float) {}
void Dynamics::setGateSpeed(float, const EngineContext&) {}
void Dynamics::setPreampSwitch(float) {}
void Dynamics::setHighPass(float, const EngineContext&) {}
void Dynamics::setOverdrive(float) {}
void Dynamics::setPreampGain(float) {}
void Dynamics::setCompressorSwitch(float) {}
void Dynamics::setCompression(float) {}
void Dynamics::setCompressSpeed(float, const EngineContext&) {}
void Dynamics::controlBlock() {}

StereoSample Dynamics::process(StereoSample in) {
    overdriveOutL_ = in.l;
    compressorInL_ = in.l;
    return in;
}
