// The demo's input: a short phrase made in code, a bar of drum-like hits
// (kick, snare, hi-hat at 120 BPM) followed by a sustained A minor chord.
#pragma once

#include "AudioFile.h"

StereoAudio makeDemoPhrase(int sampleRate = 44100);
