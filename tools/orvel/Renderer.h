// Runs audio through a configured plug-in in host-sized blocks, then lets
// it ring out for the tail with silent input.
#pragma once

#include "AudioFile.h"

class PluginHost;

struct RenderOptions {
    int blockSize = 512;
    double tempo = 120.0;
    double tailSeconds = 2.0;
};

// The stream settings a render needs, sent before any state is loaded.
void prepareForRender(PluginHost& host, const StereoAudio& input, const RenderOptions& options);

// Output of input frames plus the tail. Stereo in, stereo out: a plug-in
// with one input gets the mix of both channels, one with one output fills
// both output channels. A progress bar shows on a terminal when asked for.
StereoAudio renderThrough(PluginHost& host, const StereoAudio& input, const RenderOptions& options,
                          bool showProgress = false);
