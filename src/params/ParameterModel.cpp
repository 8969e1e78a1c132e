#include "params/ParameterModel.h"

#include "engine/Engine.h"
#include "engine/SendEffect.h"
#include "params/Mappings.h"
#include "params/ParameterTable.h"
#include "params/ParameterTags.h"
#include "params/SwitchPositions.h"

using namespace mapping;

const int32_t ParameterModel::kRecomputeOrder[48] = {
    // the switches and destinations first: later mappings read them
    kTagGate, kTagComp, kTagPreamp, kTagFollowerInvertLamp, kTagDelayPower, kTagReverbPower, kTagFollowerTarget,
    kTagLfoTarget, kTagModulationPage, kTagDyn, kTagFxSwitch,
    // gate, preamp and compressor
    kTagGateSpeed, kTagGateThreshold, kTagHighPass, kTagOverdrive, kTagPreampGain, kTagCompressSpeed, kTagCompression,
    // dynamic equaliser
    kTagSplitFreq, kTagEqResponse, kTagLowComp, kTagLowLevel, kTagMidComp, kTagMidLevel, kTagHighComp, kTagHighLevel,
    // output and routing
    kTagMaster, kTagSolo, kTagFilterFlow,
    // modulation
    kTagLfoPower, kTagLfoSync, kTagLfoSpeed, kTagLfoAmount, kTagFollowerPower, kTagFollowerAmount, kTagFollowerSpeed,
    kTagFollowerInvert,
    // filter and sends
    kTagFilterCutoff, kTagFilterResonance, kTagFilterType, kTagDelayLevel, kTagFxReturn, kTagReverbLevel, kTagDelayTime,
    kTagDelayFeedback, kTagReverbRoom, kTagReverbDecay,
    // meter
    kTagMeterSource};

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
    case kTagMaster: c.masterGain = masterGain(v); break;
    case kTagGateThreshold: e.dynamics.setGateThreshold(v); break;
    case kTagGateSpeed: e.dynamics.setGateSpeed(v, ctx); break;
    case kTagPreampGain: e.dynamics.setPreampGain(v); break;
    case kTagHighPass: e.dynamics.setHighPass(v, ctx); break;
    case kTagOverdrive: e.dynamics.setOverdrive(v); break;
    case kTagCompression: e.dynamics.setCompression(v); break;
    case kTagCompressSpeed: e.dynamics.setCompressSpeed(v, ctx); break;
    case kTagSplitFreq: e.equaliser.setSplit(v, ctx); break;
    case kTagEqResponse: e.equaliser.setResponse(v, ctx); break;
    case kTagHighComp: e.equaliser.setBandAmount(kEqHigh, v); break;
    case kTagHighLevel: e.equaliser.setBandLevel(kEqHigh, v); break;
    case kTagMidComp: e.equaliser.setBandAmount(kEqMid, v); break;
    case kTagMidLevel: e.equaliser.setBandLevel(kEqMid, v); break;
    case kTagLowComp: e.equaliser.setBandAmount(kEqLow, v); break;
    case kTagLowLevel: e.equaliser.setBandLevel(kEqLow, v); break;
    case kTagFilterCutoff: e.filter.setCutoff(v); break;
    case kTagFilterResonance: e.filter.setResonance(v); break;
    case kTagFilterFlow:
        c.filterFlow = position(tag, v, 3);
        refreshFilterFlow();
        break;
    case kTagFilterType: e.filter.setType(v); break;
    case kTagDelayTime: c.delayTime = delayTime(v); break;
    case kTagDelayFeedback: c.delayFeedback = v; break;
    case kTagDelayLevel: c.delayLevel = v; break;
    case kTagDelayPower: c.delayPower = position(tag, v, 2); break;
    case kTagReverbRoom: c.reverbRoom = v; break;
    case kTagReverbDecay: c.reverbDecay = v; break;
    case kTagReverbLevel: c.reverbLevel = v; break;
    case kTagReverbPower: c.reverbPower = position(tag, v, 2); break;
    case kTagFxReturn: c.fxReturn = v; break;
    case kTagFollowerAmount: e.modulation.setFollowerAmount(v); break;
    case kTagFollowerSpeed: e.modulation.setFollowerSpeed(v, ctx); break;
    case kTagFollowerPower: e.modulation.setFollowerPower(position(tag, v, 2)); break;
    case kTagFollowerTarget: e.modulation.setFollowerTarget(position(tag, v, 8)); break;
    case kTagFollowerInvert: e.modulation.setFollowerInvert(position(tag, v, 2)); break;
    case kTagLfoAmount: e.modulation.setLfoAmount(v); break;
    case kTagLfoSpeed: e.modulation.setLfoSpeed(v, ctx); break;
    case kTagLfoPower: e.modulation.setLfoPower(position(tag, v, 2)); break;
    case kTagLfoSync: e.modulation.setLfoSync(position(tag, v, 2)); break;
    case kTagGate: e.dynamics.setGateSwitch(position(tag, v, 2)); break;
    case kTagComp: e.dynamics.setCompressorSwitch(position(tag, v, 2)); break;
    case kTagPreamp: e.dynamics.setPreampSwitch(position(tag, v, 2)); break;
    case kTagLfoTarget: e.modulation.setLfoTarget(position(tag, v, 8)); break;
    case kTagMeterSource: c.meterSource = static_cast<int32_t>(position(tag, v, 6)); break;
    case kTagDyn: e.equaliser.setSwitch(position(tag, v, 2)); break;
    case kTagFxSwitch: c.fxSwitch = position(tag, v, 2); break;
    case kTagSolo: c.dryMuteTarget = position(tag, v, 2) == 0.0f ? 1.0f : 0.0f; break;
    default: break; // the follower-sign lamp, the page, the meter and preset buttons: editor state only
    }
}

void ParameterModel::applyEngineSideEffects(int32_t tag, float v) {
    switch (tag) {
    case kTagFxSwitch: refreshFilterFlow(); break;
    case kTagReverbRoom: reverb_.setParameter(1, reverbRoom(v)); break;
    case kTagReverbDecay: reverb_.setParameter(3, v); break;
    default: break;
    }
}

void ParameterModel::applyEditorSideEffects(int32_t tag, float v) {
    switch (tag) {
    case kTagGate:
    case kTagComp:
    case kTagPreamp:
    case kTagFollowerInvertLamp:
    case kTagDyn: applyVisibility(tag, position(tag, v, 2)); break;
    case kTagModulationPage: {
        const bool bit1 = maskBit(1), bit2 = maskBit(2);
        applyVisibility(tag, position(tag, v, 2));
        if (maskBit(1) != bit1) reapply(kTagLfoTarget);
        if (maskBit(2) != bit2) {
            reapply(kTagFollowerInvertLamp);
            reapply(kTagFollowerTarget);
        }
        break;
    }
    case kTagFxSwitch: {
        const bool bit19 = maskBit(19);
        applyVisibility(tag, position(tag, v, 2));
        if (maskBit(19) != bit19) {
            reapply(kTagDelayPower);
            reapply(kTagReverbPower);
            reapply(kTagModulationPage);
        }
        break;
    }
    case kTagFollowerInvert: {
        const float state = position(tag, v, 2);
        if (lastEfInvert_.exchange(state) != state) setParameter(kTagFollowerInvertLamp, state);
        break;
    }
    case kTagDelayPower:
    case kTagReverbPower:
    case kTagFollowerTarget:
    case kTagLfoTarget:
    case kTagMeterUp:
    case kTagMeterDown:
    case kTagNextPreset:
    case kTagPreviousPreset: requestRefresh(); break;
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
