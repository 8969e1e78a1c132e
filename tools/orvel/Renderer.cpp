#include "Renderer.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "CliError.h"
#include "PluginHost.h"
#include "Progress.h"

namespace {

// Where the tail ends when it ends by itself: the frame after the last one
// above the floor, once the output has stayed below it for the hold. Judged
// sample by sample, so the block size does not move it.
class TailWatch {
public:
    TailWatch(size_t tailStart, size_t hold, size_t limit)
        : lastLoud_(tailStart), hold_(hold), limit_(limit) {}

    // Frames at and after `end` are not looked at once the tail is over.
    void look(const StereoAudio& audio, size_t from, size_t to) {
        for (size_t i = from; i < to && !over_; ++i) {
            if (loud(audio.left[i]) || loud(audio.right[i])) lastLoud_ = i + 1;
            else if (i + 1 - lastLoud_ >= hold_) over_ = true;
        }
    }
    bool over() const { return over_; }
    size_t end() const { return over_ ? lastLoud_ : limit_; }

private:
    static bool loud(float s) { return !(std::fabs(s) < kFloor); } // NaN is loud too
    static inline const float kFloor = static_cast<float>(std::pow(10.0, kTailFloorDb / 20.0));
    size_t lastLoud_, hold_, limit_;
    bool over_ = false;
};

size_t framesOf(double seconds, int rate) { return static_cast<size_t>(std::llround(seconds * rate)); }

} // namespace

void prepareForRender(PluginHost& host, const StereoAudio& input, const RenderOptions& options) {
    host.configure(input.sampleRate, options.blockSize, options.tempo);
}

Rendered renderThrough(PluginHost& host, const StereoAudio& input, const RenderOptions& options,
                       bool showProgress) {
    AEffect& e = host.effect();
    if (e.numOutputs < 1) throw CliError(host.path() + " has no audio outputs");
    const int rate = input.sampleRate;
    const size_t block = static_cast<size_t>(options.blockSize);
    const double barSeconds = 4.0 * 60.0 / options.tempo;
    const size_t preroll =
        options.prerollSeconds > 0 ? framesOf(std::ceil(options.prerollSeconds / barSeconds) * barSeconds, rate) : 0;
    const size_t tailLimit = framesOf(options.tailSeconds.value_or(kTailCapSeconds), rate);
    const size_t total = input.frames() + tailLimit;
    // A bar covers the gap between the echoes of Orvel's longest delay (a bar); the
    // bounds keep very fast and very slow tempos sensible.
    TailWatch watch(input.frames(), framesOf(std::clamp(barSeconds, kTailHoldMinSeconds, kTailHoldMaxSeconds), rate), total);

    const size_t inputs = static_cast<size_t>(std::max(e.numInputs, 0));
    const size_t outputs = static_cast<size_t>(e.numOutputs);
    std::vector<std::vector<float>> in(inputs, std::vector<float>(block)), out(outputs, std::vector<float>(block));
    std::vector<float*> inPtr, outPtr;
    for (auto& c : in) inPtr.push_back(c.data());
    for (auto& c : out) outPtr.push_back(c.data());

    Rendered result;
    result.prerollFrames = preroll;
    StereoAudio& audio = result.audio;
    audio.sampleRate = rate;
    audio.fileChannels = 2;
    audio.format = input.format;
    audio.resize(options.tailSeconds ? total : input.frames());

    std::optional<Progress> progress;
    if (showProgress) progress.emplace("rendering", preroll + (options.tailSeconds ? total : input.frames()));
    host.start();
    for (size_t done = 0; done < preroll;) { // silence in, nothing kept
        const size_t n = std::min(block, preroll - done);
        for (auto& c : in) std::fill(c.begin(), c.end(), 0.0f);
        host.process(inPtr.data(), outPtr.data(), static_cast<int>(n));
        done += n;
        if (progress) progress->update(done);
    }
    for (size_t start = 0; start < total && !(start >= input.frames() && watch.over()); start += block) {
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
        if (audio.frames() < start + n) audio.resize(start + n);
        std::copy_n(out[0].begin(), n, audio.left.begin() + static_cast<std::ptrdiff_t>(start));
        std::copy_n(out[outputs > 1 ? 1 : 0].begin(), n, audio.right.begin() + static_cast<std::ptrdiff_t>(start));
        if (!options.tailSeconds && start + n > input.frames())
            watch.look(audio, std::max(start, input.frames()), start + n);
        if (progress) progress->update(preroll + std::min(start + n, input.frames()));
    }
    host.stop();
    if (!options.tailSeconds) {
        audio.resize(watch.end());
        result.tailCut = !watch.over();
    }
    return result;
}
