// The audio engine embedded in the plug-in object: the timing context, the
// parameter cells (indexed by tag), the processing modules and the state of
// the processing loop. The send effects and the recompute routine belong to
// the plug-in; the engine reaches them through pointers set by attach().
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/BuildingBlocks.h"
#include "engine/DynamicEq.h"
#include "engine/Dynamics.h"
#include "engine/EngineContext.h"
#include "engine/EngineMeters.h"
#include "engine/Modulation.h"
#include "engine/OutputStage.h"
#include "engine/RecomputeHandler.h"
#include "engine/ResonantFilter.h"
#include "engine/SendBus.h"
#include "params/ParameterTable.h"

class SendEffect;

// Control values written by the parameter model, read by the loop at its
// next sample or control block. Switches hold 0.0 or 1.0; the flags are
// atomic because the two threads share them.
struct EngineControls {
    float masterGain = 1.0f;     // 4v^2 of `master`
    float dryMuteTarget = 1.0f;  // 0 while `solo` is on
    float fxSwitch = 0.0f;       // effects section on
    float filterFlow = 0.0f;     // n of `filter_sig_flow`
    float flowIndex = 0.0f;      // floor(fxSwitch * n + 1e-06)
    std::atomic<bool> mainFiltered{false}; // main signal M = F (flow index 2)
    std::atomic<bool> sendFiltered{false}; // send source S = F (n != 0)
    float delayPower = 0.0f;     // `delay_power` switch
    float reverbPower = 0.0f;    // `reverb_power` switch
    float delayTime = 0.0f;      // stepped delay-time control
    float delayFeedback = 0.0f;
    float delayLevel = 0.0f;
    float reverbRoom = 0.0f;     // v of `rvb_room`
    float reverbDecay = 0.0f;
    float reverbLevel = 0.0f;
    float fxReturn = 0.0f;
    int32_t meterSource = kMeterInputLeft;
};

class Engine {
public:
    Engine();

    void attach(SendEffect* delay, SendEffect* reverb, RecomputeHandler* recompute);
    // The configuration both send effects get once, before the first recompute.
    void configureEffects();
    // Recompute up to the re-application of the parameters: context from the
    // host-visible rate, engine constants, send effects reset, meter decay.
    void prepareRecompute();
    void suspend();
    void resume();

    // One processing call after the handshake: n samples (n <= 0 processes
    // none), hostTempo already resolved from the host's time information.
    void process(float** inputs, float** outputs, int32_t n, double hostTempo);
    // The tempo a processing call works with: the host's, at least 45; the
    // stored one when the host gives none, or one of 500 or more.
    static double resolveHostTempo(bool hasTimeInfo, double hostTempo, double storedTempo);

    EngineContext ctx;
    float hostSampleRate = 44100.0f; // as the host set it, accepted or not
    float cell[kMaxTag] = {};        // normalised parameter values, by tag
    EngineControls controls;

    Dynamics dynamics;
    DynamicEq equaliser;
    ResonantFilter filter;
    Modulation modulation;

    ParamRamp dryMute;
    ParamRamp delayLevel;
    ParamRamp delayPower;
    ParamRamp reverbLevel;
    ParamRamp reverbPower;
    FirstOrderHighPass outputHighPass[2];
    SendBus sends;
    OutputStage output;
    EngineMeters meters;

private:
    // The samples since the last stretch ended, up to end: the send effects
    // run and their returns are added, then the master gain and the DC blocker.
    void finishStretch(float* outLeft, float* outRight, int32_t end);
    void controlBlock(float* outLeft, float* outRight, int32_t i, double hostTempo);
    void tempoBlock(double hostTempo);
    void sendSettingsBlock();
    // The per-sample chain, stage after stage, on the n input pairs from
    // index i up to the next control block; writes the direct output and the sends.
    void processStretch(const float* inL, const float* inR, float* outLeft, float* outRight, int32_t i, int32_t n);
    // Routing, sends, direct output and the selectable meter's per-frame values.
    void routeStretch(float* outLeft, float* outRight, int32_t i, int32_t n, int32_t source);

    SendEffect* delay_ = nullptr;
    SendEffect* reverb_ = nullptr;
    RecomputeHandler* recompute_ = nullptr;

    // Stretch buffers: the chain signal (the dry signal once the high-pass
    // has run), the filtered signal, the left compressor input and the
    // selectable meter's source.
    StereoSample chain_[kControlBlockSize];
    StereoSample filtered_[kControlBlockSize];
    float meterSource_[kControlBlockSize];
};
