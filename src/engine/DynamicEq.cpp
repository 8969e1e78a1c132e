#include "engine/DynamicEq.h"

#include "engine/ModuleMath.h"
#include "params/Mappings.h"

void DynamicEq::setSplit(float v, const EngineContext& ctx) {
    const float u = 0.8f * v;
    const float x = u * u * u;
    crossover_ = svfRowLookup(10.0f * x * ctx.constants.rateRatio, 1);
}

void DynamicEq::setResponse(float v, const EngineContext& ctx) {
    const float fs = ctx.sampleRate;
    const float r = mapping::steps(0.999f - 0.949f * v);
    const float r2 = r * r;
    // Longer holds come with slower smoothing; the low band's frequency
    // deliberately starts from 999, not 1000.
    struct Shape {
        float holdMs;
        float smoothHz;
    };
    const Shape shapes[3] = {
        {1000.0f * r2, 999.0f - 1000.0f * r2},
        {750.0f * r2, 750.0f - 750.0f * r2},
        {450.0f * r2, 450.0f - 450.0f * r2},
    };
    for (int b = 0; b < 3; ++b) {
        bands_[b].holdK = peakHoldCoefficient(shapes[b].holdMs, fs);
        bands_[b].smoothA = clampf(shapes[b].smoothHz * ctx.constants.smoothingStep, 0.0f, 1.0f);
    }
}

void DynamicEq::controlBlock() {
    for (Band& b : bands_) {
        const float r = clampf(b.env * b.amount, 0.0f, 0.8f);
        b.gain.setTarget((1.0f - r) * b.level);
    }
}

StereoSample DynamicEq::process(StereoSample in) {
    const SvfOutputs l = left_.process(in.l, crossover_);
    const SvfOutputs r = right_.process(in.r, crossover_);
    const StereoSample split[3] = {{l.low, r.low}, {l.band, r.band}, {l.high, r.high}};
    float gain[3];
    for (int b = 0; b < 3; ++b) {
        Band& band = bands_[b];
        band.env = band.smoother.process(band.hold.process(detectorInput(split[b]), band.holdK), band.smoothA);
        gain[b] = band.gain.next();
    }
    if (!on_) return in;
    return {split[0].l * gain[0] + split[1].l * gain[1] + split[2].l * gain[2],
            split[0].r * gain[0] + split[1].r * gain[1] + split[2].r * gain[2]};
}
