#include "engine/DynamicEq.h"

// Placeholder: passes its input through until it is built.
void DynamicEq::setSwitch(float) {}
void DynamicEq::setSplit(float, const EngineContext&) {}
void DynamicEq::setResponse(float, const EngineContext&) {}
void DynamicEq::setBandAmount(EqBand, float) {}
void DynamicEq::setBandLevel(EqBand, float) {}
void DynamicEq::controlBlock() {}
StereoSample DynamicEq::process(StereoSample in) { return in; }
