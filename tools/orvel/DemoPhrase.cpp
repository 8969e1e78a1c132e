#include "DemoPhrase.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kBeat = 0.5;         // seconds at 120 BPM
constexpr double kChordStart = 4 * kBeat;
constexpr double kChordLength = 2.0;
constexpr float kOutputGain = 0.5f;

// Repeatable white noise in -1..1.
class Noise {
public:
    float next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<float>(static_cast<int32_t>(state_)) / 2147483648.0f;
    }

private:
    uint32_t state_ = 12345u;
};

void addKick(StereoAudio& a, double at) {
    const int fs = a.sampleRate;
    const size_t start = static_cast<size_t>(at * fs);
    double phase = 0.0;
    for (size_t i = 0; i < static_cast<size_t>(0.35 * fs) && start + i < a.frames(); ++i) {
        const double t = static_cast<double>(i) / fs;
        const double frequency = 45.0 + 110.0 * std::exp(-t * 30.0); // the pitch drops like a drum skin
        phase += 2.0 * kPi * frequency / fs;
        const float s = static_cast<float>(0.7 * std::sin(phase) * std::exp(-t * 9.0));
        a.left[start + i] += s;
        a.right[start + i] += s;
    }
}

void addNoiseHit(StereoAudio& a, Noise& noise, double at, double length, double decay, float level, float pan) {
    const int fs = a.sampleRate;
    const size_t start = static_cast<size_t>(at * fs);
    float previous = 0.0f;
    for (size_t i = 0; i < static_cast<size_t>(length * fs) && start + i < a.frames(); ++i) {
        const double t = static_cast<double>(i) / fs;
        const float white = noise.next();
        const float bright = white - previous; // a first difference tilts the noise upwards
        previous = white;
        const float s = level * bright * static_cast<float>(std::exp(-t * decay));
        a.left[start + i] += s * (1.0f - pan);
        a.right[start + i] += s * (1.0f + pan);
    }
}

void addSnareBody(StereoAudio& a, double at) {
    const int fs = a.sampleRate;
    const size_t start = static_cast<size_t>(at * fs);
    for (size_t i = 0; i < static_cast<size_t>(0.15 * fs) && start + i < a.frames(); ++i) {
        const double t = static_cast<double>(i) / fs;
        const float s = static_cast<float>(0.25 * std::sin(2.0 * kPi * 190.0 * t) * std::exp(-t * 25.0));
        a.left[start + i] += s;
        a.right[start + i] += s;
    }
}

void addChord(StereoAudio& a) {
    const int fs = a.sampleRate;
    const double notes[] = {220.0, 261.63, 329.63, 440.0};
    const size_t start = static_cast<size_t>(kChordStart * fs);
    const size_t length = static_cast<size_t>(kChordLength * fs);
    for (size_t i = 0; i < length && start + i < a.frames(); ++i) {
        const double t = static_cast<double>(i) / fs;
        const double attack = std::min(1.0, t / 0.02);
        const double release = std::min(1.0, (kChordLength - t) / 0.3);
        double l = 0.0, r = 0.0;
        for (double f : notes) {
            // Two harmonics each, slightly detuned between the channels.
            l += std::sin(2.0 * kPi * f * 0.999 * t) + 0.3 * std::sin(4.0 * kPi * f * 0.999 * t);
            r += std::sin(2.0 * kPi * f * 1.001 * t) + 0.3 * std::sin(4.0 * kPi * f * 1.001 * t);
        }
        const double gain = 0.09 * attack * release;
        a.left[start + i] += static_cast<float>(gain * l);
        a.right[start + i] += static_cast<float>(gain * r);
    }
}

} // namespace

StereoAudio makeDemoPhrase(int sampleRate) {
    StereoAudio a;
    a.sampleRate = sampleRate;
    a.fileChannels = 2;
    a.resize(static_cast<size_t>((kChordStart + kChordLength) * sampleRate));
    Noise noise;
    for (int beat = 0; beat < 4; ++beat) {
        const double at = beat * kBeat;
        if (beat % 2 == 0) {
            addKick(a, at);
        } else {
            addSnareBody(a, at);
            addNoiseHit(a, noise, at, 0.2, 18.0, 0.35f, 0.0f);
        }
        for (int eighth = 0; eighth < 2; ++eighth)
            addNoiseHit(a, noise, at + eighth * kBeat / 2, 0.05, 90.0, 0.12f, eighth ? 0.3f : -0.3f);
    }
    addChord(a);
    for (size_t i = 0; i < a.frames(); ++i) { // about -6 dBFS at the loudest hit
        a.left[i] *= kOutputGain;
        a.right[i] *= kOutputGain;
    }
    return a;
}
