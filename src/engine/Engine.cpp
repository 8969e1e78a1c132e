#include "engine/Engine.h"

#include <cmath>

namespace {
// A non-finite input sample would poison every filter state and, through
// feedback, the delay and reverb lines for good; it counts as silence.
inline float finiteOrZero(float x) { return std::isfinite(x) ? x : 0.0f; }
} // namespace

double Engine::resolveHostTempo(bool hasTimeInfo, double hostTempo, double storedTempo) {
    if (!hasTimeInfo || std::isnan(hostTempo)) return storedTempo;
    const double t = hostTempo < kMinHostTempo ? kMinHostTempo : hostTempo;
    // A tempo of 500 or more is never stored; taken as it stands it would
    // reset both send effects at every control block while it lasts.
    return t < 500.0 ? t : storedTempo;
}

void Engine::process(float** inputs, float** outputs, int32_t n, double hostTempo) {
    // Without a left output nothing can be written: handled like no samples.
    if (n < 0 || !outputs || !outputs[0]) n = 0;
    float* outL = outputs ? outputs[0] : nullptr;
    float* outR = outputs ? outputs[1] : nullptr;
    const float* inL = inputs ? inputs[0] : nullptr;
    const float* inR = inputs ? inputs[1] : nullptr;

    for (int32_t i = 0; i < n; ++i) {
        // Read both inputs before writing: the host may pass the same buffers.
        const float l = inL ? finiteOrZero(inL[i]) : 0.0f;
        const float r = inR ? finiteOrZero(inR[i]) : 0.0f;
        if (ctx.controlCounter >= kControlBlockSize) controlBlock(outL, outR, i, hostTempo);
        processSample(l, r, outL, outR, i);
        ++ctx.controlCounter;
    }
    finishStretch(outL, outR, n);
}

void Engine::finishStretch(float* outLeft, float* outRight, int32_t end) {
    const int32_t k = sends.count;
    if (k <= 0) return;
    if (delay_ && reverb_) sends.flush(*delay_, *reverb_, outLeft, outRight, end);
    output.finish(outLeft + (end - k), outRight ? outRight + (end - k) : nullptr, k);
    sends.count = 0;
}

void Engine::processSample(float inL, float inR, float* outLeft, float* outRight, int32_t i) {
    // Gate, preamp stage and compressor, then the dynamic equaliser.
    const StereoSample compressed = dynamics.process({inL, inR});
    const float compressorInput = dynamics.compressorInputLeft();
    const StereoSample equalised = equaliser.process(compressed);

    // Dry signal: soft clip and the 30 Hz high-pass.
    const FirstOrderCoefficients& hp = ctx.constants.outputHighPass;
    const StereoSample dry{outputHighPass[0].processDivide(softClip(equalised.l), hp),
                           outputHighPass[1].processDivide(softClip(equalised.r), hp)};
    modulation.detect(dry.l, dry.r);
    const StereoSample filtered = filter.process(dry);

    const EngineControls& c = controls;
    const StereoSample main = c.mainFiltered ? filtered : dry;
    const StereoSample send = c.sendFiltered ? filtered : dry;

    const float dLevel = delayLevel.next();
    const float dPower = delayPower.next();
    const float rLevel = reverbLevel.next();
    const float rPower = reverbPower.next();
    if (sends.full()) finishStretch(outLeft, outRight, i);
    sends.write(send.l * dLevel * dPower, send.r * dLevel * dPower, send.l * rLevel * rPower,
                send.r * rLevel * rPower);

    const float mute = dryMute.next();
    const float directL = main.l * mute;
    const float directR = main.r * mute;
    outLeft[i] = directL;
    if (outRight) outRight[i] = directR;

    // Editor meters.
    EngineMeters& m = meters;
    m.compressorInput = m.compressorInputHold.process(softClip(compressorInput), ctx.constants.meterDecay400);
    m.outputPeak = directL > directR ? directL : directR;
    float source;
    switch (c.meterSource) {
    case kMeterCompressorOutLeft: source = compressed.l; break;
    case kMeterOverdriveOutLeft: source = dynamics.overdriveOutLeft(); break;
    case kMeterEqualiserOutLeft: source = equalised.l; break;
    case kMeterSendSumLeft: source = send.l * dLevel + send.l * rLevel; break;
    case kMeterOutputPeak: source = m.outputPeak; break;
    default: source = inL; break;
    }
    m.selectable = m.selectableHold.process(source, ctx.constants.meterDecay800);
}
