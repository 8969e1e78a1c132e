#include "editor/ControlInfo.h"

#include <cmath>

#include "editor/EditorLayout.h"
#include "editor/EditorReadouts.h"
#include "editor/ZuButton.h"
#include "editor/ZuDisplay.h"
#include "editor/ZuOptionMenu.h"
#include "params/ParameterTags.h"

using namespace layout;

namespace {

struct ControlDescription {
    int32_t tag;
    const char* name;
    int32_t display;             // the readout that shows the value, 0 for none
    const char* const* states;   // buttons: one word per state, then null
};

constexpr const char* kOnOff[] = {"off", "on", nullptr};
constexpr const char* kFlow[] = {"off", "sends", "main", nullptr};
constexpr const char* kFilterTypes[] = {"high-pass", "band-pass", "low-pass", nullptr};
constexpr const char* kInvert[] = {"+", "inverted", nullptr};
constexpr const char* kSync[] = {"free", "sync", nullptr};
constexpr const char* kPages[] = {"LFO", "envelope", nullptr};

const ControlDescription kInfo[] = {
    {kTagMaster, "Master", 51, nullptr},
    {kTagGateThreshold, "Gate threshold", 43, nullptr},
    {kTagGateSpeed, "Gate hold", 44, nullptr},
    {kTagPreampGain, "Preamp gain", 48, nullptr},
    {kTagHighPass, "Low cut", 47, nullptr},
    {kTagOverdrive, "Drive", 49, nullptr},
    {kTagCompression, "Compression", 38, nullptr},
    {kTagCompressSpeed, "Compressor release", 39, nullptr},
    {kTagSplitFreq, "Band split", 91, nullptr},
    {kTagEqResponse, "Band response", 0, nullptr},
    {kTagHighComp, "High band compression", 84, nullptr},
    {kTagHighLevel, "High band level", 87, nullptr},
    {kTagMidComp, "Mid band compression", 83, nullptr},
    {kTagMidLevel, "Mid band level", 85, nullptr},
    {kTagLowComp, "Low band compression", 82, nullptr},
    {kTagLowLevel, "Low band level", 86, nullptr},
    {kTagFilterCutoff, "Filter frequency", 69, nullptr},
    {kTagFilterResonance, "Filter resonance", 70, nullptr},
    {kTagFilterFlow, "Filter routing", 0, kFlow},
    {kTagFilterType, "Filter type", 0, kFilterTypes},
    {kTagDelayTime, "Delay time", 0, nullptr},
    {kTagDelayFeedback, "Delay feedback", 61, nullptr},
    {kTagDelayLevel, "Delay level", 67, nullptr},
    {kTagDelayPower, "Delay", 0, kOnOff},
    {kTagReverbRoom, "Reverb room", 65, nullptr},
    {kTagReverbDecay, "Reverb decay", 64, nullptr},
    {kTagReverbLevel, "Reverb level", 66, nullptr},
    {kTagReverbPower, "Reverb", 0, kOnOff},
    {kTagFxReturn, "FX return", 68, nullptr},
    {kTagFollowerAmount, "Follower amount", 56, nullptr},
    {kTagFollowerSpeed, "Follower speed", 55, nullptr},
    {kTagFollowerPower, "Envelope follower", 0, kOnOff},
    {kTagFollowerTarget, "Follower destination", 0, nullptr},
    {kTagFollowerInvert, "Follower sign", 0, kInvert},
    {kTagLfoAmount, "LFO amount", 52, nullptr},
    {kTagLfoSpeed, "LFO speed", 53, nullptr},
    {kTagLfoPower, "LFO", 0, kOnOff},
    {kTagLfoSync, "LFO rate", 0, kSync},
    {kTagGate, "Gate", 0, kOnOff},
    {kTagComp, "Compressor", 0, kOnOff},
    {kTagPreamp, "Preamp", 0, kOnOff},
    {kTagLfoTarget, "LFO destination", 0, nullptr},
    {kTagModulationPage, "Modulation page", 0, kPages},
    {kTagMeterSource, "Meter source", 0, nullptr},
    {kTagMeterUp, "Next meter source", 0, nullptr},
    {kTagMeterDown, "Previous meter source", 0, nullptr},
    {kTagDyn, "Dynamic EQ", 0, kOnOff},
    {kTagFxSwitch, "Effects", 0, kOnOff},
    {kManualLinkTag, "Open the manual", 0, nullptr},
    {kTagSolo, "Solo effects", 0, kOnOff},
    {kTagNextPreset, "Next preset", 0, nullptr},
    {kTagPreviousPreset, "Previous preset", 0, nullptr},
};

const ControlDescription* infoFor(int32_t tag) {
    for (const ControlDescription& s : kInfo)
        if (s.tag == tag) return &s;
    return nullptr;
}

std::string trimmed(const std::string& s) {
    const size_t first = s.find_first_not_of(' ');
    const size_t last = s.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : s.substr(first, last - first + 1);
}

// The readout's text as the panel prints it, without its field padding.
std::string readoutText(int32_t tag, const float* cells, const EditorReadouts& readouts) {
    const DisplaySpec* d = displayFor(tag);
    if (!d) return std::string();
    const float value = d->source == Source::Cell ? cells[d->index] : readouts[Readout(d->index)];
    return trimmed(ZuDisplay::format(value * d->scale + d->offset, "", d->width, d->precision, d->unit, false));
}

std::string valueOf(const ZuControl& control, const ControlDescription& info, const float* cells,
                    const EditorReadouts& readouts) {
    if (info.display) return readoutText(info.display, cells, readouts);
    if (const auto* b = dynamic_cast<const ZuButton*>(&control); b && info.states) return info.states[b->getState()];
    if (const auto* m = dynamic_cast<const ZuOptionMenu*>(&control); m) {
        const ZuOptionMenuEntryInfo* e = m->getEntry(m->findValue(int32_t(m->getValue())));
        return e ? e->text : std::string();
    }
    if (info.tag == kTagDelayTime) {
        const float steps = std::trunc(readouts[kDelayStep] * 13.0f + 0.5f);
        return std::to_string(int(steps)) + "/14";
    }
    if (info.tag == kTagEqResponse)
        return "hold " + readoutText(90, cells, readouts) + " / " + readoutText(89, cells, readouts) + " / " +
               readoutText(88, cells, readouts);
    return std::string();
}

} // namespace

const char* controlStateWord(int32_t tag, int32_t state) {
    const ControlDescription* info = infoFor(tag);
    if (!info || !info->states || state < 0) return nullptr;
    for (int32_t i = 0; i < state; ++i)
        if (!info->states[i]) return nullptr;
    return info->states[state];
}

std::string controlInfo(const ZuControl& control, const float* cells, const EditorReadouts& readouts) {
    const ControlDescription* info = infoFor(control.getTag());
    if (!info) return control.getInfoText();
    const std::string value = valueOf(control, *info, cells, readouts);
    return value.empty() ? info->name : std::string(info->name) + " " + value;
}
