// A fixed set of renders through the plug-in's entry point, each reduced to
// one line: a 64-bit FNV-1a hash over the bit patterns of every output
// sample plus a few sample values. The committed table of these lines pins
// the plug-in's output exactly, on every platform and build: an
// optimisation that changes a single bit of any render shows here.
//
// Header-only and free of the test framework, so that a Windows program can
// run the same renders through a DLL (tests/windows/ReferenceRender.cpp).
#pragma once

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "params/ParameterTags.h"
#include "plugin/vst24.h"

namespace reference {

using EntryProc = AEffect* (*)(audioMasterCallback);

// A change during a render: a parameter (tag >= 0) or the host tempo (tag kTempo).
struct Event {
    uint32_t frame;
    int32_t tag;
    float value;
};
constexpr int32_t kTempo = -1;

struct Scenario {
    std::string name;
    float sampleRate;
    std::vector<Event> events; // in frame order; those at frame 0 are the setup
};

// One host for every instance: the renders run one after another.
inline VstTimeInfo& hostTime() {
    static VstTimeInfo t{};
    return t;
}

inline VstIntPtr VSTCALLBACK hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    if (opcode == audioMasterVersion) return 2400;
    if (opcode == audioMasterGetTime) return reinterpret_cast<VstIntPtr>(&hostTime());
    return 0;
}

// Deterministic stereo input without library maths (whose last bits differ
// between C libraries): a parabolic sine and noise, in loud passages, a
// quiet one below the gate threshold and silences long enough for every
// tail and detector to settle.
inline void makeInput(size_t n, float fs, std::vector<float>& l, std::vector<float>& r) {
    l.assign(n, 0.0f);
    r.assign(n, 0.0f);
    uint32_t seed = 12345u;
    const auto noise = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;
    };
    float phase = 0.0f;
    const float step = 220.0f / fs;
    for (size_t i = 0; i < n; ++i) {
        const float t = static_cast<float>(i) / fs;
        const float level = t < 0.6f ? 0.6f : t < 0.8f ? 0.004f : t >= 1.2f && t < 1.5f ? 0.9f : 0.0f;
        phase += step;
        if (phase >= 1.0f) phase -= 1.0f;
        const float x = 2.0f * phase - 1.0f;        // -1..1
        const float sine = 4.0f * x * (1.0f - (x < 0.0f ? -x : x));
        const float noise1 = noise();
        l[i] = level * (0.7f * sine + 0.4f * noise1);
        r[i] = level * (0.5f * sine - 0.3f * noise());
    }
}

inline uint64_t fnv1a(uint64_t h, uint32_t word) {
    for (int b = 0; b < 4; ++b) {
        h ^= (word >> (8 * b)) & 0xFFu;
        h *= 0x100000001B3ull;
    }
    return h;
}

inline std::string shortest(float v) {
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

// Renders one scenario in calls of varying lengths, split at event frames,
// and returns its table line: name, hash, then left samples at four points.
inline std::string render(EntryProc entry, const Scenario& s) {
    const size_t n = static_cast<size_t>(2.5f * s.sampleRate);
    std::vector<float> inL, inR;
    makeInput(n, s.sampleRate, inL, inR);

    VstTimeInfo& time = hostTime();
    time = VstTimeInfo{};
    time.sampleRate = s.sampleRate;
    time.tempo = 120.0;
    time.flags = kVstTempoValid | kVstTransportPlaying;

    AEffect* e = entry(hostCallback);
    if (!e) return s.name + " no-instance";
    e->dispatcher(e, effOpen, 0, 0, nullptr, 0.0f);
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, s.sampleRate);
    e->dispatcher(e, effSetBlockSize, 0, 512, nullptr, 0.0f);
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);

    static const size_t kCalls[] = {512, 37, 1, 256, 130, 64, 999};
    std::vector<float> outL(n), outR(n);
    size_t next = 0, call = 0;
    for (size_t pos = 0; pos < n;) {
        while (next < s.events.size() && s.events[next].frame <= pos) {
            const Event& ev = s.events[next++];
            if (ev.tag == kTempo) time.tempo = ev.value;
            else e->setParameter(e, ev.tag, ev.value);
        }
        size_t len = std::min(kCalls[call++ % (sizeof kCalls / sizeof kCalls[0])], n - pos);
        if (next < s.events.size()) len = std::min(len, s.events[next].frame - pos);
        float* ins[2] = {inL.data() + pos, inR.data() + pos};
        float* outs[2] = {outL.data() + pos, outR.data() + pos};
        e->processReplacing(e, ins, outs, static_cast<VstInt32>(len));
        pos += len;
    }
    e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f);
    e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);

    uint64_t h = 0xCBF29CE484222325ull;
    for (size_t i = 0; i < n; ++i) {
        uint32_t a, b;
        std::memcpy(&a, &outL[i], 4);
        std::memcpy(&b, &outR[i], 4);
        h = fnv1a(fnv1a(h, a), b);
    }
    char hex[17];
    for (int d = 0; d < 16; ++d) hex[d] = "0123456789abcdef"[(h >> (60 - 4 * d)) & 0xF];
    hex[16] = 0;
    std::string line = s.name + " " + hex;
    for (size_t at : {n / 5, n / 2, (3 * n) / 4, n - 1}) line += " " + shortest(outL[at]);
    return line;
}

