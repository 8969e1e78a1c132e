#include "OrvelReadouts.h"

#include <memory>
#include <vector>

#include "editor/EditorLayout.h"
#include "editor/EditorReadouts.h"
#include "editor/ZuDisplay.h"
#include "effects/ZuDelay.h"
#include "effects/ZuReverb.h"
#include "engine/Engine.h"
#include "params/Mappings.h"
#include "params/ParameterModel.h"
#include "params/ParameterTable.h"

namespace {

constexpr float kRate = 44100.0f;

// Which of the panel's number displays shows a host parameter, and the unit
// the panel's label gives it (the displays print percentages bare).
struct Shown {
    int32_t tag;
    std::vector<int32_t> displays; // several: joined with "/"
    const char* unit;
};

const Shown kShown[] = {
    {0, {51}, "dB"},   {1, {43}, "dB"},  {2, {44}, "ms"},  {3, {48}, "dB"},  {4, {47}, "Hz"},
    {5, {49}, "x"},    {6, {38}, "%"},   {7, {39}, "ms"},  {8, {91}, "%"},   {9, {90, 89, 88}, "ms"},
    {10, {84}, "%"},   {11, {87}, "dB"}, {12, {83}, "%"},  {13, {85}, "dB"}, {14, {82}, "%"},
    {15, {86}, "dB"},  {16, {69}, "%"},  {17, {70}, "%"},  {21, {61}, "%"},  {22, {67}, "dB"},
    {24, {65}, "%"},   {25, {64}, "%"},  {26, {66}, "dB"}, {28, {68}, "%"},  {29, {56}, "%"},
    {30, {55}, "ms"},  {34, {52}, "%"},  {35, {53}, "Hz"},
};

constexpr int32_t kFollowerTarget = 32;

// The plug-in's engine and parameter model without its host shell: no
// settings, no presets, no editor.
struct Instance {
    Engine engine;
    ZuDelay delay{&engine.ctx};
    ZuReverb reverb{&engine.ctx};
    ParameterTable table{engine.cell};
    ParameterModel model{engine, table, reverb};

    Instance() {
        engine.attach(&delay, &reverb, &model);
        engine.configureEffects();
        engine.hostSampleRate = kRate;
        if (engine.ctx.setSampleRate(kRate)) delay.prepareForSampleRate(engine.ctx.sampleRate);
        model.recompute(true);
    }
};

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

std::array<std::string, kOrvelHostParameters> orvelReadouts(const std::array<float, kOrvelHostParameters>& values) {
    auto instance = std::make_unique<Instance>();
    Engine& engine = instance->engine;
    for (int32_t tag = 0; tag < kOrvelHostParameters; ++tag) instance->model.setParameter(tag, values[size_t(tag)]);
    // One control block of silence derives the send levels and the LFO rate, as the
    // editor sees them once the plug-in runs.
    std::vector<float> l(32), r(32), outL(32), outR(32);
    float* ins[2] = {l.data(), r.data()};
    float* outs[2] = {outL.data(), outR.data()};
    engine.resume();
    engine.process(ins, outs, 32, 120.0);
    EditorReadouts readouts;
    readouts.derive(engine);

    std::array<std::string, kOrvelHostParameters> texts;
    for (const Shown& s : kShown) {
        std::string text;
        for (int32_t tag : s.displays) {
            const layout::DisplaySpec* d = layout::displayFor(tag);
            if (!d) continue;
            const float value = d->source == layout::Source::Cell ? engine.cell[d->index]
                                                                  : readouts[layout::Readout(d->index)];
            if (!text.empty()) text += "/";
            text += trimmed(ZuDisplay::format(value * d->scale + d->offset, "", d->width, d->precision, "", false));
        }
        texts[size_t(s.tag)] = text + " " + s.unit;
    }
    const auto destinations = layout::menuEntries(kFollowerTarget);
    const auto destination = static_cast<size_t>(mapping::selectorUp(engine.cell[kFollowerTarget], 8.0f, 7.0f));
    if (destination < destinations.size()) texts[kFollowerTarget] = destinations[destination];
    return texts;
}
