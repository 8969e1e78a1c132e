#include "engine/ResonantFilter.h"

// Placeholder: passes its input through until it is built.
void ResonantFilter::setCutoff(float) {}
void ResonantFilter::setResonance(float) {}
void ResonantFilter::setType(float) {}
void ResonantFilter::controlBlock(float, float, const EngineContext&) {}
StereoSample ResonantFilter::process(StereoSample dry) { return dry; }