// Settings that switch one section in with audible values, in chain order.
struct Section {
    const char* name;
    std::vector<Event> events;
};
inline const std::vector<Section>& sections() {
    static const std::vector<Section> list = {
        {"gate", {{0, kTagGate, 1.0f}, {0, kTagGateThreshold, 0.05f}}},
        {"preamp", {{0, kTagPreamp, 1.0f}, {0, kTagOverdrive, 0.4f}, {0, kTagPreampGain, 0.6f}}},
        {"comp", {{0, kTagComp, 1.0f}, {0, kTagCompression, 0.6f}}},
        {"dyn", {{0, kTagDyn, 1.0f}, {0, kTagLowComp, 0.8f}, {0, kTagHighComp, 0.7f}}},
        {"filter", {{0, kTagFxSwitch, 1.0f}, {0, kTagFilterFlow, 1.0f}, {0, kTagFilterCutoff, 0.6f},
                    {0, kTagFilterResonance, 0.5f}, {0, kTagLfoPower, 1.0f}, {0, kTagLfoAmount, 0.5f},
                    {0, kTagLfoSpeed, 0.4f}, {0, kTagLfoTarget, 0.0f}, {0, kTagFollowerPower, 1.0f},
                    {0, kTagFollowerAmount, 0.5f}, {0, kTagFollowerTarget, 0.125f}}},
        {"delay", {{0, kTagFxSwitch, 1.0f}, {0, kTagDelayPower, 1.0f}, {0, kTagDelayTime, 0.3f},
                   {0, kTagDelayFeedback, 0.5f}, {0, kTagDelayLevel, 0.8f}}},
        {"reverb", {{0, kTagFxSwitch, 1.0f}, {0, kTagReverbPower, 1.0f}, {0, kTagReverbLevel, 0.6f},
                    {0, kTagReverbRoom, 0.5f}, {0, kTagReverbDecay, 0.5f}}},
    };
    return list;
}

// The built-in start-up values switch several sections on; this switches
// every section and both modulation sources off.
inline std::vector<Event> allOff() {
    std::vector<Event> ev;
    for (int32_t tag : {kTagGate, kTagPreamp, kTagComp, kTagDyn, kTagFxSwitch, kTagDelayPower, kTagReverbPower,
                        kTagLfoPower, kTagFollowerPower})
        ev.push_back({0, tag, 0.0f});
    return ev;
}

inline std::vector<Event> alone(const Section& s) {
    std::vector<Event> ev = allOff();
    ev.insert(ev.end(), s.events.begin(), s.events.end());
    return ev;
}

inline std::vector<Event> allOn() {
    std::vector<Event> ev;
    for (const Section& s : sections()) ev.insert(ev.end(), s.events.begin(), s.events.end());
    ev.insert(ev.end(), {{0, kTagFxReturn, 0.8f},
                         {0, kTagFollowerTarget, 0.9f}, // follower on the reverb level
                         {0, kTagMaster, 0.5f}});       // unity master
    return ev;
}

inline std::vector<Scenario> scenarios() {
    std::vector<Scenario> list;
    list.push_back({"startup-44100", 44100.0f, {}});
    list.push_back({"startup-96000", 96000.0f, {}});
    list.push_back({"all-off-44100", 44100.0f, allOff()});
    list.push_back({"all-on-44100", 44100.0f, allOn()});
    list.push_back({"all-on-48000", 48000.0f, allOn()});
    list.push_back({"all-on-96000", 96000.0f, allOn()});
    for (const Section& w : sections()) list.push_back({std::string("alone-") + w.name, 44100.0f, alone(w)});

    Scenario tempo{"tempo-changes", 44100.0f, allOn()};
    tempo.events.insert(tempo.events.end(), {{22050, kTempo, 140.0f}, {44100, kTempo, 60.0f}, {50000, kTempo, 600.0f},
                                             {52000, kTempo, 95.5f}, {70000, kTempo, 30.0f}, {90000, kTempo, 120.0f}});
    list.push_back(tempo);

    // Every switch off and on again while audio runs, from every section on.
    Scenario toggles{"switches-toggled", 44100.0f, allOn()};
    const int32_t switches[] = {kTagGate,          kTagPreamp,     kTagComp,        kTagDyn,
                                kTagFxSwitch,      kTagDelayPower, kTagReverbPower, kTagLfoPower,
                                kTagFollowerPower, kTagSolo,       kTagFilterFlow};
    uint32_t at = 4000;
    for (int32_t tag : switches) {
        toggles.events.push_back({at, tag, 0.0f});
        toggles.events.push_back({at + 9001, tag, 1.0f});
        at += 5003;
    }
    toggles.events.push_back({at, kTagFilterFlow, 0.5f}); // filter in the sends only
    toggles.events.push_back({at + 3000, kTagFilterFlow, 0.0f});
    std::stable_sort(toggles.events.begin(), toggles.events.end(),
                     [](const Event& a, const Event& b) { return a.frame < b.frame; });
    list.push_back(toggles);

    // From every section off each section in turn, after it has stood off through silence.
    Scenario onFromStartup{"switched-on-from-all-off", 48000.0f, allOff()};
    uint32_t when = 40000;
    for (const Section& w : sections()) {
        for (Event e : w.events) {
            e.frame = when;
            onFromStartup.events.push_back(e);
        }
        when += 6007;
    }
    list.push_back(onFromStartup);

    // A short bar, so that a silent delay settles within the render: its send
    // off and on again while the loud passage runs, then a tail to silence.
    Scenario delayWakes{"delay-settled-wakes", 44100.0f, alone(sections()[5])}; // the delay
    delayWakes.events.insert(delayWakes.events.end(), {{0, kTempo, 480.0f}, {0, 20, 0.0f}, {0, 21, 0.0f},
                                                       {0, 23, 0.0f}, {50000, 23, 1.0f}, {70000, 23, 0.0f}});
    list.push_back(delayWakes);
    return list;
}

} // namespace reference
