// The tags setParameter takes: 0..37 are the host parameters, the rest the
// editor's switches. Each name is followed by the record's key where the two
// differ. Values are fixed: hosts automate by them and MIDI maps store them.
//
// Include this only from source files: test helpers still declare some of
// these names themselves, next to the headers they include.
#pragma once

#include <cstdint>

enum Tag : int32_t {
    kTagMaster = 0,
    kTagGateThreshold = 1, // gate_thres
    kTagGateSpeed = 2,
    kTagPreampGain = 3,
    kTagHighPass = 4, // hipass_freq
    kTagOverdrive = 5,
    kTagCompression = 6,
    kTagCompressSpeed = 7,
    kTagSplitFreq = 8,
    kTagEqResponse = 9, // dyn_eq_response
    kTagHighComp = 10,
    kTagHighLevel = 11,
    kTagMidComp = 12,
    kTagMidLevel = 13,
    kTagLowComp = 14,
    kTagLowLevel = 15,
    kTagFilterCutoff = 16,
    kTagFilterResonance = 17, // filter_reso
    kTagFilterFlow = 18,      // filter_sig_flow
    kTagFilterType = 19,
    kTagDelayTime = 20,     // dly_time
    kTagDelayFeedback = 21, // dly_feedback
    kTagDelayLevel = 22,    // dly_level
    kTagDelayPower = 23,
    kTagReverbRoom = 24,  // rvb_room
    kTagReverbDecay = 25, // rvb_decay
    kTagReverbLevel = 26, // rvb_level
    kTagReverbPower = 27,
    kTagFxReturn = 28,
    kTagFollowerAmount = 29, // ef_amount
    kTagFollowerSpeed = 30,  // ef_speed
    kTagFollowerPower = 31,  // ef_power
    kTagFollowerTarget = 32,
    kTagFollowerInvert = 33, // efinvert
    kTagLfoAmount = 34,
    kTagLfoSpeed = 35,
    kTagLfoPower = 36,
    kTagLfoSync = 37, // syncmode

    kTagGate = 41,
    kTagComp = 45,
    kTagPreamp = 46,
    kTagFollowerInvertLamp = 59, // efinvertbmp: the editor's copy of efinvert
    kTagLfoTarget = 71,
    kTagModulationPage = 72, // Switch_c: LFO or envelope-follower controls
    kTagMeterSource = 79,    // List
    kTagMeterUp = 80,        // up
    kTagMeterDown = 81,      // down
    kTagDyn = 96,
    kTagFxSwitch = 97, // fxwitch
    kTagSolo = 101,
    kTagNextPreset = 102,     // prevpr
    kTagPreviousPreset = 103, // prevpr
};
