#include "engine/Modulation.h"

// Placeholder: no modulation until it is built.
void Modulation::setLfoSpeed(float, const EngineContext&) {}
void Modulation::setLfoAmount(float) {}
void Modulation::setLfoPower(float) {}
void Modulation::setLfoSync(float) {}
void Modulation::setLfoTarget(float) {}
void Modulation::setFollowerSpeed(float, const EngineContext&) {}
void Modulation::setFollowerAmount(float) {}
void Modulation::setFollowerPower(float) {}
void Modulation::setFollowerInvert(float) {}
void Modulation::setFollowerTarget(float) {}
void Modulation::detect(float, float) {}
void Modulation::controlBlock(const EngineContext&) {}
