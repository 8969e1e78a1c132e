#include "editor/EditorReadouts.h"

#include <algorithm>
#include <cmath>

#include "engine/Engine.h"
#include "params/Mappings.h"
#include "params/ParameterTags.h"

using namespace layout;

namespace {

// Levels of silence would print as minus infinity; -100 dB is the floor.
float decibels(float gain) { return 20.0f * std::log10(std::max(gain, 1e-5f)); }

// The stepped time of the slowest followers, as the engine derives it.
float holdSteps(float v) { return mapping::steps(0.999f - 0.989f * v); }

} // namespace

void EditorReadouts::derive(const Engine& e) {
    float* r = value;
    auto cell = [&](int tag) { return mapping::unit(e.cell[tag]); };

    // The five meters and the two send levels.
    const float rate = e.modulation.lfoRate();
    r[kLfoRateIndicator] = rate * (1.0f / 12.0f);
    r[kReverbSendDb] = 20.0f * std::log10(e.meters.reverbSendLevel + 1e-8f);
    r[kDelaySendDb] = 20.0f * std::log10(e.meters.delaySendLevel + 1e-8f);
    const float p = std::trunc(1.25f * e.dynamics.compressorReduction() * 34.0f);
    r[kReductionFraction] = p / 34.0f;
    r[kReductionComplement] = 1.0f - p / 34.0f;
    r[kCompressorInputMeter] = std::clamp(std::pow(e.meters.compressorInput, 0.8f) * 31.9f, 0.0f, 31.9f);
    const float m = std::clamp(e.meters.selectableDisplay, 0.0f, 1.0f);
    r[kOutputMeter] = std::clamp(std::sqrt(m) * 64.0f * std::sqrt(e.controls.masterGain), 0.0f, 64.0f);

    // The displays' quantities.
    r[kGateOpen] = e.meters.gateOpen;
    const float t = mapping::steps(cell(kTagGateThreshold));
    r[kGateThresholdDb] = decibels(t * t);
    r[kGateHoldMs] = 400.0f - 390.0f * cell(kTagGateSpeed);
    const float g = cell(kTagPreampGain);
    r[kPreampGainDb] = decibels(12.0f * g * g * g * g);
    r[kHighPassHz] = e.dynamics.preamp().cutoffHz();
    r[kDrive] = e.dynamics.preamp().driveTarget();
    r[kCompressionPercent] = 100.0f * e.dynamics.compressor().amount();
    r[kReleaseMs] = 1000.0f * holdSteps(cell(kTagCompressSpeed));
    r[kMasterDb] = decibels(e.controls.masterGain);
    r[kLfoRateHz] = rate;
    r[kFollowerHoldMs] = 500.0f * holdSteps(cell(kTagFollowerSpeed));
    r[kFollowerLevel] = std::clamp(e.modulation.follower().envelope(), 0.0f, 1.0f);
    const float delaySteps = std::trunc(1.1f * cell(kTagDelayTime) / 0.071429f);
    r[kDelayStep] = std::min(delaySteps, 13.0f) / 13.0f;
    r[kHighLevelDb] = decibels(2.0f * cell(kTagHighLevel));
    r[kMidLevelDb] = decibels(2.0f * cell(kTagMidLevel));
    r[kLowLevelDb] = decibels(2.0f * cell(kTagLowLevel));
    const float response = mapping::steps(0.999f - 0.949f * cell(kTagEqResponse));
    const float r2 = response * response;
    r[kHighHoldMs] = 450.0f * r2;
    r[kMidHoldMs] = 750.0f * r2;
    r[kLowHoldMs] = 1000.0f * r2;
}
