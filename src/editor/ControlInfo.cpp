#include "editor/ControlInfo.h"

#include <cmath>

#include "editor/EditorLayout.h"
#include "editor/EditorReadouts.h"
#include "editor/ZuButton.h"
#include "editor/ZuDisplay.h"
#include "editor/ZuOptionMenu.h"

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
    {0, "Master", 51, nullptr},
    {1, "Gate threshold", 43, nullptr},
    {2, "Gate hold", 44, nullptr},
    {3, "Preamp gain", 48, nullptr},
    {4, "Low cut", 47, nullptr},
    {5, "Drive", 49, nullptr},
    {6, "Compression", 38, nullptr},
    {7, "Compressor release", 39, nullptr},
    {8, "Band split", 91, nullptr},
    {9, "Band response", 0, nullptr},
    {10, "High band compression", 84, nullptr},
    {11, "High band level", 87, nullptr},
    {12, "Mid band compression", 83, nullptr},
    {13, "Mid band level", 85, nullptr},
    {14, "Low band compression", 82, nullptr},
    {15, "Low band level", 86, nullptr},
    {16, "Filter frequency", 69, nullptr},
    {17, "Filter resonance", 70, nullptr},
    {18, "Filter routing", 0, kFlow},
    {19, "Filter type", 0, kFilterTypes},
    {20, "Delay time", 0, nullptr},
    {21, "Delay feedback", 61, nullptr},
    {22, "Delay level", 67, nullptr},
    {23, "Delay", 0, kOnOff},
    {24, "Reverb room", 65, nullptr},
    {25, "Reverb decay", 64, nullptr},
    {26, "Reverb level", 66, nullptr},
    {27, "Reverb", 0, kOnOff},
    {28, "FX return", 68, nullptr},
    {29, "Follower amount", 56, nullptr},
    {30, "Follower speed", 55, nullptr},
    {31, "Envelope follower", 0, kOnOff},
    {32, "Follower destination", 0, nullptr},
    {33, "Follower sign", 0, kInvert},
    {34, "LFO amount", 52, nullptr},
    {35, "LFO speed", 53, nullptr},
    {36, "LFO", 0, kOnOff},
    {37, "LFO rate", 0, kSync},
    {41, "Gate", 0, kOnOff},
    {45, "Compressor", 0, kOnOff},
    {46, "Preamp", 0, kOnOff},
    {71, "LFO destination", 0, nullptr},
    {72, "Modulation page", 0, kPages},
    {79, "Meter source", 0, nullptr},
    {80, "Next meter source", 0, nullptr},
    {81, "Previous meter source", 0, nullptr},
    {96, "Dynamic EQ", 0, kOnOff},
    {97, "Effects", 0, kOnOff},
    {99, "Open the manual", 0, nullptr},
    {101, "Solo effects", 0, kOnOff},
    {102, "Next preset", 0, nullptr},
    {103, "Previous preset", 0, nullptr},
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
    if (info.tag == 20) {
        const float steps = std::trunc(readouts[kDelayStep] * 13.0f + 0.5f);
        return std::to_string(int(steps)) + "/14";
    }
    if (info.tag == 9)
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
