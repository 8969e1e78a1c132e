// The timing context shared by the engine and the send effects: sample rate,
// tempo, the 32-sample control grid and its derived constants, the registry of
// signal memory that suspend clears, and the tempo listeners.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/BuildingBlocks.h"

class ZuBPMChangeInterface;

constexpr float kMinSampleRate = 11050.0f;
constexpr float kMaxSampleRate = 196000.0f;
constexpr int32_t kControlBlockSize = 32;
// The slowest host tempo the engine takes; slower ones are raised to it.
constexpr double kMinHostTempo = 45.0;

struct BufferEntry {
    void* pointer;
    size_t bytes;
};

class BufferRegistry {
public:
    void add(void* pointer, size_t bytes);
    void remove(const void* pointer); // the first entry with that pointer
    // Changes the size of the first entry with that pointer in place: no
    // allocation and no reordering, so the audio thread may call it.
    void resize(const void* pointer, size_t bytes);
    void zeroAll();                   // what suspend does
    const std::vector<BufferEntry>& entries() const { return entries_; }

private:
    std::vector<BufferEntry>::iterator find(const void* pointer);
    std::vector<BufferEntry> entries_;
};

// Constants every module derives its coefficients from; refreshed by recompute.
struct EngineConstants {
    float rateRatio = 1.0f;        // fs / 44100
    float inverseRateRatio = 1.0f; // 44100 / fs
    float halfSampleRate = 22050.0f;
    float smoothingStep = 0.0f;    // 6.28 / fs, for every LagSmoother coefficient
    float piStep = 0.0f;           // 3.14159 / fs, for every prewarp argument
    FirstOrderCoefficients outputHighPass; // the 30 Hz high-pass behind the dry signal
    float beatsPerSecond = 2.0f;
    float followerUpperLimit = 0.0f; // 0.46382192 fs
    float followerLowerLimit = 0.0f; // 4.0690105e-05 fs
    float followerNegativeSign = -1.0f;
    float delayTimeStep = 0.071428575f; // 1/14 of a bar
    float meterDecay400 = 0.0f;     // PeakHold coefficients of the editor meters
    float meterDecay800 = 0.0f;
};

struct EngineContext {
    float sampleRate = 44100.0f;
    double tempo = 120.0;
    float samplesPerBeat = 22050.0f;
    int32_t controlBlockSize = kControlBlockSize;
    float controlBlockSizeF = 32.0f;
    float controlBlockReciprocal = 0.03125f;
    int32_t controlCounter = kControlBlockSize;
    float samplePeriod = 0.0f;
    float twoOverFs = 0.0f;
    float angularStep = 0.0f;
    float halfAngularStep = 0.0f;
    float samplesPerMs = 0.0f;
    float controlBlockPeriod = 0.0f;
    float controlBlocksPerMs = 0.0f;
    float controlBlocksPerBeat = 0.0f;
    float k1024OverFs = 0.0f; // 1/(fs * 0.0009765625)
    float fsOverTwoPi = 0.0f;

    EngineConstants constants;

    BufferRegistry registry;
    std::vector<ZuBPMChangeInterface*> tempoListeners;

    EngineContext();

    static bool acceptsSampleRate(float fs) { return fs >= kMinSampleRate && fs <= kMaxSampleRate; }
    // Takes fs when it lies in the accepted range; answers whether it did.
    bool setSampleRate(float fs);
    // fs / (tempo / 60), divided in double precision.
    static float samplesPerBeatAt(float fs, double tempo) {
        return static_cast<float>(static_cast<double>(fs) / (tempo * (1.0 / 60.0)));
    }
    // Refreshes the fields that depend on the tempo (and on fs).
    void refreshTempoFields();
    // The engine constants from the current sample rate and tempo.
    void refreshConstants();
    void refreshMeterDecay();
    void addTempoListener(ZuBPMChangeInterface* l) { tempoListeners.push_back(l); }
    void removeTempoListener(ZuBPMChangeInterface* l);
};
