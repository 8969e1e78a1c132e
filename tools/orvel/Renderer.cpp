#include "Renderer.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "CliError.h"
#include "PluginHost.h"
#include "Progress.h"

void prepareForRender(PluginHost& host, const StereoAudio& input, const RenderOptions& options) {
    host.configure(input.sampleRate, options.blockSize, options.tempo);
}

StereoAudio renderThrough(PluginHost& host, const StereoAudio& input, const RenderOptions& options,
                          bool showProgress) {
    AEffect& e = host.effect();
    if (e.numOutputs < 1) throw CliError(host.path() + " has no audio outputs");
    const size_t block = static_cast<size_t>(options.blockSize);
    const size_t tail = static_cast<size_t>(std::llround(options.tailSeconds * input.sampleRate));
    const size_t total = input.frames() + tail;

    const size_t inputs = static_cast<size_t>(std::max(e.numInputs, 0));
    const size_t outputs = static_cast<size_t>(e.numOutputs);
    std::vector<std::vector<float>> in(inputs, std::vector<float>(block)), out(outputs, std::vector<float>(block));
    std::vector<float*> inPtr, outPtr;
    for (auto& c : in) inPtr.push_back(c.data());
    for (auto& c : out) outPtr.push_back(c.data());

    StereoAudio result;
    result.sampleRate = input.sampleRate;
    result.fileChannels = 2;
    result.format = input.format;
    result.resize(total);

    std::optional<Progress> progress;
    if (showProgress) progress.emplace("rendering", total);
    host.start();
    for (size_t start = 0; start < total; start += block) {
        const size_t n = std::min(block, total - start);
        for (auto& c : in) std::fill(c.begin(), c.end(), 0.0f);
        for (size_t i = 0; i < n && start + i < input.frames(); ++i) {
            const float l = input.left[start + i], r = input.right[start + i];
            if (inputs == 1) {
                in[0][i] = 0.5f * (l + r);
            } else if (inputs >= 2) {
                in[0][i] = l;
                in[1][i] = r;
            }
        }
        host.process(inPtr.data(), outPtr.data(), static_cast<int>(n));
        std::copy_n(out[0].begin(), n, result.left.begin() + static_cast<std::ptrdiff_t>(start));
        std::copy_n(out[outputs > 1 ? 1 : 0].begin(), n, result.right.begin() + static_cast<std::ptrdiff_t>(start));
        if (progress) progress->update(start + n);
    }
    host.stop();
    return result;
}
