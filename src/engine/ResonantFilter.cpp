#include "engine/ResonantFilter.h"

#include "engine/BuildingBlocks.h"
#include "engine/ModuleMath.h"
#include "params/Mappings.h"

void ResonantFilter::setCutoff(float v) {
    const float u = 0.99f * v + 0.01f;
    baseFrequency_ = u * u * u * u;
}

void ResonantFilter::setResonance(float v) { baseResonance_ = mapping::steps(0.98f * v); }

void ResonantFilter::setType(float v) { type_ = static_cast<FilterType>(static_cast<int>(mapping::selector(v, 3.0f, 2.0f))); }

void ResonantFilter::controlBlock(float m1, float m2, const EngineContext& ctx) {
    frequency_ = clampf(baseFrequency_ + m1, 0.0f, 1.0f);
    resonance_ = clampf(baseResonance_ + m2, 0.0f, 0.94f);
    // The position scales with fs / 44100, as the crossover's does, so at
    // higher rates the end column is reached at a lower control value.
    const float p = frequency_ * ctx.constants.rateRatio * 10.0f;
    coefficients_ = svfLookup(p, 10.0f * resonance_);
}

ORVEL_ALIGN_STACK void ResonantFilter::process(const StereoSample* dry, StereoSample* filtered, int32_t n) {
    Run run(*this);
    for (int32_t i = 0; i < n; ++i) filtered[i] = fromLanes(run.step(toLanes(dry[i])));
    run.store();
}
