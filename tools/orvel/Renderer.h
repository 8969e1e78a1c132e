// Runs audio through a configured plug-in in host-sized blocks as a host
// that has been playing does: silence first until the plug-in has settled
// (the pre-roll, not written out), then the input, then silent input while
// it rings out (the tail).
#pragma once

#include <optional>

#include "AudioFile.h"

class PluginHost;

// Output below this level counts as silence when the tail ends by itself.
constexpr double kTailFloorDb = -90.0;
// How long the output must stay below the floor: a bar of the tempo, within these.
constexpr double kTailHoldMinSeconds = 1.0;
constexpr double kTailHoldMaxSeconds = 6.0;
// The longest tail that ends by itself.
constexpr double kTailCapSeconds = 60.0;
// Long enough for Orvel's delay to glide to its time from a cold start.
constexpr double kDefaultPrerollSeconds = 8.0;

struct RenderOptions {
    int blockSize = 512;
    double tempo = 120.0;
    // A fixed tail; without one the tail ends when the output has stayed
    // below the floor for a bar of the tempo (1 to 6 s), at most after
    // kTailCapSeconds.
    std::optional<double> tailSeconds;
    // Rounded up to whole bars, so the input starts on a bar line.
    double prerollSeconds = kDefaultPrerollSeconds;
};

struct Rendered {
    StereoAudio audio;         // input frames plus the tail
    size_t prerollFrames = 0;
    bool tailCut = false;      // the tail reached its cap while still sounding
};

// The stream settings a render needs, sent before any state is loaded.
void prepareForRender(PluginHost& host, const StereoAudio& input, const RenderOptions& options);

// Stereo in, stereo out: a plug-in with one input gets the mix of both
// channels, one with one output fills both output channels. A progress bar
// shows on a terminal when asked for.
Rendered renderThrough(PluginHost& host, const StereoAudio& input, const RenderOptions& options,
                       bool showProgress = false);
