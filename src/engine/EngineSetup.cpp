// Construction, effect configuration, recompute's engine part, suspend and resume.
#include "engine/Engine.h"
#include "engine/SendEffect.h"

Engine::Engine() = default;

void Engine::attach(SendEffect* delay, SendEffect* reverb, RecomputeHandler* recompute) {
    delay_ = delay;
    reverb_ = reverb;
    recompute_ = recompute;
}

void Engine::configureEffects() {
    if (delay_) {
        delay_->setMode(-1, 1); // glide on
        delay_->setMode(0, 0);  // time mode 0
        delay_->setParameter(3, 0.0f);
        delay_->setMix(1.0f);
        delay_->update();
    }
    if (reverb_) {
        reverb_->setParameter(4, 0.0f);
        reverb_->setMix(1.0f);
        reverb_->update();
    }
}

void Engine::prepareRecompute() {
    ctx.setSampleRate(hostSampleRate); // refuses rates outside the accepted range
    ctx.refreshConstants();
    for (SendEffect* e : {delay_, reverb_}) {
        if (!e) continue;
        e->reset();
        e->timingChanged(false);
        e->clear();
    }
    ctx.refreshMeterDecay();
}

void Engine::suspend() { ctx.registry.zeroAll(); }

void Engine::resume() { output.resetDc(); }
