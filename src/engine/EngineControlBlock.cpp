// The control block: every 32 samples, on a grid that runs on across calls.
#include <algorithm>
#include <cmath>

#include "engine/Engine.h"
#include "engine/ModuleMath.h"
#include "engine/SendEffect.h"
#include "engine/ZuBPMChangeInterface.h"

namespace {
inline float clamp01(float x) { return std::clamp(x, 0.0f, 1.0f); }
} // namespace

void Engine::controlBlock(float* outLeft, float* outRight, int32_t i, double hostTempo) {
    finishStretch(outLeft, outRight, i);
    ctx.controlCounter = 0;

    tempoBlock(hostTempo);

    dynamics.controlBlock();
    equaliser.controlBlock();
    output.master.setTarget(controls.masterGain);
    dryMute.setTarget(controls.dryMuteTarget);
    modulation.controlBlock(ctx);
    filter.controlBlock(modulation.at(kModFilterFrequency), modulation.at(kModFilterResonance), ctx);
    sendSettingsBlock();

    // Editor values: the selectable meter's display covers the distance to
    // the meter in 100 ms worth of control blocks.
    meters.selectableDisplay += (meters.selectable - meters.selectableDisplay) / (100.0f * ctx.controlBlocksPerMs);
    meters.gateOpen = dynamics.gateOpen();
}

void Engine::tempoBlock(double hostTempo) {
    // Tempi of 500 or more count as absent (see resolveHostTempo).
    if (hostTempo == ctx.tempo || !(hostTempo < 500.0)) return;
    ctx.tempo = hostTempo;
    ctx.refreshTempoFields();
    for (ZuBPMChangeInterface* listener : ctx.tempoListeners) listener->tempoChanged();
    if (recompute_) recompute_->recompute(false);
}

void Engine::sendSettingsBlock() {
    const EngineControls& c = controls;
    const Modulation& m = modulation;

    const float eDelay = clamp01(c.delayLevel + m.at(kModDelayLevel));
    meters.delaySendLevel = powOneAndAHalf(eDelay);
    delayLevel.setTarget(meters.delaySendLevel * c.fxReturn);
    const float eReverb = clamp01(c.reverbLevel + m.at(kModReverbLevel));
    meters.reverbSendLevel = powOneAndAHalf(eReverb);
    reverbLevel.setTarget(meters.reverbSendLevel * c.fxReturn);

    delayPower.setTarget(c.delayPower * c.fxSwitch);
    const float step = ctx.constants.delayTimeStep;
    float t = clamp01(c.delayTime + m.at(kModDelayTime));
    t = std::trunc(t / step) * step;
    const float fb = clamp01(c.delayFeedback + m.at(kModDelayFeedback));
    if (delay_) {
        delay_->setParameter(0, t);
        delay_->setParameter(1, fb);
        delay_->setParameter(2, fb);
    }

    reverbPower.setTarget(c.reverbPower * c.fxSwitch);
    const float room = clamp01(0.9f * c.reverbRoom + 0.1f + m.at(kModReverbRoom));
    const float d = clamp01(c.reverbDecay + m.at(kModReverbDecay));
    if (reverb_) {
        reverb_->setParameter(0, room);
        reverb_->setParameter(2, 1.0f - d * d);
    }
}
