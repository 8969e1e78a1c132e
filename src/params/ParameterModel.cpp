#include "params/ParameterModel.h"

#include "engine/Engine.h"
#include "engine/SendEffect.h"
#include "params/Mappings.h"
#include "params/ParameterTable.h"

using namespace mapping;

const int32_t ParameterModel::kRecomputeOrder[48] = {
    41, 45, 46, 59, 23, 27, 32, 71, 72, 96, 97, 2,  1,  4,  5,  3,  7,  6,  8,  9,  14, 15, 12, 13,
    10, 11, 0,  101, 18, 36, 37, 35, 34, 31, 29, 30, 33, 16, 17, 19, 22, 28, 26, 20, 21, 24, 25, 79};

ParameterModel::ParameterModel(Engine& engine, ParameterTable& table, SendEffect& reverb)
    : engine_(engine), table_(table), reverb_(reverb) {}

float ParameterModel::getParameter(int32_t index) const {
    ParameterRecord* r = table_.byHostIndex(index);
    return r ? *r->value : 0.0f;
}

void ParameterModel::setParameter(int32_t tag, float value) {
    if (!table_.byTag(tag)) return;
    setFromController(tag, value);
    applyEditorSideEffects(tag, unit(value));
}

void ParameterModel::setFromController(int32_t tag, float value) {
    ParameterRecord* r = table_.byTag(tag);
    if (!r) return;
    *r->value = value;
    const float v = unit(value);
    applyEngineQuantity(tag, v);
    applyEngineSideEffects(tag, v);
}

void ParameterModel::followInEditor(int32_t tag) {
    if (ParameterRecord* r = table_.byTag(tag)) applyEditorSideEffects(tag, unit(*r->value));
}

void ParameterModel::applyEngineQuantity(int32_t tag, float v) {
    Engine& e = engine_;
    const EngineContext& ctx = e.ctx;
    EngineControls& c = e.controls;
    switch (tag) {
    case 0: c.masterGain = masterGain(v); break;
    case 1: e.dynamics.setGateThreshold(v); break;
    case 2: e.dynamics.setGateSpeed(v, ctx); break;
    case 3: e.dynamics.setPreampGain(v); break;
    case 4: e.dynamics.setHighPass(v, ctx); break;
    case 5: e.dynamics.setOverdrive(v); break;
    case 6: e.dynamics.setCompression(v); break;
    case 7: e.dynamics.setCompressSpeed(v, ctx); break;
    case 8: e.equaliser.setSplit(v, ctx); break;
    case 9: e.equaliser.setResponse(v, ctx); break;
    case 10: e.equaliser.setBandAmount(kEqHigh, v); break;
    case 11: e.equaliser.setBandLevel(kEqHigh, v); break;
    case 12: e.equaliser.setBandAmount(kEqMid, v); break;
    case 13: e.equaliser.setBandLevel(kEqMid, v); break;
    case 14: e.equaliser.setBandAmount(kEqLow, v); break;
    case 15: e.equaliser.setBandLevel(kEqLow, v); break;
    case 16: e.filter.setCutoff(v); break;
    case 17: e.filter.setResonance(v); break;
    case 18:
        c.filterFlow = selector(v, 3.0f, 2.0f);
        refreshFilterFlow();
        break;
    case 19: e.filter.setType(v); break;
    case 20: c.delayTime = delayTime(v); break;
    case 21: c.delayFeedback = v; break;
    case 22: c.delayLevel = v; break;
    case 23: c.delayPower = onOffUp(v); break;
    case 24: c.reverbRoom = v; break;
    case 25: c.reverbDecay = v; break;
    case 26: c.reverbLevel = v; break;
    case 27: c.reverbPower = onOffUp(v); break;
    case 28: c.fxReturn = v; break;
    case 29: e.modulation.setFollowerAmount(v); break;
    case 30: e.modulation.setFollowerSpeed(v, ctx); break;
    case 31: e.modulation.setFollowerPower(onOff(v)); break;
    case 32: e.modulation.setFollowerTarget(selectorUp(v, 8.0f, 7.0f)); break;
    case 33: e.modulation.setFollowerInvert(onOff(v)); break;
    case 34: e.modulation.setLfoAmount(v); break;
    case 35: e.modulation.setLfoSpeed(v, ctx); break;
    case 36: e.modulation.setLfoPower(onOff(v)); break;
    case 37: e.modulation.setLfoSync(onOff(v)); break;
    case 41: e.dynamics.setGateSwitch(onOffUp(v)); break;
    case 45: e.dynamics.setCompressorSwitch(onOffUp(v)); break;
    case 46: e.dynamics.setPreampSwitch(onOffUp(v)); break;
    case 71: e.modulation.setLfoTarget(selectorUp(v, 8.0f, 7.0f)); break;
    case 79: c.meterSource = static_cast<int32_t>(selector(v, 6.0f, 5.0f)); break;
    case 96: e.equaliser.setSwitch(onOffUp(v)); break;
    case 97: c.fxSwitch = onOffUp(v); break;
    case 101: c.dryMuteTarget = onOff(v) == 0.0f ? 1.0f : 0.0f; break;
    default: break; // 59, 72, 80, 81, 102, 103: editor state only
    }
}

void ParameterModel::applyEngineSideEffects(int32_t tag, float v) {
    switch (tag) {
    case 97: refreshFilterFlow(); break;
    case 24: reverb_.setParameter(1, reverbRoom(v)); break;
    case 25: reverb_.setParameter(3, v); break;
    default: break;
    }
}

void ParameterModel::applyEditorSideEffects(int32_t tag, float v) {
    switch (tag) {
    case 41:
    case 45:
    case 46:
    case 59:
    case 96: applyVisibility(tag, onOffUp(v)); break;
    case 72: {
        const bool bit1 = maskBit(1), bit2 = maskBit(2);
        applyVisibility(tag, onOffUp(v));
        if (maskBit(1) != bit1) reapply(71);
        if (maskBit(2) != bit2) {
            reapply(59);
            reapply(32);
        }
        break;
    }
    case 97: {
        const bool bit19 = maskBit(19);
        applyVisibility(tag, onOffUp(v));
        if (maskBit(19) != bit19) {
            reapply(23);
            reapply(27);
            reapply(72);
        }
        break;
    }
    case 33: {
        const float state = onOff(v);
        if (lastEfInvert_.exchange(state) != state) setParameter(59, state);
        break;
    }
    case 23:
    case 27:
    case 32:
    case 71:
    case 80:
    case 81:
    case 102:
    case 103: requestRefresh(); break;
    default: break;
    }
}

void ParameterModel::refreshFilterFlow() {
    EngineControls& c = engine_.controls;
    // The delay- and reverb-power targets follow fxSwitch at the next control block.
    c.flowIndex = std::trunc(c.fxSwitch * c.filterFlow + 1e-06f);
    c.mainFiltered = c.flowIndex >= 2.0f;
    c.sendFiltered = c.filterFlow != 0.0f;
}

void ParameterModel::applyVisibility(int32_t tag, float state) {
    if (listener_) listener_->switchChanged(tag, state);
}

bool ParameterModel::maskBit(int bit) const { return listener_ && listener_->groupShown(bit); }

void ParameterModel::requestRefresh() {
    if (listener_) listener_->requestRedraw();
}

void ParameterModel::reapply(int32_t tag) {
    if (ParameterRecord* r = table_.byTag(tag)) setParameter(tag, *r->value);
}

void ParameterModel::recompute(bool) {
    engine_.prepareRecompute();
    for (int32_t tag : kRecomputeOrder) reapply(tag);
}
